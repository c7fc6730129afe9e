#!/bin/sh
# Installs the build into a temporary prefix and checks that the program reaches application
# menus (the binary, the desktop entry launching nadrel, its icon), that the installed program
# finds its window module, and the man pages, completion and capture tool.
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
for f in share/man/man1/nadrel.1 share/man/man1/nadrel-capture.1 \
    share/bash-completion/completions/nadrel; do
    [ -f "$prefix/$f" ] || fail "no $f"
done
[ -x "$prefix/bin/nadrel-capture" ] || fail "no bin/nadrel-capture"
[ -n "$(find "$prefix" -name nadrel-window.so)" ] || fail "no window module"
# A display that is not there: the window fails for want of the display, not of the module.
err=$(env -i NADREL_SYSROOT=/nonexistent DISPLAY=:nadrel-none "$prefix/bin/nadrel" 2>&1 >/dev/null)
case "$err" in
    *"window module missing"* | "") fail "installed program: $err" ;;
esac
echo "installed: binary, window module, desktop entry, icon, man pages, completion, capture"
