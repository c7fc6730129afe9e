#!/bin/bash
# Under headless sway (server-side decorations): the window appears with the report, sleeps in
# poll() without a timeout when idle, and ends with status 0 when sway closes it. (What it asks
# of the compositor is checked request by request against the scripted compositor.)
. "$(dirname "$0")/lib.sh"
need sway grim swaymsg
start_sway

export WAYLAND_DEBUG=client
start_time=$(now_ms)
start_nadrel
poll_until 10 place_window || fail "no nadrel window in sway"
poll_until 10 report_shown || fail "the report never appeared"
echo "launch to first frame under sway: $(( $(now_ms) - start_time )) ms"
[ "$(last_attached)" = 760x680 ] || fail "buffer is $(last_attached), not 760x680"
# The dark page at the left margin.
[ "$("$INSPECT" pixel "$T/win.ppm" 4 300)" = 1e1e1e ] || fail "no dark page at (4, 300)"
# Decorated by sway: no Close button, so the header buttons start right of (540, 24).
[ "$("$INSPECT" pixel "$T/win.ppm" 540 24)" = 1e1e1e ] || fail "a Close button was drawn"


# Idle: blocked in poll (syscall 7 on x86-64) with timeout -1, using no CPU.
if [ "$(uname -m)" = x86_64 ]; then
    sleep 0.3
    cpu1=$(awk '{print $14 + $15}' "/proc/$NADREL_PID/stat")
    sleep 0.5
    cpu2=$(awk '{print $14 + $15}' "/proc/$NADREL_PID/stat")
    sc=$(cat "/proc/$NADREL_PID/syscall")
    set -- $sc
    [ "$1" = 7 ] && [ "$3" = 0x1 ] && { [ "$4" = 0xffffffff ] || [ "$4" = 0xffffffffffffffff ]; } ||
        fail "idle window is not in poll() without timeout: $sc"
    [ "$cpu1" = "$cpu2" ] || fail "idle window used CPU ($cpu1 -> $cpu2 ticks)"
fi

timeout 5 swaymsg '[app_id=nadrel] kill' >/dev/null || fail "swaymsg kill failed"
wait_exit 5
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
[ ! -s "$T/out" ] || fail "closing the window printed the report"
echo "PASS"
