#!/bin/sh
# The unpacked Windows zip: READ-ME.txt in CR LF lines, and each program with
# the application manifest as its one RT_MANIFEST resource, id 1, carrying the
# Windows 10/11 entry, per-monitor DPI awareness and the version 6 common
# controls. Usage: check_windows_zip.sh UNZIPPED (the zip's one top folder
# inside it holds the files).
set -eu
windres=x86_64-w64-mingw32-windres
objcopy=x86_64-w64-mingw32-objcopy
status=0
fail() {
    echo "check_windows_zip: $*" >&2
    status=1
}

set -- "$1"/*/READ-ME.txt
[ -f "$1" ] || { fail "no READ-ME.txt in the zip's folder"; exit 1; }
top=$(dirname "$1")

cr=$(printf '\r')
lf_only=$(grep -c -v "$cr\$" "$top/READ-ME.txt" || true)
[ "$lf_only" -eq 0 ] || fail "READ-ME.txt: $lf_only line(s) end without CR LF, the first is line \
$(grep -n -v -m 1 "$cr\$" "$top/READ-ME.txt" | cut -d: -f1)"
[ "$(tail -c 2 "$top/READ-ME.txt" | od -An -c | tr -d ' ')" = '\r\n' ] ||
    fail "READ-ME.txt: the last line does not end in CR LF"

resources=$(mktemp -d)
trap 'rm -rf "$resources"' EXIT
for exe in zantor_editor.exe zantor-fleet.exe; do
    [ -f "$top/$exe" ] || { fail "$exe is missing"; continue; }
    # Windows reads one manifest: a second one (a toolchain's default) could
    # be the one it picks.
    manifests=$("$windres" -i "$top/$exe" -J coff -O rc | grep ' 24 /\* RT_MANIFEST \*/' || true)
    [ "$manifests" = "1 24 /* RT_MANIFEST */" ] ||
        fail "$exe: wants one manifest resource, id 1; has: $(echo "${manifests:-none}" | paste -sd ';' -)"
    "$objcopy" -O binary -j .rsrc "$top/$exe" "$resources/$exe"
    for want in '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' '>PerMonitorV2, PerMonitor<' '>true/pm<' \
        'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' 'level="asInvoker"'; do
        grep -a -q -F "$want" "$resources/$exe" || fail "$exe: the manifest lacks $want"
    done
done
[ "$status" -eq 0 ] && echo "check_windows_zip: $top is right"
exit "$status"
