#!/bin/sh
# The Windows Installer package under Wine, in a fresh prefix of its own and
# on a private X server: a silent installation puts the zip's files in
# Program Files, the Start-menu shortcut, the uninstall entry (version,
# maker, icon) and the "Open with" keys for .xml without taking .xml over;
# the installed fleet tool and the editor run from there, the editor opening
# a settings file through the registered open command; a silent removal
# leaves nothing behind. Then an older version (built from the same files)
# is installed and the current one replaces it, leaving one entry, and the
# older one is refused over the newer.
# Usage: check_windows_msi.sh BUILD UNZIPPED
#   BUILD     the Windows Release build that holds zantor-editor-VERSION-x64.msi
#   UNZIPPED  the zip unpacked: the package must install the same files
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
unzipped=$(cd "$2" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
msi=$build/zantor-editor-$version-x64.msi
[ -f "$msi" ] || { echo "check_windows_msi: no $msi" >&2; exit 1; }

. "$here/private_desktop.sh"
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
trap '"$wineserver" -k 2>/dev/null || true; finish' EXIT
status=0
fail() {
    echo "check_windows_msi: $*" >&2
    status=1
}

installed="$WINEPREFIX/drive_c/Program Files/Zantor Editor"
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
classes='HKLM\Software\Classes'
progid=Kestrane.ZantorEditor.Settings
# Wine's reg prints CR LF lines, and its error on standard output: an absent
# key or value is an empty answer here.
query() {
    if answer=$("$wine" reg query "$@" 2>/dev/null); then printf '%s\n' "$answer" | tr -d '\r'; fi
}
# The value $2 of the key $1 (the key's default for an empty $2).
value() {
    if [ -n "$2" ]; then query "$1" /v "$2"; else query "$1" /ve; fi |
        sed -n 's/^    [^ ].*    REG_[A-Z_]*    //p'
}
# The uninstall entries named Zantor Editor, one "KEY VERSION" line each.
entries() {
    query "$uninstall" | grep '^HKEY' | while read -r key; do
        [ "$(value "$key" DisplayName)" = "Zantor Editor" ] && echo "$key $(value "$key" DisplayVersion)"
    done
    true
}
shortcuts() { find "$WINEPREFIX/drive_c" -name 'Zantor Editor.lnk'; }
msiexec() { "$wine" msiexec "$@" /qn; }

# One Wine server for the whole test, rather than one started for each of
# its many short Wine commands.
mkdir "$WINEPREFIX" && "$wineserver" -p
"$wine" wineboot --init >/dev/null 2>&1
msiexec /i "$msi" || fail "the installation failed"

(cd "$unzipped"/*/ && find . -type f | sort) >"$work/zip-files"
(cd "$installed" && find . -type f | sort) >"$work/installed-files" 2>/dev/null || true
diff "$work/zip-files" "$work/installed-files" >/dev/null ||
    fail "the installed files differ from the zip's: $(diff "$work/zip-files" "$work/installed-files" | grep '^[<>]' | paste -sd ' ' -)"
# Wine keeps every program's Start menu in the user's profile; Windows puts a
# per-machine one under ProgramData.
[ "$(shortcuts | grep -c .)" -eq 1 ] || fail "wants one Start-menu shortcut, has: $(shortcuts | paste -sd ' ' -)"

set -- $(entries)
if [ $# -ne 2 ] || [ "$2" != "$version" ]; then
    fail "wants one uninstall entry of version $version, has: ${*:-none}"
else
    [ "$(value "$1" Publisher)" = Kestrane ] || fail "the uninstall entry's maker is \"$(value "$1" Publisher)\""
    product=${1##*\\}
    icon=$(query "$classes\\Installer\\Products" /s /v ProductIcon | grep -F "$product" | sed 's/.*REG_SZ    //')
    [ -n "$icon" ] && [ -f "$("$wine" winepath -u "$icon" 2>/dev/null)" ] || fail "the uninstall entry has no icon"
fi

app="$classes\\Applications\\zantor_editor.exe"
command=$(value "$app\\shell\\open\\command" "")
[ "$command" = "\"C:\\Program Files\\Zantor Editor\\zantor_editor.exe\" \"%1\"" ] ||
    fail "Open with: the editor's command is \"$command\""
query "$app\\SupportedTypes" /v .xml | grep -q '^    \.xml' || fail "Open with: .xml is not among the editor's types"
query "$classes\\.xml\\OpenWithProgids" /v "$progid" | grep -q "^    $progid" ||
    fail "Open with: $progid is not listed for .xml"
[ "$(value "$classes\\$progid\\shell\\open\\command" "")" = "$command" ] ||
    fail "Open with: the command of $progid is \"$(value "$classes\\$progid\\shell\\open\\command" "")\""
[ "$(value "$classes\\.xml" "")" != "$progid" ] || fail "the package made itself the default program of .xml"

fleet_version=$(cd "$installed" && "$wine" ./zantor-fleet.exe --version 2>&1 | tr -d '\r' || true)
[ "$fleet_version" = "zantor-fleet $version" ] || fail "the installed zantor-fleet --version said: $fleet_version"

# The editor as Explorer's "Open with" starts it: the registered command with
# a settings file for %1. A file it could not open would show its error box.
cp "$here/../../fuzz/corpus/fleet_1.xml" "$work/fleet.xml"
"$wine" 'C:\Program Files\Zantor Editor\zantor_editor.exe' "$("$wine" winepath -w "$work/fleet.xml")" \
    >"$work/editor.log" 2>&1 &
editor=$!
stop_at_end "$editor"
if [ -z "$(find_window '^Zantor Editor V4 - 6478c$' 90)" ]; then
    fail "the installed editor showed no main window"
else
    sleep 3
    kill -0 "$editor" 2>/dev/null || fail "the installed editor ended by itself: $(cat "$work/editor.log")"
    [ "$(count_windows '^Zantor Editor$')" -eq 0 ] || fail "the editor could not open the file it was given"
fi
kill "$editor" 2>/dev/null || true
wait "$editor" 2>/dev/null || true

# Nothing of the package may remain once removed.
left_behind() {
    [ ! -e "$installed" ] || echo "the folder $installed"
    shortcuts
    entries
    query "$app" | grep -q . && echo "the key $app"
    query "$classes\\$progid" | grep -q . && echo "the key $progid"
    query "$classes\\.xml\\OpenWithProgids" /v "$progid" | grep -q "$progid" && echo "$progid under .xml"
    true
}
msiexec /x "$msi" || fail "the removal failed"
[ -z "$(left_behind)" ] || fail "left after the removal: $(left_behind | paste -sd ';' -)"

# A major upgrade: the same files under a lower version, replaced by this one.
"$here/../../packaging/windows/build-msi.sh" "$build" 3.9 "$work/older.msi" >/dev/null
msiexec /i "$work/older.msi" || fail "the installation of version 3.9 failed"
[ "$(entries | cut -d' ' -f2)" = 3.9 ] || fail "after installing 3.9 the entries are: $(entries | paste -sd ';' -)"
msiexec /i "$msi" || fail "the upgrade from 3.9 failed"
[ "$(entries | cut -d' ' -f2)" = "$version" ] || fail "after the upgrade the entries are: $(entries | paste -sd ';' -)"
[ -f "$installed/zantor_editor.exe" ] || fail "the upgrade left no editor"
if msiexec /i "$work/older.msi"; then fail "version 3.9 was installed over $version"; fi
[ "$(entries | cut -d' ' -f2)" = "$version" ] || fail "after the refused downgrade the entries are: $(entries | paste -sd ';' -)"
msiexec /x "$msi" || fail "the removal after the upgrade failed"
[ -z "$(left_behind)" ] || fail "left after the upgrade's removal: $(left_behind | paste -sd ';' -)"

[ "$status" -eq 0 ] && echo "check_windows_msi: $msi installs, runs, upgrades and goes cleanly"
exit "$status"
