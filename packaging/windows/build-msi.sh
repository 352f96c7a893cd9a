#!/bin/sh
# The Windows Installer package: the install tree of a Windows build (the
# files the zip holds, stripped) staged with `cmake --install`, its
# components listed by wixl-heat, and packaging/windows/zantor-editor.wxs
# around them, built by wixl.
# Usage: build-msi.sh BUILD [VERSION [MSI]]
#   VERSION  the product's version, major.minor; the project's by default (a
#            lower one makes the older package the upgrade test replaces)
#   MSI      the package; BUILD/zantor-editor-VERSION-x64.msi by default
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
version=${2:-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")}
msi=${3:-$build/zantor-editor-$version-x64.msi}
case "$msi" in /*) ;; *) msi=$(pwd)/$msi ;; esac
[ -n "$version" ] || { echo "build-msi: no project version in $build/CMakeCache.txt" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/stage" --strip >/dev/null
# Top-level files first, so that wixl-heat puts them in one folder entry.
(cd "$work" && { find stage -maxdepth 1 -type f | sort; find stage -mindepth 2 -type f | sort; }) |
    wixl-heat --directory-ref INSTALLDIR --component-group ProgramFiles --var var.StageDir -p stage/ --win64 \
        >"$work/files.wxs"
# wixl finds sources by paths relative to where it runs.
cp "$build/zantor_editor.ico" "$work/"
(cd "$work" && wixl --arch x64 -D Version="$version" -D StageDir=stage -D Icon=zantor_editor.ico -D Win64=yes \
    -o "$msi" "$here/zantor-editor.wxs" files.wxs)
echo "build-msi: $msi"
