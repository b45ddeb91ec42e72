#!/usr/bin/env bash
# The real program in a real window, watching a JACK MIDI source with Thru
# on: Program Change 25 and Note On 36 on channel 10 check the "TR-808" kit
# button and press pad 36 until the Note Off; the output peer hears the same
# bytes in the same order, also for a burst of 1,000 notes in one second,
# and the program's own press still goes out after it. The settings file
# keeps the input and Thru; started again, the program watches the source
# again, and once the source has left, the list says so once and "なし" is
# saved.
#   watch_input_wm.sh <padscope executable> <midi_source.py> [screenshot.png]
# Exits 77 (skipped) when the X or JACK server cannot be started.
set -euo pipefail
program="$1"
source_script="$2"
keep_shot="${3:-}"
source "$(dirname "$0")/../../testing/window_session.sh"
/usr/bin/python3 -c 'import jack' 2>/dev/null || skip "python3-jack-client is not installed"
command -v xwd >/dev/null && [ -x /usr/bin/convert ] || skip "xwd or ImageMagick is not installed"
start_jack_session

peer=watchout
start_peer "$peer"
coproc source_client { /usr/bin/python3 "$source_script" watchsrc 2>"$work/source.log"; }
pids+=("$source_client_PID")
exec 4>&"${source_client[1]}" 5<&"${source_client[0]}"
read -r -t 10 -u 5 line && [ "$line" = ready ] || { echo "the MIDI source did not start"; cat "$work/source.log"; exit 1; }
send() { echo "$*" >&4; }
sent() { send sync; read -r -t 30 -u 5 line && [ "$line" = sent ]; }

copy_program
extra_settings=$'[input]\r\nport=watchsrc:out\r\nthru=1\r\n\r\n'
start_program_on_peer "$peer"
wait_for 10 sh -c "jack_lsp -c watchsrc:out | grep -q '^ '" \
  || { echo "the program did not connect to the source"; describe_program; exit 1; }

window="$(program_window)"
shot() { xwd -silent -id "$window" | /usr/bin/convert xwd:- "$work/$1.png"; }
# The pixels inside a control, by its place on the window: the left end of
# pad 36 (Button37), where its caption does not reach,
# at 408,24 on the pads page below 25 pixels of tabs, and the kit buttons
# "STANDARD 1" (Button130) at 24,488 and "TR-808" (Button141) at 440,504.
region() { /usr/bin/convert "$work/$1.png" -crop "$2" +repage rgb:- | md5sum; }
pad36=8x9+411+53
standard=90x11+31+491
tr808=90x11+447+507

sleep 1
shot before
send c9 19
send 99 24 64
sent || { echo "the source did not send"; exit 1; }
sleep 1
shot held
send 89 24 00
sent || { echo "the source did not send"; exit 1; }
sleep 1
shot released
[ -z "$keep_shot" ] || cp "$work/held.png" "$keep_shot"
[ -z "${KEEP_ALL_SHOTS:-}" ] || cp "$work"/{before,held,released}.png "$KEEP_ALL_SHOTS"/

[ "$(region before "$pad36")" != "$(region held "$pad36")" ] || { echo "Note On 36 did not press pad 36"; exit 1; }
[ "$(region held "$pad36")" != "$(region released "$pad36")" ] || { echo "Note Off 36 did not release pad 36"; exit 1; }
[ "$(region before "$pad36")" = "$(region released "$pad36")" ] || { echo "pad 36 looks different after its Note Off"; exit 1; }
[ "$(region before "$tr808")" != "$(region held "$tr808")" ] || { echo "Program Change 25 did not check TR-808"; exit 1; }
[ "$(region before "$standard")" != "$(region held "$standard")" ] || { echo "STANDARD 1 stayed checked"; exit 1; }

# The peer's events, one a line, as their bytes.
heard() {
  awk -F': *' 'NF > 1 { n = split($2, w, / +/); line = ""
    for (i = 1; i <= n && w[i] ~ /^[0-9a-f][0-9a-f]$/; i++) line = line (i > 1 ? " " : "") w[i]
    print line }' "$work/$peer.dump"
}
wait_for 10 sh -c "grep -cE ':[[:space:]]+89 24 00' '$work/$peer.dump' | grep -qx 1" \
  || { echo "the Note Off did not come through"; cat "$work/$peer.dump"; exit 1; }
if [ "$(heard | tail -n 3 | tr '\n' '|')" != "c9 19|99 24 64|89 24 00|" ]; then
  echo "Thru did not pass on the same bytes in the same order:"; heard | tail -n 5; exit 1
fi

# The burst is checked where nothing may drop it: the source's own input,
# connected to the program's output beside the peer.
output_port="$(jack_lsp -c "$peer:input" | sed -n 's/^ \+//p' | head -n 1)"
jack_connect "$output_port" watchsrc:in
recorded() {
  send heard
  while read -r -t 30 -u 5 line && [ "$line" != end ]; do echo "$line"; done
}
before_burst="$(recorded | wc -l)"
send burst 1000
sent || { echo "the source did not send the burst"; exit 1; }
for _ in $(seq 40); do
  [ "$(recorded | wc -l)" -lt $(( before_burst + 2000 )) ] || break
  sleep 0.5
done
expected="$(awk 'BEGIN { for (i = 0; i < 1000; i++) { n = 35 + i % 47; printf "99 %02x 64\n89 %02x 00\n", n, n } }')"
got="$(recorded | tail -n +"$(( before_burst + 1 ))")"
if [ "$got" != "$expected" ]; then
  echo "the burst did not come through whole and in order: $(wc -l <<<"$got") of 2000 events"
  diff <(echo "$expected") <(echo "$got") | grep -v "^[<>]" | head -n 10
  exit 1
fi

# The program's own press after it: its Bank Select for the map goes out.
xdotool mousemove --window "$window" 472 57 click 1
wait_for 10 sh -c "grep -qE ':[[:space:]]+b9 20 04( |\$)' '$work/$peer.dump'" \
  || { echo "the pad press did not go out after the burst"; heard | tail -n 5; exit 1; }

wmctrl -c Padscope
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || { echo "the program ended with status $status"; cat "$work/run.log"; exit 1; }
settings="$(tr -d '\r' < "$work/padscope.ini")"
grep -qx "port=watchsrc:out" <<<"$settings" && grep -qx "thru=1" <<<"$settings" \
  || { echo "the settings file lost the input:"; echo "$settings"; exit 1; }

# Started again it watches the remembered source; when the source has gone,
# opening the list says so once, and "なし" is saved.
launch_program 20
wait_for 10 sh -c "jack_lsp -c watchsrc:out | grep -q '^ '" \
  || { echo "the program did not watch the remembered source"; describe_program; exit 1; }
# The source ends at the end of its input.
exec 4>&- {source_client[1]}>&-
wait "$source_client_PID" 2>/dev/null || true
wait_for 10 sh -c "! jack_lsp | grep -q '^watchsrc:'" || { echo "the source did not leave"; exit 1; }
boxes() { wmctrl -l | grep -c ' Padscope$' || true; }
window="$(program_window)"
xdotool mousemove --window "$window" 728 417 click 3
wait_for 10 sh -c "[ \$(wmctrl -l | grep -c ' Padscope\$') -ge 2 ]" \
  || { echo "no message said that the input has gone"; describe_program; exit 1; }
xdotool key Return
wait_for 10 menu_shown || { echo "the list did not open after the message"; exit 1; }
xdotool key Escape
sleep 1
xdotool mousemove --window "$window" 600 417 sleep 0.3 mousemove --window "$window" 728 417 click 3
wait_for 10 menu_shown || { echo "the list did not open again"; describe_program; exit 1; }
[ "$(boxes)" -eq 1 ] || { echo "the message came again"; exit 1; }
xdotool key Escape
sleep 0.5
wmctrl -c Padscope
wait "$app" || { echo "the program did not end cleanly"; cat "$work/run.log"; exit 1; }
grep -qx "port=" <(tr -d '\r' < "$work/padscope.ini") \
  || { echo "the settings file still names the source:"; cat "$work/padscope.ini"; exit 1; }
echo "the drum part showed on the kit and the pad, Thru passed on all of it in order, and a source that left was noticed once"
