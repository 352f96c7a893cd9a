#!/bin/sh
# An operator's session with the editor on a real X server with a window
# manager, by keyboard and mouse, as on a Windows PC: File, Open of a file
# named with bytes above 0x7F typed into the dialog, a station edited in the
# station dialog and its Slow sequence in the sequence dialog (Return on the
# focused buttons; a click on the station dialog leaves its sequence dialog
# in front), File, Save, then keys that change nothing and ask nothing, and
# the unsaved-changes question after a typed letter. The saved file must be the
# expected one byte for byte: the Linux editor and the Windows one under Wine
# run the same session against the same file.
# Usage: editor_session.sh [--windows] [--screenshot PNG] EXPECTED EDITOR [ARGS...]
#   --screenshot  the main window's picture after the edit goes to PNG, the
#                 station dialog's to PNG less .png plus -station.png
#   --windows  the editor runs under Wine: also a save refused over a
#              read-only file, one that waits for another program holding
#              the file (HOLD_FILE names that program, run as
#              "HOLD_FILE FILE SECONDS"), and the system's question when
#              Save As would replace a file.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
windows=false
screenshot=""
while :; do
    case "$1" in
    --windows) windows=true; shift ;;
    --screenshot) screenshot=$2; shift 2 ;;
    *) break ;;
    esac
done
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
expected=$(absolute "$1")
[ -z "$screenshot" ] || screenshot=$(absolute "$screenshot")
shift
program=$1
[ ! -e "$program" ] || program=$(absolute "$program")
shift

. "$here/private_desktop.sh"
fail() {
    echo "$*"
    if cp "$settings" "${TMPDIR:-/tmp}/editor_session_failed.xml" 2>/dev/null; then
        echo "the settings file at that moment: ${TMPDIR:-/tmp}/editor_session_failed.xml"
    fi
    import -window root "$work/failed.png" 2>/dev/null && cp "$work/failed.png" "${TMPDIR:-/tmp}/editor_session_failed.png" &&
        echo "the screen at that moment: ${TMPDIR:-/tmp}/editor_session_failed.png"
    exit 1
}

# The letter of the file name in the keyboard map, so that typing it needs
# no remapping of keys while the editor reads them.
xmodmap -e "keycode 94 = eacute Eacute"

mkdir "$work/Données"
settings="$work/Données/étang.xml"
windows_settings="Z:$(printf '%s' "$settings" | tr / '\\')"
cp "$here/../../fuzz/corpus/fleet_1.xml" "$settings"
cd "$work"

"$program" "$@" >"$work/editor.log" 2>&1 &
editor_pid=$!
stop_at_end "$editor_pid"
main=$(find_window '^Zantor Editor V4 - 6478c$' 90)
[ -n "$main" ] || fail "the main window did not appear"
sleep 1

# The caption, and a client area of 515 x 462 below the menu bar.
size=$(xwininfo -id "$main" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w " " h}')
set -- $size
[ "$1" = 515 ] && [ "$2" -gt 475 ] && [ "$2" -lt 495 ] ||
    fail "the main window is $1 x $2, not 515 wide with 462 below a menu bar"

active() { xdotool getactivewindow getwindowname 2>/dev/null || true; }
# Waits until the active window is named $1 (a pattern of grep -E); Wine on
# a busy machine can take seconds to show a dialog.
wait_for() {
    for _ in $(seq 1 300); do
        active | grep -q -E "$1" && return 0
        sleep 0.1
    done
    fail "waited for the window \"$1\"; the active one is \"$(active)\""
}
# Wine under this window manager leaves no window active once its own file
# dialog is gone, where Windows activates the dialog's owner: a click into
# the window, as the operator would give, does that here.
back_from_file_dialog() {
    if $windows; then
        sleep 2
        [ -n "$(active)" ] || xdotool mousemove --window "$main" 400 300 click 1
    fi
    wait_for '^Zantor Editor V4 - 6478c$'
}
# True when window $1 stands over window $2 (as xdotool numbers them).
stands_over() {
    over=""
    for id in $(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g'); do
        [ "$((id))" = "$1" ] && over=yes
        [ "$((id))" = "$2" ] && over=no
    done
    [ "$over" = yes ]
}
keys() {
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.3
    done
}

# File, Open: the name typed into the dialog. Qt's dialog on Linux starts in
# the folder the editor runs in; the system's dialog on Windows starts in
# Documents, so there the whole path is typed, as a Windows path.
keys ctrl+o
wait_for '^Open$'
if $windows; then
    xdotool type --delay 60 "$windows_settings"
else
    xdotool type --delay 60 "Données/étang.xml"
fi
sleep 0.3
keys Return
back_from_file_dialog
sleep 1

# The station list: End, Home and Return open its first station; the description
# gains a word; then the Slow sequence's first check box changes.
keys ctrl+Tab Tab End Home Return
wait_for '^NUXO configuration Editor$'
station=$(xdotool getactivewindow)
[ -z "$screenshot" ] || import -window "$station" -frame "${screenshot%.png}-station.png"
keys Tab Tab Tab End
xdotool type --delay 60 " nord"
keys ctrl+Tab ctrl+Tab Tab Return
wait_for '^Slow sequence$'
sequence=$(xdotool getactivewindow)
keys Tab space
# A click on the station dialog while its sequence dialog is open: the
# sequence dialog stays in front and answers.
xdotool mousemove --window "$station" 300 20 click 1
sleep 1
stands_over "$sequence" "$station" || fail "a click on the station dialog brought it over its sequence dialog"
xdotool mousemove --window "$sequence" 196 404 click 1   # OK
sleep 0.5
wait_for '^NUXO configuration Editor$'
xdotool mousemove --window "$station" 188 532 click 1    # OK
wait_for '^Zantor Editor V4 - 6478c$'
[ -z "$screenshot" ] || import -window "$main" -frame "$screenshot"

keys ctrl+s
sleep 1
cmp "$settings" "$expected" || fail "the saved file differs from $expected"

if $windows; then
    # A read-only file is refused with the reason; the editor goes on.
    chmod a-w "$settings"
    keys ctrl+s
    wait_for '^Zantor Editor$'
    keys Return
    wait_for '^Zantor Editor V4 - 6478c$'
    chmod u+w "$settings"
    cmp "$settings" "$expected" || fail "the refused save changed the file"

    # Another program holding the file: a save waits for it about two
    # seconds, then says it failed; the file stays whole either way.
    hold() {
        $HOLD_FILE "$settings" "$1" >"$work/held" &
        holder=$!
        for _ in $(seq 1 100); do [ -s "$work/held" ] && break; sleep 0.1; done
        [ -s "$work/held" ] || fail "the file could not be held"
    }
    before=$(stat -c %y "$settings")
    hold 1
    keys ctrl+s
    wait "$holder"
    sleep 1.5
    [ "$(active)" = "Zantor Editor V4 - 6478c" ] || fail "a save that waited for the file reported \"$(active)\""
    [ "$(stat -c %y "$settings")" != "$before" ] || fail "a save that waited for the file did not write it"
    hold 8
    keys ctrl+s
    wait_for '^Zantor Editor$'
    keys Return
    wait "$holder"
    cmp "$settings" "$expected" || fail "a save while the file was held changed it"

    # Save As onto the file itself: the system's dialog asks before it
    # replaces a file; No keeps the file, Escape leaves the dialog.
    keys alt+f a
    wait_for '^Save As$'
    keys ctrl+a
    xdotool type --delay 60 "$windows_settings"
    keys Return
    sleep 1
    [ "$(count_windows '^Save As$')" -ge 2 ] || fail "Save As over a file asked nothing"
    keys n Escape
    back_from_file_dialog
    cmp "$settings" "$expected" || fail "No to the question of Save As changed the file"
fi

# Keys that change no text change nothing: Ctrl+S, F10 and Escape, Home,
# End and the arrows in each edit of the Directories tab, and then Open asks
# no question. One letter typed makes New from the menu by the keyboard (F10
# selects the menu bar, Return opens File and runs New), Open and closing
# ask the French question, whose Escape keeps the document and the editor.
# The letter undone and the file saved, closing asks nothing.
keys ctrl+Tab
for edit in 1 2 3; do
    keys Home End Left Right shift+Home ctrl+c ctrl+s F10 Escape
    [ "$edit" = 3 ] || keys Tab Tab
done
keys ctrl+o
wait_for '^Open$'
keys Escape
back_from_file_dialog
keys End x
for question in "F10 Return Return" ctrl+o alt+F4; do
    keys $question
    wait_for '^Avertissement$'
    keys Escape
    wait_for '^Zantor Editor V4 - 6478c$'
done
kill -0 "$editor_pid" 2>/dev/null || fail "Escape on the question ended the editor"
keys ctrl+z ctrl+s
sleep 1
keys alt+F4
for _ in $(seq 1 50); do kill -0 "$editor_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$editor_pid" 2>/dev/null && fail "closing a saved document did not end the editor"
cmp "$settings" "$expected" || fail "the session's last save differs from $expected"
echo "the session saved $expected byte for byte"
