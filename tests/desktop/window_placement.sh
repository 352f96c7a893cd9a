#!/bin/sh
# The main window on a real X server with a window manager: its outer frame
# stands where the layout places it. Offscreen tests cannot see frames; the
# main window once put its inside at 175, 104 and its frame 20 pixels higher.
# Usage: window_placement.sh EDITOR
set -eu
editor=$1
. "$(dirname "$0")/private_desktop.sh"

"$editor" >/dev/null 2>&1 &
stop_at_end $!
window=$(find_window 'Zantor Editor V4' 30)

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
