#!/bin/sh
# The main window on a real X server with a window manager: its outer frame
# stands where the layout places it. Offscreen tests cannot see frames; the
# main window once put its inside at 175, 104 and its frame 20 pixels higher.
# Usage: window_placement.sh EDITOR
set -eu
editor=$1
work=$(mktemp -d)
server=""
manager=""
editor_pid=""
finish() {
    for pid in $editor_pid $manager $server; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

# The server picks a free display itself and writes its number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
server=$!
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 &
manager=$!
sleep 0.5

"$editor" >/dev/null 2>&1 &
editor_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name 'Zantor Editor V4' | head -n 1)

# The frame is the client's ancestor just below the root window; the window
# manager frames the window, then the editor places the frame.
root=$(xwininfo -root | awk '/Window id:/ {print $4}')
frame_position() {
    frame=$window
    while :; do
        parent=$(xwininfo -children -id "$frame" | awk '/Parent window id:/ {print $4}')
        [ "$parent" = "$root" ] && break
        frame=$parent
    done
    [ "$frame" != "$window" ] || { echo "not framed yet"; return; }
    xwininfo -id "$frame" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} END {print x "," y}'
}
for _ in $(seq 1 100); do
    at=$(frame_position)
    [ "$at" = "175,104" ] && break
    sleep 0.1
done
# A window manager answers in steps; the frame must stay where it was put.
sleep 1
[ "$at" != "175,104" ] || at=$(frame_position)
if [ "$at" != "175,104" ]; then
    echo "the main window's frame stands at $at, not at 175,104"
    exit 1
fi
echo "the main window's frame stands at $at"
