# Sourced by the desktop tests: a work folder and a private X server with a
# window manager, as an operator's screen, all gone when the test ends. A
# test names what it starts itself with stop_at_end, which stops it first.
work=$(mktemp -d)
stopped_at_end=""
stop_at_end() { stopped_at_end="$* $stopped_at_end"; }
finish() {
    for pid in $stopped_at_end; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

# The server picks a free display itself and writes its number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
stop_at_end $!
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 &
stop_at_end $!
sleep 0.5

# The first visible window whose name matches $1 (a pattern of xdotool),
# waiting up to $2 seconds; empty when none came. A search fails with an X
# error when a window goes while it is looked at, as Wine's hidden windows
# do while a program starts: it is simply made again.
find_window() {
    for _ in $(seq 1 $(($2 * 10))); do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        [ -z "$found" ] || { echo "$found"; return 0; }
        sleep 0.1
    done
}

# How many visible windows have a name that matches $1, counted the same way.
count_windows() {
    for _ in 1 2 3 4 5; do
        if list=$(xdotool search --onlyvisible --name "$1" 2>/dev/null); then
            printf '%s\n' "$list" | grep -c . || true
            return 0
        fi
        sleep 0.1
    done
    echo 0
}
