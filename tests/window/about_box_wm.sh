#!/usr/bin/env bash
# The about box as a window manager frames it: the version label opens it
# with its outer frame centred on the screen, and after the user has
# minimised it (the window manager offers that despite the hint) the version
# label brings it back.
#   about_box_wm.sh <padscope executable>
# Exits 77 (skipped) when the X server cannot be started.
set -euo pipefail
program="$1"
source "$(dirname "$0")/../../testing/window_session.sh"

copy_program
printf '[window]\r\nHeight=636\r\nWidth=810\r\nTop=20\r\nLeft=20\r\n\r\n' > "$work/padscope.ini"
"$work/padscope" >"$work/run.log" 2>&1 &
app=$!
pids+=("$app")
wait_for 20 sh -c "wmctrl -l | grep -q ' Padscope$'" || { echo "no window"; cat "$work/run.log"; exit 1; }
sleep 0.5
main="$(wmctrl -l | awk '/ Padscope$/ { print $1 }')"
click_version_label() { xdotool mousemove --window "$main" 470 598 click 1; }
box_visible() { wmctrl -l | awk '/ バージョン情報$/ { print $1 }' | grep .; }

click_version_label
wait_for 10 box_visible || { echo "the version label did not open the about box"; exit 1; }
box="$(box_visible | head -n 1)"
box_viewable() { xwininfo -id "$box" | grep -q 'Map State: IsViewable'; }
export -f box_viewable
export box

# Client area and frame extents (left, right, top, bottom) as X reports them;
# the window manager frames the box a moment after it maps.
frame_place() {
  client_x="$(xwininfo -id "$box" | awk '/Absolute upper-left X/ { print $NF }')"
  client_y="$(xwininfo -id "$box" | awk '/Absolute upper-left Y/ { print $NF }')"
  read -r ext_l ext_r ext_t ext_b < <(xprop -id "$box" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,/ /g')
  frame_x=$(( client_x - ext_l ))
  frame_y=$(( client_y - ext_t ))
  frame_w=$(( 298 + ext_l + ext_r ))
  frame_h=$(( 213 + ext_t + ext_b ))
  want_x=$(( (1280 - frame_w) / 2 ))
  want_y=$(( (1024 - frame_h) / 2 ))
}
for _ in $(seq 50); do
  sleep 0.1
  xprop -id "$box" _NET_FRAME_EXTENTS | grep -q '=' || continue
  frame_place
  [ "$frame_x,$frame_y" = "$want_x,$want_y" ] && break
done
if [ "$frame_x,$frame_y" != "$want_x,$want_y" ]; then
  echo "the about box's frame ($frame_w x $frame_h) is at $frame_x,$frame_y, not centred at $want_x,$want_y"
  exit 1
fi

xdotool windowminimize "$box"
wait_for 10 bash -c "! box_viewable" || { echo "the about box could not be minimised"; exit 1; }
click_version_label
wait_for 10 box_viewable || { echo "the version label did not bring back the minimised about box"; exit 1; }
sleep 0.5
again_x="$(xwininfo -id "$box" | awk '/Absolute upper-left X/ { print $NF }')"
again_y="$(xwininfo -id "$box" | awk '/Absolute upper-left Y/ { print $NF }')"
if [ "$again_x,$again_y" != "$client_x,$client_y" ]; then
  echo "the restored about box moved from $client_x,$client_y to $again_x,$again_y"
  exit 1
fi

wmctrl -c Padscope
wait_for 20 sh -c "! kill -0 $app" || { echo "the program did not close"; exit 1; }
echo "the about box opens centred and comes back from minimised"
