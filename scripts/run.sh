#!/usr/bin/env bash
# Builds KelvraSet, starts a simulated radio that appears as COM9 and opens
# KelvraSet on it. Without a display it runs on a virtual screen instead,
# reads the radio once in English and once in Chinese, and saves a
# screenshot of each.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/virtualscreen.sh

scripts/deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target kelvraset radio-sim -j "$(nproc 2>/dev/null || echo 2)"

app_dir=$PWD/build/src/app
kelvraset=$app_dir/KelvraSet
radio_sim=$PWD/build/tools/radio-sim/kelvraset-radio-sim
com=9
sim_log=$PWD/build/kelvraset-radio-sim.log

sim_pid=""
xvfb_pid=""
app_pid=""
cleanup() { stop_started "$app_pid" "$sim_pid" "$xvfb_pid"; }
trap cleanup EXIT
trap 'exit 130' INT TERM

"$radio_sim" --demo --alias-dir "$app_dir/ports" --com "$com" >"$sim_log" 2>&1 &
sim_pid=$!
if ! wait_for 50 test -L "$app_dir/ports/COM$com"; then
    cat "$sim_log" >&2
    echo "run.sh: the simulated radio did not start" >&2
    exit 1
fi
echo "Simulated radio: $(head -n 1 "$sim_log"), alias $app_dir/ports/COM$com"

# The demo radio's port is the one to open: make it the remembered port.
ini=$app_dir/mysetup.ini
if [ -f "$ini" ] && grep -qi '^[[:space:]]*comPort[[:space:]]*=' "$ini"; then
    sed -i "s/^\([[:space:]]*comPort[[:space:]]*=\).*/\1$com/I" "$ini"
else
    printf '[language]\ncomPort=%s\n' "$com" >>"$ini"
fi

if [ -n "${DISPLAY:-}" ]; then
    echo "Opening KelvraSet on COM$com; close it to end the simulated radio."
    "$kelvraset" &
    app_pid=$!
    wait "$app_pid" || true
    app_pid=""
    exit 0
fi

if ! start_xvfb 1280x1024; then
    echo "run.sh: Xvfb did not start" >&2
    exit 1
fi

mkdir -p screenshots

app_gone() { ! kill -0 "$app_pid" 2>/dev/null; }

# Starts KelvraSet with the given LANG, presses Alt+R, waits for the
# message box and saves the screen to $2.
read_and_shoot() {
    local lang=$1 shot=$2
    local ends_before
    ends_before=$(grep -c ' <- end ' "$sim_log" || true)

    env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG="$lang" "$kelvraset" &
    app_pid=$!
    if ! wait_for 100 windows_at_least 1; then
        echo "run.sh: the KelvraSet window did not appear" >&2
        exit 1
    fi
    local window
    window=$(xdotool search --onlyvisible --name '^KelvraSet$' | head -n 1)
    xdotool windowfocus --sync "$window"
    xdotool key --clearmodifiers alt+r

    # The read ends in a message box, a second window titled KelvraSet.
    if ! wait_for 150 windows_at_least 2; then
        echo "run.sh: no message box after the read" >&2
        exit 1
    fi
    local ends_after
    ends_after=$(grep -c ' <- end ' "$sim_log" || true)
    if [ "$ends_after" -le "$ends_before" ]; then
        echo "run.sh: the read did not reach its end (see $sim_log)" >&2
        exit 1
    fi
    sleep 0.5 # let the box finish painting
    import -window root "$shot"
    echo "Read Complete! (LANG=$lang); screenshot: $PWD/$shot"

    xdotool key --clearmodifiers Return
    wait_for 30 windows_at_most 1 || true
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    xdotool key --clearmodifiers alt+x
    if ! wait_for 50 app_gone; then
        kill "$app_pid" 2>/dev/null || true
    fi
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
}

read_and_shoot en_US.UTF-8 screenshots/kelvraset-after-read.png
read_and_shoot zh_CN.UTF-8 screenshots/kelvraset-after-read-zh.png
