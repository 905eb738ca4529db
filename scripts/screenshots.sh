#!/usr/bin/env bash
# Screenshots of KelvraSet on a virtual 1366x768 screen, at the scale factors
# of a laptop's display settings (1, 1.5 and 2) and in English and Chinese:
# the window as it opens, the window after Tab has taken the focus to the
# last dealer field (which must then be in view), and, in Chinese, the
# message box of a read on the first port, whose buttons must be Chinese.
#   scripts/screenshots.sh [build folder]   (default: build, built here in Release)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/virtualscreen.sh

build=${1:-build}
if [ -z "${1:-}" ]; then
    scripts/deps.sh
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
    cmake --build "$build" --target kelvraset -j "$(nproc 2>/dev/null || echo 2)"
fi
kelvraset=$PWD/$build/src/app/KelvraSet
shots=$PWD/screenshots
mkdir -p "$shots"

xvfb_pid=""
app_pid=""
cleanup() { stop_started "$app_pid" "$xvfb_pid"; }
trap cleanup EXIT
trap 'exit 130' INT TERM

if ! start_xvfb 1366x768; then
    echo "screenshots.sh: Xvfb did not start" >&2
    exit 1
fi

app_gone() { ! kill -0 "$app_pid" 2>/dev/null; }

shoot() {
    sleep 0.5 # let the window finish painting
    import -window root "$shots/$1.png"
    echo "$shots/$1.png"
}

for scale in 1 1.5 2; do
    for lang in en_US zh_CN; do
        name=kelvraset-${lang%%_*}-x$scale
        env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG="$lang.UTF-8" QT_SCALE_FACTOR="$scale" "$kelvraset" &
        app_pid=$!
        if ! wait_for 100 windows_at_least 1; then
            echo "screenshots.sh: the KelvraSet window did not appear" >&2
            exit 1
        fi
        window=$(xdotool search --onlyvisible --name '^KelvraSet$' | head -n 1)
        xdotool windowfocus --sync "$window"
        echo "$name: window at $(xdotool getwindowgeometry "$window" | tr '\n' ' ')"
        shoot "$name"

        # From the model box, nine presses of Tab reach the seller field.
        xdotool key --clearmodifiers --delay 50 Tab Tab Tab Tab Tab Tab Tab Tab Tab
        shoot "$name-seller"

        if [ "$lang" = zh_CN ] && [ "$scale" = 1 ]; then
            xdotool key --clearmodifiers alt+r
            if wait_for 150 windows_at_least 2; then
                shoot "$name-box"
                xdotool key --clearmodifiers Return
            fi
        fi

        kill "$app_pid" 2>/dev/null || true
        wait_for 50 app_gone || kill -9 "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
        app_pid=""
    done
done
