# Shared helpers for the tests against real compositors: start servers in the background, wait
# for their ready line through a FIFO, and stop exactly what was started, by pid.
# Usage: . lib.sh; every wait is bounded by a timeout.

set -u
T=$(mktemp -d /tmp/nadrel-wl.XXXXXX)
chmod 0755 "$T"
PIDS=""

cleanup() {
    for pid in $PIDS; do
        kill "$pid" 2>/dev/null
    done
    for pid in $PIDS; do
        wait "$pid" 2>/dev/null
    done
    rm -rf "$T"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    for f in "$T"/*.log; do
        [ -f "$f" ] && { echo "--- $f" >&2; tail -20 "$f" >&2; }
    done
    exit 1
}

# Skips the test (CTest sees the skip code) when a program is not installed.
need() {
    for prog in "$@"; do
        command -v "$prog" >/dev/null 2>&1 || { echo "SKIP: $prog is not installed"; exit 77; }
    done
}

# start_xvfb: sets DISPLAY.
start_xvfb() {
    mkfifo "$T/xvfb-ready"
    exec 3<>"$T/xvfb-ready"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$T/xvfb.log" 2>&1 &
    PIDS="$PIDS $!"
    read -r -t 10 -u 3 dnum || fail "Xvfb did not start"
    exec 3<&-
    export DISPLAY=":$dnum"
}

# start_sway [scale] [backend] [mode]: sway as nobody (it refuses to run as root); sets
# WAYLAND_DISPLAY, XDG_RUNTIME_DIR and SWAYSOCK. backend "x11" nests it in the current DISPLAY.
# SWAY_EXTRA, when set, is added to the configuration (for example an input layout).
start_sway() {
    scale=${1:-1}
    backend=${2:-headless}
    mode=${3:-1024x768}
    output=HEADLESS-1
    [ "$backend" = x11 ] && output=X11-1
    rt="$T/sway-rt"
    install -d -m 0700 -o nobody -g nogroup "$rt"
    cat >"$T/sway.conf" <<CONF
xwayland disable
output $output resolution $mode position 0,0 scale $scale
default_border none
for_window [app_id=".*"] floating enable
${SWAY_EXTRA:-}
exec sh -c 'echo "\$WAYLAND_DISPLAY \$SWAYSOCK" > "\$XDG_RUNTIME_DIR/ready"'
CONF
    chmod 0644 "$T/sway.conf"
    mkfifo -m 0600 "$rt/ready"
    chown nobody "$rt/ready"
    exec 3<>"$rt/ready"
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env -i PATH=/usr/bin:/bin HOME="$rt" XDG_RUNTIME_DIR="$rt" DISPLAY="${DISPLAY:-}" \
        WLR_BACKENDS="$backend" WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$T/sway.conf" 3>&- >"$T/sway.log" 2>&1 &
    SWAY_PID=$!
    PIDS="$PIDS $SWAY_PID"
    read -r -t 10 -u 3 wd ss || fail "sway did not start"
    exec 3<&-
    export XDG_RUNTIME_DIR="$rt" WAYLAND_DISPLAY="$wd" SWAYSOCK="$ss"
}

# start_weston [options...]: weston with pixman, headless unless the options name another
# backend (screenshots need --debug); sets WAYLAND_DISPLAY and XDG_RUNTIME_DIR.
start_weston() {
    rt="$T/weston-rt"
    install -d -m 0700 "$rt"
    printf '#!/bin/sh\necho "$WAYLAND_DISPLAY" > "$XDG_RUNTIME_DIR/ready"\n' >"$T/ready.sh"
    chmod 0755 "$T/ready.sh"
    cat >"$T/weston.ini" <<INI
[core]
idle-time=0
require-input=false
[shell]
panel-position=none
background-color=0xff303030
locking=false
animation=none
startup-animation=none
[autolaunch]
path=$T/ready.sh
INI
    mkfifo "$rt/ready"
    exec 3<>"$rt/ready"
    case "$*" in *--backend=*) ;; *) set -- --backend=headless-backend.so "$@" ;; esac
    XDG_RUNTIME_DIR="$rt" weston --use-pixman --width=1024 --height=768 --socket=wayland-test \
        --debug -c "$T/weston.ini" --log="$T/weston.log" "$@" 3>&- >/dev/null 2>&1 &
    WESTON_PID=$!
    PIDS="$PIDS $WESTON_PID"
    read -r -t 10 -u 3 wd || fail "weston did not start"
    exec 3<&-
    export XDG_RUNTIME_DIR="$rt" WAYLAND_DISPLAY="$wd"
}

# start_nadrel: runs the program in the background with its output in $T/out and $T/err.log.
start_nadrel() {
    "$NADREL" "$@" >"$T/out" 2>"$T/err.log" &
    NADREL_PID=$!
    PIDS="$PIDS $NADREL_PID"
}

# wait_exit SECONDS: waits for the program to end and puts its status in STATUS.
wait_exit() {
    timeout "$1" sh -c "while kill -0 $NADREL_PID 2>/dev/null; do sleep 0.05; done" ||
        fail "nadrel did not exit within $1 s"
    wait "$NADREL_PID"
    STATUS=$?
    PIDS=$(echo "$PIDS" | sed "s/ $NADREL_PID\b//")
}


# now_ms: monotonic-enough wall time in milliseconds.
now_ms() {
    echo $(( $(date +%s%N) / 1000000 ))
}

# poll_until SECONDS COMMAND...: reruns COMMAND every 10 ms until it succeeds; fails after SECONDS.
poll_until() {
    limit=$(( $(now_ms) + $1 * 1000 ))
    shift
    until "$@"; do
        [ "$(now_ms)" -gt "$limit" ] && return 1
        sleep 0.01
    done
    return 0
}

# place_window: moves the nadrel window to the top-left corner of the sway output; fails while
# it is not mapped.
place_window() {
    timeout 5 swaymsg '[app_id=nadrel] move position 0 0' >/dev/null 2>&1
}

# grab W H: screenshot of the top-left W x H (logical) of the sway output into $T/win.ppm.
grab() {
    timeout 5 grim -g "0,0 ${1}x${2}" -t ppm "$T/win.ppm" 2>/dev/null
}

# report_shown: the window's screenshot has more than two colours (text on a page).
report_shown() {
    grab 760 680 && [ "$("$INSPECT" colours "$T/win.ppm" 0 0 700 600)" -gt ${MIN_COLOURS:-2} ]
}

# last_attached: size of the last buffer nadrel attached (needs WAYLAND_DEBUG=client).
last_attached() {
    "$INSPECT" attached "$T/err.log" | tail -1
}
