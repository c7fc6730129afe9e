#!/bin/bash
# Killing the compositor while the window is shown: "Wayland connection lost: ...", the printed
# report, status 0, and no X11 attempt (which would add "; " and the X11 reason).
. "$(dirname "$0")/lib.sh"
need sway swaymsg
start_sway

export DISPLAY=:4242  # an X server that does not exist: any X11 attempt would show in the message
start_nadrel
poll_until 10 place_window || fail "no nadrel window in sway"
kill "$SWAY_PID"
wait "$SWAY_PID"
PIDS=$(echo "$PIDS" | sed "s/ $SWAY_PID\b//")
wait_exit 10
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
grep -Eq '^nadrel: GUI unavailable \(Wayland connection lost: [^;]+\); printing instead\.$' \
    "$T/err.log" || fail "unexpected message: $(cat "$T/err.log")"
grep -q '^NADREL  -  System Report$' "$T/out" || fail "the report was not printed"
echo "PASS"
