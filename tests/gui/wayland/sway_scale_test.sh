#!/bin/bash
# An output of scale 2 gives a 1520 x 1360 buffer for the 760 x 680 window; moving the window to
# an output of scale 1 (the surface leaves the first) brings back 760 x 680.
. "$(dirname "$0")/lib.sh"
need sway grim swaymsg
start_sway 2 headless 2048x1536

export WAYLAND_DEBUG=client
start_nadrel
poll_until 10 place_window || fail "no nadrel window in sway"
scaled_buffer() { [ "$(last_attached)" = 1520x1360 ]; }
poll_until 10 scaled_buffer || fail "buffer at scale 2 is $(last_attached), not 1520x1360"
grep -q 'set_buffer_scale(2)' "$T/err.log" || fail "no set_buffer_scale(2)"
# grim captures physical pixels: the whole 1520 x 1360 window, dark page at its left margin.
poll_until 10 report_shown || fail "the report never appeared"
[ "$("$INSPECT" pixel "$T/win.ppm" 8 600)" = 1e1e1e ] || fail "no dark page at (8, 600)"

timeout 5 swaymsg create_output >/dev/null || fail "cannot add an output"
timeout 5 swaymsg '[app_id=nadrel] move to output HEADLESS-2' >/dev/null || fail "cannot move"
plain_buffer() { [ "$(last_attached)" = 760x680 ]; }
poll_until 10 plain_buffer || fail "buffer after leaving is $(last_attached), not 760x680"
grep -q 'leave(wl_output' "$T/err.log" || fail "the surface never left the scaled output"
grep -q 'set_buffer_scale(1)' "$T/err.log" || fail "no set_buffer_scale(1)"

timeout 5 swaymsg '[app_id=nadrel] kill' >/dev/null
wait_exit 5
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "PASS"
