#!/bin/sh
# The Debian package installed with apt on a throw-away Debian 12 (it
# installs and removes packages: never on a machine that matters), as an
# operator would: apt brings its dependencies; zantor-fleet answers its
# version and its manual page is found; the editor starts on a private X
# server (the platform plugin the package pulled in), shows its main window
# and stays up; apt remove leaves none of its files.
# Usage: deb_install.sh DEB (as root)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
deb=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
status=0
fail() {
    echo "deb_install: $*" >&2
    status=1
}
. "$here/private_desktop.sh"

DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" >"$work/apt" 2>&1 ||
    { cat "$work/apt"; echo "deb_install: apt could not install $deb" >&2; exit 1; }
echo "deb_install: apt installed$(sed -n '/NEW packages/,/^[^ ]/p' "$work/apt" | grep '^ ' | tr -s ' \n' ' ')"
for package in zantor-editor libqt6widgets6 libtinyxml2.6.2v5 qt6-qpa-plugins; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        fail "$package is not installed"
done

[ "$(zantor-fleet --version)" = "zantor-fleet $(dpkg-deb -f "$deb" Version)" ] ||
    fail "zantor-fleet --version said: $(zantor-fleet --version 2>&1)"
man -w zantor-fleet >/dev/null 2>&1 || fail "man finds no page for zantor-fleet"

# The editor as the desktop's menu starts it, on X through the xcb plugin.
(cd /tmp && exec zantor_editor) >"$work/editor.log" 2>&1 &
editor=$!
stop_at_end "$editor"
if [ -z "$(find_window '^Zantor Editor V4 - 6478c$' 30)" ]; then
    fail "the installed editor showed no main window: $(cat "$work/editor.log")"
else
    sleep 2
    kill -0 "$editor" 2>/dev/null || fail "the installed editor ended by itself: $(cat "$work/editor.log")"
fi
kill "$editor" 2>/dev/null || true
wait "$editor" 2>/dev/null || true

dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print substr($6, 2)}' >"$work/files"
DEBIAN_FRONTEND=noninteractive apt-get remove -y zantor-editor >/dev/null 2>&1 || fail "apt could not remove it"
! dpkg-query -W -f='${Status}' zantor-editor 2>/dev/null | grep -q 'install ok installed' || fail "still installed"
while read -r file; do
    [ ! -e "$file" ] || fail "left after apt remove: $file"
done <"$work/files"

[ "$status" -eq 0 ] && echo "deb_install: $deb installs, runs and goes cleanly"
exit "$status"
