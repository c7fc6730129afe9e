#!/bin/sh
# The desktop entry passes desktop-file-validate (skipped, status 77, when it is not installed).
# Usage: desktop_test.sh DESKTOP_FILE
command -v desktop-file-validate >/dev/null || { echo "desktop-file-validate missing"; exit 77; }
desktop-file-validate "${1:?usage: desktop_test.sh DESKTOP_FILE}" && echo "desktop entry valid"
