#!/bin/bash
# WAYLAND_DISPLAY naming a missing socket: the window opens on X11 instead (under Xvfb), and
# without an X display both reasons are printed, Wayland's first, before the report; every
# line on standard error begins "nadrel: ".
. "$(dirname "$0")/lib.sh"
need Xvfb xdotool

export XDG_RUNTIME_DIR="$T" WAYLAND_DISPLAY=wayland-missing
unset WAYLAND_SOCKET

unset DISPLAY
start_nadrel
wait_exit 20
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
grep -Eq '^nadrel: GUI unavailable \(cannot connect to Wayland display: No such file or directory; cannot connect to X display: .+\); printing instead\.$' \
    "$T/err.log" || fail "unexpected message: $(cat "$T/err.log")"
grep -q '^NADREL  -  System Report$' "$T/out" || fail "the report was not printed"

# Without XDG_RUNTIME_DIR libwayland complains itself: its line is ours too, like every other.
env -u XDG_RUNTIME_DIR "$NADREL" >"$T/out" 2>"$T/err.log"
grep -q 'XDG_RUNTIME_DIR' "$T/err.log" || fail "libwayland said nothing: $(cat "$T/err.log")"
grep -v '^nadrel: ' "$T/err.log" && fail "a standard error line without the nadrel: prefix"

start_xvfb
start_nadrel
W=$(timeout 10 xdotool search --sync --name '^Nadrel$' | head -1)
[ -n "$W" ] || fail "no X11 window after Wayland was unavailable"
# Without a window manager the keys go to the window under the pointer.
xdotool mousemove --window "$W" 300 300
sleep 0.3
xdotool key q
wait_exit 5
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
[ ! -s "$T/out" ] || fail "the report was printed although the X11 window opened"
[ ! -s "$T/err.log" ] || fail "unexpected message: $(cat "$T/err.log")"
echo "PASS"
