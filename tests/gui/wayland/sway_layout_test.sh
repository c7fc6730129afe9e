#!/bin/bash
# A French (AZERTY) layout under sway nested in Xvfb: keys are read through the compositor's
# keymap, so the key in the US "q" position (an "a" here) does nothing and the key labelled q
# quits; c copies the report, which wl-paste reads back while the window is open.
. "$(dirname "$0")/lib.sh"
need sway swaymsg Xvfb xdotool wl-paste
start_xvfb
SWAY_EXTRA='input * xkb_layout fr' start_sway 1 x11

export WAYLAND_DEBUG=client
# A fixture machine: the live one's uptime and memory in use change between the copy and the
# print below.
export NADREL_SYSROOT
NADREL_SYSROOT="$(cd "$(dirname "$0")/../../fixtures/intel-desktop" && pwd)" ||
    fail "no fixture machine"
start_nadrel
poll_until 10 place_window || fail "no nadrel window in sway"
keyboard() { grep -q 'wl_keyboard@[0-9]*\.keymap(' "$T/err.log" && grep -q 'wl_keyboard@[0-9]*\.enter(' "$T/err.log"; }
poll_until 10 keyboard || fail "the window never got the keymap and the keyboard"
xdotool mousemove 300 300

# Physical Q gives "a" on AZERTY: nothing happens.
xdotool key q
sleep 0.5
kill -0 "$NADREL_PID" 2>/dev/null || fail "the key labelled a quit the window"

# Physical C is "c" on AZERTY too: the report goes to the clipboard.
xdotool key c
copied() { grep -q 'wl_data_device@[0-9]*\.set_selection(' "$T/err.log"; }
poll_until 5 copied || fail "c did not set the selection"
timeout 10 wl-paste -n >"$T/pasted" 2>"$T/paste.log" || fail "wl-paste failed: $(cat "$T/paste.log")"
"$NADREL" --print >"$T/printed" 2>/dev/null
# The same report as --print writes, but for the minute of the stamp.
diff <(sed 2d "$T/pasted") <(sed 2d "$T/printed") >"$T/diff.log" || fail "pasted text differs"
head -1 "$T/pasted" | grep -q '^NADREL  -  System Report$' || fail "no title block pasted"

# Physical A gives "q" on AZERTY: it quits.
xdotool key a
wait_exit 5
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
[ ! -s "$T/out" ] || fail "quitting printed the report"
echo "PASS"
