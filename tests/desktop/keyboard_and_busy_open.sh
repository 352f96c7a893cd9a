#!/bin/sh
# The editor on a real X server with a window manager, driven with the keys
# of a Windows operator: the main window's frame has no maximize button; F10
# and a press of Alt select the menu bar, and Return then opens File and
# runs New; while a file loads, the window is painted again instead of
# keeping the closed Open dialog's image. Offscreen tests cannot see frames,
# the window manager's keyboard or what stays on the screen.
# Usage: keyboard_and_busy_open.sh EDITOR
set -eu
editor=$1
. "$(dirname "$0")/private_desktop.sh"
fail() {
    echo "$1"
    exit 1
}

"$editor" >/dev/null 2>&1 &
stop_at_end $!
window=$(find_window 'Zantor Editor V4' 30)
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
sleep 1

# The frame: Motif hints name the buttons and functions the window manager
# may offer; maximize is 0x10 of the functions and 0x40 of the decorations.
# (Openbox draws its buttons whatever the hints say; Windows follows them.)
hints=$(xprop -id "$window" _MOTIF_WM_HINTS | sed 's/.*= //; s/,//g')
set -- $hints
[ $# -ge 3 ] || fail "the main window sets no Motif hints: $hints"
if [ $(($2 & 0x11)) -ne 0 ] || [ $(($3 & 0x41)) -ne 0 ]; then
    fail "the main window's frame offers maximize (Motif hints $hints)"
fi
echo "the main window's frame has no maximize button"

# A busy Open: a file of three million small stations, which takes the
# editor seconds to load, so that the test looks while it loads. (A pipe
# would wait forever, and the editor refuses one.)
shot() {
    geometry=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
        /Width/ {w = $2} /Height/ {h = $2} END {print w "x" h "+" x "+" y}')
    import -window root -crop "$geometry" +repage "$1"
}
{
    echo '<SETUP><STATIONS>'
    yes '<STATION id="1"/>' | head -n 3000000
    echo '</STATIONS></SETUP>'
} >"$work/fleet.xml"
shot "$work/before.png"
xdotool key ctrl+o
for _ in $(seq 1 100); do
    dialog=$(xdotool search --onlyvisible --name '^(Open|Open File)$' 2>/dev/null | head -n 1 || true)
    [ -n "$dialog" ] && break
    sleep 0.1
done
[ -n "$dialog" ] || fail "Ctrl+O showed no Open dialog"
sleep 1
# The name typed, then Return. On a slow machine the dialog's completion can
# take keys over: a name it did not take is typed once more.
open_typed() {
    xdotool type --delay 40 "$work/fleet.xml"
    sleep 1
    xdotool key Return
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name '^(Open|Open File)$' >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}
open_typed || { xdotool key ctrl+a && open_typed; } || fail "the Open dialog did not take the typed name"
sleep 1
shot "$work/during.png"
# The caret of the focused edit may blink between the two pictures.
differing=$(compare -metric AE -fuzz 10% "$work/before.png" "$work/during.png" null: 2>&1 || true)
differing=${differing%% *}
# The load ends, and the window shows the file's name, before the keys
# that follow.
for _ in $(seq 1 120); do
    shot "$work/after.png"
    changed=$(compare -metric AE -fuzz 10% "$work/during.png" "$work/after.png" null: 2>&1 || true)
    [ "${changed%%.*}" -gt 200 ] 2>/dev/null && break
    sleep 1
done
if [ "${differing%.*}" -gt 200 ]; then
    fail "during a load the main window still showed the closed Open dialog ($differing pixels differ)"
fi
echo "during a load the main window is painted again ($differing pixels differ)"

# The menu from the keyboard. A key typed into an edit (Tab leads from the
# tab bar to the first one) marks the document modified, so New asks its
# question: the question box shows that New ran.
sleep 1
xdotool key Tab 9
# F10 alone already shows File selected, before any other key.
sleep 0.5
shot "$work/menu_before.png"
xdotool key F10
sleep 0.5
shot "$work/menu_selected.png"
xdotool key Escape
sleep 0.5
differing=$(compare -metric AE "$work/menu_before.png" "$work/menu_selected.png" null: 2>&1 || true)
[ "${differing%% *}" -gt 50 ] || fail "F10 left no mark of the selected menu ($differing pixels differ)"
echo "F10 shows File selected (${differing%% *} pixels differ)"
question() {
    timeout 10 xdotool search --sync --onlyvisible --name '^Avertissement$' >/dev/null 2>&1
}
for keys in "F10 Return Return" "alt Return Return" "F10 Down Return"; do
    for key in $keys; do
        xdotool key "$key"
        sleep 0.5
    done
    question || fail "$keys did not run File, New"
    xdotool key Escape
    sleep 0.5
    echo "$keys runs File, New"
done
