#!/bin/bash
# Keys and pointer under sway nested in Xvfb (server-side decorations), driven by xdotool with
# real key codes: q and Escape quit with status 0; a press on the header asks sway to move the
# window, a press at its right edge asks for no resize (sway decorates it).
. "$(dirname "$0")/lib.sh"
need sway swaymsg Xvfb xdotool
start_xvfb
start_sway 1 x11

export WAYLAND_DEBUG=client
# run_until_key KEY: starts nadrel, waits for its keyboard, and checks that KEY ends it with 0.
run_until_key() {
    start_nadrel
    poll_until 10 place_window || fail "no nadrel window in sway"
    keyboard() { grep -q 'wl_keyboard@[0-9]*\.enter(' "$T/err.log"; }
    poll_until 10 keyboard || fail "the window never got the keyboard"
    xdotool mousemove 300 300
    pointer() { grep -q 'wl_pointer@[0-9]*\.enter(' "$T/err.log"; }
    poll_until 10 pointer || fail "the pointer never entered the window"
    [ -z "${2:-}" ] || "$2"
    xdotool key "$1"
    wait_exit 5
    [ "$STATUS" = 0 ] || fail "$1: exit status $STATUS"
    [ ! -s "$T/out" ] || fail "$1: quitting printed the report"
}

presses() {
    # The right edge in the middle band, then the empty header.
    xdotool mousemove 757 300 click 1
    xdotool mousemove 300 20 click 1
    moved() { grep -q 'xdg_toplevel@[0-9]*\.move(' "$T/err.log"; }
    poll_until 5 moved || fail "a press on the header did not move the window"
    grep -q 'xdg_toplevel@[0-9]*\.resize(' "$T/err.log" && fail "resize offered with decorations"
    xdotool mousemove 300 300
}

run_until_key q presses
run_until_key Escape
echo "PASS"
