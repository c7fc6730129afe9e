#!/bin/bash
# Under weston (no decoration manager): no decoration requests, the view draws its own Close
# button, the window shows the report; killing weston gives "Wayland connection lost".
# weston runs nested in Xvfb: its headless screenshots lose the colour of pixels whose unused
# byte is 0, while the X server shows xrgb8888 as it is.
. "$(dirname "$0")/lib.sh"
need weston Xvfb xwd convert
start_xvfb
start_weston --backend=x11-backend.so

export WAYLAND_DEBUG=client
start_nadrel
drawn() { [ "$(last_attached)" = 760x680 ] && grep -q 'wl_callback@[0-9]*\.done' "$T/err.log"; }
poll_until 10 drawn || fail "no 760x680 frame shown"
grep -q zxdg_toplevel_decoration "$T/err.log" && fail "asked for decorations weston lacks"

# weston's X window sits at 0,0: the root window is the screen. Find the window by its page.
on_screen() {
    timeout 10 xwd -root -silent >"$T/screen.xwd" &&
        timeout 20 convert "xwd:$T/screen.xwd" "ppm:$T/screen.ppm" &&
        found=$("$INSPECT" find "$T/screen.ppm" 1e1e1e 760 680)
}
poll_until 10 on_screen || fail "no 760 x 680 window with a dark page on the screen"
set -- $found
wx=$1 wy=$2
# With its own Close button the row of header buttons starts 36 pixels further left: the Detail
# button covers (540, 24), which is empty page when the compositor decorates.
[ "$("$INSPECT" pixel "$T/screen.ppm" $((wx + 540)) $((wy + 24)))" != 1e1e1e ] ||
    fail "the header buttons leave no room for a Close button"

kill "$WESTON_PID"
wait "$WESTON_PID"
PIDS=$(echo "$PIDS" | sed "s/ $WESTON_PID\b//")
wait_exit 10
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
grep -Eq '^nadrel: GUI unavailable \(Wayland connection lost: [^;]+\); printing instead\.$' \
    "$T/err.log" || fail "unexpected message"
echo "PASS"
