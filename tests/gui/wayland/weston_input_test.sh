#!/bin/bash
# Keyboard and pointer under weston nested in Xvfb (no decorations), driven by xdotool with real
# key codes: the wheel scrolls, a held Down repeats at our own rate, the header moves the window,
# the right edge resizes it, Close quits. (Other keys are covered under sway.)
. "$(dirname "$0")/lib.sh"
need weston Xvfb xdotool xwd convert
start_xvfb
start_weston --backend=x11-backend.so

export WAYLAND_DEBUG=client
# A report longer than the window, so that there is something to scroll.
NADREL_SYSROOT="$(cd "$(dirname "$0")/../../fixtures/intel-desktop" && pwd)" start_nadrel --detail
screen() {
    timeout 10 xwd -root -silent >"$T/screen.xwd" &&
        timeout 20 convert "xwd:$T/screen.xwd" "ppm:$T/screen.ppm"
}
# locate COLOUR W H: puts the window's top-left into WX, WY.
locate() {
    screen && found=$("$INSPECT" find "$T/screen.ppm" "$1" "$2" "$3") && set -- $found &&
        WX=$1 WY=$2
}
poll_until 10 locate 1e1e1e 760 680 || fail "no window on the screen"
XW=$(timeout 5 xdotool search --class weston | head -1)
[ -n "$XW" ] || fail "no weston window on the X display"
# weston takes X motion as relative: pin both pointers to the corner first.
xdotool mousemove --window "$XW" 0 0
sleep 0.1
xdotool mousemove $((WX + 300)) $((WY + 300))

body_hash() { "$INSPECT" hash "$T/screen.ppm" $((WX + 20)) $((WY + 60)) 700 600; }
screen
before=$(body_hash)
xdotool click 5
scrolled() { screen && [ "$(body_hash)" != "$before" ]; }
poll_until 5 scrolled || fail "the wheel did not scroll"

# Hold Down for a second: one press from weston, many frames from our own repeat.
xdotool key Home
sleep 0.2
xdotool keydown Down
sleep 1
xdotool keyup Down
sleep 0.2
presses=$(grep -c 'wl_keyboard@[0-9]*\.key([0-9]*, [0-9]*, 108, 1)' "$T/err.log")
frames=$(sed -n '/\.key([0-9]*, [0-9]*, 108, 1)/,/\.key([0-9]*, [0-9]*, 108, 0)/p' "$T/err.log" |
    grep -c 'wl_surface@[0-9]*\.attach(')
[ "$presses" = 1 ] || fail "weston sent $presses presses of Down"
[ "$frames" -ge 5 ] || fail "holding Down drew only $frames frames"

# Drag the empty header: the window moves with the pointer.
xdotool mousemove $((WX + 300)) $((WY + 20)) mousedown 1
sleep 0.1
xdotool mousemove $((WX + 350)) $((WY - 10))
sleep 0.1
xdotool mouseup 1
moved() { locate 1e1e1e 760 680 && [ "$WX,$WY" = "$1" ]; }
poll_until 5 moved "$((WX + 50)),$((WY - 30))" || fail "the header did not move the window"

# Drag the right edge (in the header: below it the scrollbar keeps the strip) 60 pixels
# outwards: the next buffer is 820 wide.
xdotool mousemove $((WX + 757)) $((WY + 20)) mousedown 1
sleep 0.1
xdotool mousemove $((WX + 817)) $((WY + 20))
sleep 0.1
xdotool mouseup 1
wider() { [ "$(last_attached)" = 820x680 ]; }
poll_until 5 wider || fail "the right edge did not resize (last buffer $(last_attached))"

# The Close button: right end of the header, 16 pixels in.
xdotool mousemove $((WX + 820 - 16 - 14)) $((WY + 24)) click 1
wait_exit 5
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
[ ! -s "$T/out" ] || fail "closing the window printed the report"
echo "PASS"
