#!/bin/sh
# The Debian package without installing it: the programs, the desktop entry,
# the icon, the AppStream metadata and the manual page in their places under
# /usr; dependencies on Qt Widgets and TinyXML (found by dpkg-shlibdeps) and
# the platform plugins; the desktop entry and the metadata valid, the
# metadata's newest release the package's version; the manual page
# rendering without a warning.
# Usage: check_deb.sh DEB
set -eu
deb=$1
status=0
fail() {
    echo "check_deb: $*" >&2
    status=1
}
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT

dpkg-deb -c "$deb" | awk '{print $6}' >"$unpacked/files"
for want in ./usr/bin/zantor_editor ./usr/bin/zantor-fleet ./usr/share/applications/zantor_editor.desktop \
    ./usr/share/icons/hicolor/256x256/apps/zantor_editor.png \
    ./usr/share/metainfo/example.kestrane.zantor_editor.metainfo.xml ./usr/share/man/man1/zantor-fleet.1.gz; do
    grep -q -x -F "$want" "$unpacked/files" || fail "the package lacks $want"
done
outside=$(grep -v -e '^\./$' -e '^\./usr/' "$unpacked/files" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"

depends=$(dpkg-deb -f "$deb" Depends)
for want in libqt6widgets6 libtinyxml2.6.2v5 qt6-qpa-plugins; do
    echo "$depends" | tr ',' '\n' | grep -q "^ *$want\\b" || fail "Depends does not name $want: $depends"
done

dpkg-deb -x "$deb" "$unpacked/root"
share=$unpacked/root/usr/share
desktop-file-validate "$share/applications/zantor_editor.desktop" || fail "the desktop entry is not valid"
metainfo=$share/metainfo/example.kestrane.zantor_editor.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$unpacked/validate" 2>&1 ||
    fail "the AppStream metadata is not valid: $(cat "$unpacked/validate")"
version=$(dpkg-deb -f "$deb" Version)
release=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
[ "$release" = "$version" ] || fail "the metadata's newest release is $release, the package's version $version"

man_warnings=$(MANWIDTH=80 man -l --warnings "$share/man/man1/zantor-fleet.1.gz" 2>&1 >"$unpacked/man")
[ -z "$man_warnings" ] || fail "the manual page gives warnings: $man_warnings"
grep -q 'zantor-fleet  *- check, list, compare' "$unpacked/man" || fail "the manual page has no NAME line"
grep -q -- '--version' "$unpacked/man" || fail "the manual page lacks the options of --help"

[ "$status" -eq 0 ] && echo "check_deb: $deb is right"
exit "$status"
