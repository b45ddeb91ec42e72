"""What a screen reader learns of the running program's main window over
AT-SPI: every part that takes the focus, and every frame, has a name (a
container that takes the focus with a control inside it is announced with
it, so it needs a name of its own too); the scroll bars (of the effect page
and of the drum sound page) are named after the captions beside them, and
each pad tells its note as the
headings of its row and column show it.
    accessibility_check.py ja|en
Exits 1 with a line per fault, 0 when all holds."""
import re
import sys
import time

import pyatspi

CONTROLLER_NAMES = {
    "ja": ["ベロシティー", "リバーブ", "コーラス", "ディレイ", "ピッチベント",
           "ピッチベンドセンシティビティー", "モジュレーション", "カットオフ", "レゾナンス",
           "アタックタイム", "ディケイタイム", "リリースタイム", "ビブラートレイト",
           "ビブラートデプス", "ビブラートディレイ"],
    "en": ["Velocity", "Reverb", "Chorus", "Delay", "Bend", "Bend range", "Modulation",
           "Cutoff", "Reso", "Attack", "Decay", "Release", "Vibrato rate",
           "Vibrato depth", "Vibrato delay"],
}
# The pad's description, and a few pads as the user hears them.
PAD_DESCRIPTION = {"ja": r"^(\S+) (\S+)、ノートナンバー (\d+)$", "en": r"^(\S+) (\S+), note (\d+)$"}
KNOWN_PADS = {
    "ja": {"C -1、ノートナンバー 0": "[88] Standard 1 Kick 1",
           "C 2、ノートナンバー 36": "Standard 1 Kick 1",
           "G 9、ノートナンバー 127": "[Pro] House Snare 2"},
    "en": {"C -1, note 0": "[88] Standard 1 Kick 1",
           "C 2, note 36": "Standard 1 Kick 1",
           "G 9, note 127": "[Pro] House Snare 2"},
}
# The drum sound page's bars, for the SC-8850 map the program starts in.
DRUM_SOUND_NAMES = {
    "ja": ["ピッチ", "レベル", "パン", "リバーブ", "コーラス", "ディレイ"],
    "en": ["Pitch", "Level", "Pan", "Reverb", "Chorus", "Delay"],
}
TABS = {"ja": ["楽器", "エフェクト", "ドラム音"], "en": ["Instruments", "Effects", "Drum sound"]}

faults = []


def fault(text):
    faults.append(text)


def main_window(seconds=30):
    """The program's frame, once the program has joined the accessibility bus."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None or app.name.lower() != "padscope":
                continue
            for window in app:
                if window is not None and window.name == "Padscope":
                    return window
        time.sleep(0.5)
    sys.exit("the program's window never appeared on the accessibility bus")


def walk(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from walk(child)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def extents(node):
    return node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def controls(window):
    """The focusable parts, the frames and the labels now showing."""
    focusable, frames, labels = [], [], []
    for node in walk(window):
        if not showing(node):
            continue
        if node.getState().contains(pyatspi.STATE_FOCUSABLE):
            focusable.append(node)
        elif node.getRole() == pyatspi.ROLE_LABEL:
            labels.append(node)
        if node.getRole() == pyatspi.ROLE_FRAME:
            frames.append(node)
    return focusable, frames, labels


def check_names(nodes, page):
    for node in nodes:
        if not node.name.strip():
            e = extents(node)
            fault(f"{page}: a {node.getRoleName()} at {e.x},{e.y} has no name")


def check_pads(focusable, labels, language):
    pads = [n for n in focusable if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.description]
    notes = set()
    for pad in pads:
        match = re.match(PAD_DESCRIPTION[language], pad.description)
        if not match:
            fault(f"pad {pad.name!r}: description {pad.description!r}")
            continue
        row, octave, note = match.group(1), match.group(2), int(match.group(3))
        notes.add(note)
        e = extents(pad)
        # The row's heading stands at its left, the column's above it.
        row_heading = [l.name for l in labels
                       if abs(extents(l).y - e.y) <= 3 and extents(l).x < e.x]
        above = [l for l in labels if extents(l).y < e.y and e.x <= extents(l).x < e.x + e.width]
        column_heading = max(above, key=lambda l: extents(l).y).name if above else None
        if row_heading != [row] or column_heading != octave:
            fault(f"pad of note {note}: described as {row} {octave}, headings {row_heading} {column_heading}")
        known = KNOWN_PADS[language].get(pad.description)
        if known is not None and pad.name != known:
            fault(f"{pad.description}: named {pad.name!r}, expected {known!r}")
    if notes != set(range(128)):
        fault(f"{len(notes)} pads tell their note, not 128")


def check_scroll_bars(focusable, labels, expected):
    bars = [n for n in focusable if n.getRole() == pyatspi.ROLE_SCROLL_BAR]
    names = []
    for bar in bars:
        e = extents(bar)
        # Its caption: the leftmost label on the line just above the bar.
        line = [l for l in labels if 10 <= e.y - extents(l).y <= 30 and abs(extents(l).x - e.x) <= 10]
        caption = min(line, key=lambda l: extents(l).x).name if line else None
        if caption != bar.name + "=":
            fault(f"scroll bar named {bar.name!r} beside the caption {caption!r}")
        names.append(bar.name)
    if sorted(names) != sorted(expected):
        fault(f"scroll bars named {names}")


def select_tab(window, name):
    for node in walk(window):
        if node.getRole() == pyatspi.ROLE_PAGE_TAB and node.name == name:
            action = node.queryAction()
            for i in range(action.nActions):
                if action.getName(i).lower() in ("press", "click", "switch"):
                    action.doAction(i)
                    return
    sys.exit(f"no tab {name!r} to press")


def wait_for_showing(window, role, seconds=10, name=None):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if any(n.getRole() == role and showing(n) and name in (None, n.name) for n in walk(window)):
            return
        time.sleep(0.2)
    sys.exit("the page did not change")


def main():
    language = sys.argv[1]
    window = main_window()
    tabs = [n.name for n in walk(window) if n.getRole() == pyatspi.ROLE_PAGE_TAB]
    if tabs != TABS[language]:
        fault(f"tabs {tabs}")

    focusable, frames, labels = controls(window)
    check_names(focusable + frames, TABS[language][0])
    check_pads(focusable, labels, language)
    counted = len(focusable)

    select_tab(window, TABS[language][1])
    wait_for_showing(window, pyatspi.ROLE_SCROLL_BAR)
    focusable, frames, labels = controls(window)
    check_names(focusable + frames, TABS[language][1])
    check_scroll_bars(focusable, labels, CONTROLLER_NAMES[language])
    counts = [counted, len(focusable)]

    select_tab(window, TABS[language][2])
    wait_for_showing(window, pyatspi.ROLE_SCROLL_BAR, name=DRUM_SOUND_NAMES[language][0])
    focusable, frames, labels = controls(window)
    check_names(focusable + frames, TABS[language][2])
    check_scroll_bars(focusable, labels, DRUM_SOUND_NAMES[language])
    counts.append(len(focusable))

    for line in faults:
        print(line)
    if not faults:
        print(f"{language}: {', '.join(map(str, counts))} focusable controls on the three pages, all named")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
