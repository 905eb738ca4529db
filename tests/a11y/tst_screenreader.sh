#!/usr/bin/env bash
# Starts the real window on a virtual screen with the accessibility bus of
# at-spi2-core, a simulated KR350SV radio on COM9, and reads the window as a
# screen reader does (listnames.py); then the station window on that radio.
#   tst_screenreader.sh KELVRASET RADIO_SIM
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
kelvraset=$1
radio_sim=$2

# Debian's own interpreter: pyatspi comes as a Debian package.
python=/usr/bin/python3
for tool in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher "$python"; do
    if ! command -v "$tool" >/dev/null; then
        echo "tst_screenreader: $tool is missing (scripts/test.sh installs it)" >&2
        exit 1
    fi
done
if ! "$python" -c 'import pyatspi' 2>/dev/null; then
    echo "tst_screenreader: python3-pyatspi is missing (scripts/test.sh installs it)" >&2
    exit 1
fi

if [ -z "${KELVRA_IN_SESSION:-}" ]; then
    # A bus of our own, which ends with us; nothing may wait for ever.
    export KELVRA_IN_SESSION=1
    exec timeout -k 5 90 dbus-run-session -- "$0" "$@"
fi

private=$(mktemp -d)
xvfb_pid=""
sim_pid=""
app_pid=""
cleanup() {
    for pid in $app_pid $sim_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$private"
}
trap cleanup EXIT

# Xvfb picks a free display itself, so suites running side by side never meet.
Xvfb -displayfd 4 -screen 0 1366x768x24 -nolisten tcp 4>"$private/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$private/display" ] && break
    sleep 0.1
done
[ -s "$private/display" ] || { echo "tst_screenreader: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$private/display")"

# A portable copy: its settings, port alias and history stay beside it.
export HOME=$private XDG_CONFIG_HOME=$private/config XDG_DATA_HOME=$private/data XDG_RUNTIME_DIR=$private
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LANG=C.UTF-8
unset LC_ALL LC_MESSAGES LANGUAGE QT_QPA_PLATFORM
mkdir -p "$private/app/ports"
cp "$kelvraset" "$private/app/KelvraSet"

"$radio_sim" --demo --model KR350SV --com 9 --alias-dir "$private/app/ports" >/dev/null &
sim_pid=$!
for _ in $(seq 100); do
    [ -L "$private/app/ports/COM9" ] && break
    sleep 0.1
done
"$private/app/KelvraSet" >"$private/app.log" 2>&1 &
app_pid=$!

# Reads the window as a screen reader does. A client that loses the
# accessibility bus while it connects (the library then ends it with SIGTRAP,
# which timeout reports as 133) is started again; a check that fails is not.
hear() {
    local rc=0
    for _ in 1 2 3; do
        rc=0
        timeout 60 "$python" "$here/listnames.py" "$@" || rc=$?
        [ "$rc" -eq 133 ] || return "$rc"
        echo "tst_screenreader: the client lost the accessibility bus while connecting; it asks again" >&2
        sleep 1
    done
    return "$rc"
}

if ! hear; then
    sed 's/^/KelvraSet: /' "$private/app.log" >&2
    exit 1
fi
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true

# The station window on the same radio, its port ticked from the command line.
printf '{"seller": "LINE-7"}\n' >"$private/job.json"
"$private/app/KelvraSet" station --window --job "$private/job.json" --port COM9 >"$private/app.log" 2>&1 &
app_pid=$!
if ! hear station; then
    sed 's/^/KelvraSet station: /' "$private/app.log" >&2
    exit 1
fi
