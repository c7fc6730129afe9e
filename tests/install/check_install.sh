#!/bin/sh
# Installs the build into a temporary prefix and checks that the program reaches application
# menus: the binary, the desktop entry (valid, launching nadrel) and its icon.
# Usage: check_install.sh BUILD_DIR
set -eu
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
fail() { echo "FAIL: $*"; exit 1; }
entry="$prefix/share/applications/nadrel.desktop"
[ -x "$prefix/bin/nadrel" ] || fail "no bin/nadrel"
[ -f "$entry" ] || fail "no desktop entry"
for line in 'Type=Application' 'Name=Nadrel' 'Exec=nadrel' 'Icon=nadrel' \
    'Categories=System;Monitor;'; do
    grep -qxF "$line" "$entry" || fail "desktop entry lacks $line"
done
icon="$prefix/share/icons/hicolor/scalable/apps/nadrel.svg"
[ -f "$icon" ] || fail "no icon"
grep -q '<svg' "$icon" || fail "icon is not SVG"
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$entry" || fail "desktop-file-validate"
fi
echo "installed: binary, desktop entry, icon"
