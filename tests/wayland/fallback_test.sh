#!/bin/bash
# WAYLAND_DISPLAY naming a missing socket: without an X display both reasons are printed,
# Wayland's first, and the report follows on standard output.
. "$(dirname "$0")/lib.sh"

export XDG_RUNTIME_DIR="$T" WAYLAND_DISPLAY=wayland-missing
unset DISPLAY WAYLAND_SOCKET
start_nadrel
wait_exit 20
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
grep -Eq '^nadrel: GUI unavailable \(cannot connect to Wayland display: No such file or directory; .+\); printing instead\.$' \
    "$T/err.log" || fail "unexpected message: $(cat "$T/err.log")"
grep -q '^NADREL  -  System Report$' "$T/out" || fail "the report was not printed"
echo "PASS"
