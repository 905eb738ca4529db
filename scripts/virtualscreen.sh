# Sourced by the scripts that drive KelvraSet on a virtual screen: waiting
# for a condition, a private Xvfb display, and finding the program's windows.

# waits up to $1 tenths of a second for the command after it to succeed
wait_for() {
    local tenths=$1
    shift
    for ((i = 0; i < tenths; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# ends each process given by id that still runs
stop_started() {
    for pid in "$@"; do
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
}

# starts Xvfb with a screen of $1 (e.g. 1366x768) on a free display, exports
# DISPLAY and sets xvfb_pid; returns 1 when it does not come up
start_xvfb() {
    local display=99
    while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
        display=$((display + 1))
    done
    Xvfb ":$display" -screen 0 "$1x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$display"
    wait_for 100 xdotool getdisplaygeometry
}

kelvra_windows() { xdotool search --onlyvisible --name '^KelvraSet$' 2>/dev/null | wc -l; }
# at least $2 visible windows whose title matches $1
windows_named() { [ "$(xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l)" -ge "$2" ]; }
windows_at_least() { [ "$(kelvra_windows)" -ge "$1" ]; }
windows_at_most() { [ "$(kelvra_windows)" -le "$1" ]; }
