#!/bin/sh
# The main window on a real X server with a window manager: its outer frame
# stands where the layout places it. Offscreen tests cannot see frames; the
# main window once put its inside at 175, 104 and its frame 20 pixels higher.
# Usage: window_placement.sh EDITOR
set -eu
editor=$1
display=90
while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done
export DISPLAY=:$display
export QT_QPA_PLATFORM=xcb

Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
editor_pid=""
manager=""
finish() {
    [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null
    [ -n "$manager" ] && kill "$manager" 2>/dev/null
    kill "$server" 2>/dev/null
    wait 2>/dev/null || true
}
trap finish EXIT
for _ in $(seq 1 50); do [ -e /tmp/.X11-unix/X$display ] && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
manager=$!
sleep 0.5

"$editor" >/dev/null 2>&1 &
editor_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name 'Zantor Editor V4' | head -n 1)
sleep 1  # the window manager frames the window, the editor places the frame

# The frame is the client's ancestor just below the root window.
root=$(xwininfo -root | awk '/Window id:/ {print $4}')
frame=$window
while :; do
    parent=$(xwininfo -children -id "$frame" | awk '/Parent window id:/ {print $4}')
    [ "$parent" = "$root" ] && break
    frame=$parent
done
at=$(xwininfo -id "$frame" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} END {print x "," y}')
if [ "$at" != "175,104" ]; then
    echo "the main window's frame stands at $at, not at 175,104"
    exit 1
fi
echo "the main window's frame stands at $at"
