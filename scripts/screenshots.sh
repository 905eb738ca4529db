#!/usr/bin/env bash
# Screenshots of KelvraSet on a virtual 1366x768 screen, at the scale factors
# of a laptop's display settings (1, 1.5 and 2) and in English and Chinese:
# the window as it opens, the window after Tab has taken the focus to the
# last dealer field (which must then be in view), and, in Chinese, the
# message box of a read on the first port, whose buttons must be Chinese.
# Then, at scale 1 in both languages, a slow simulated radio: a read in
# progress (its status line under the buttons, with a block sent again) and a
# write in progress (Read and Write greyed). Then, at scale 1 in both
# languages, the question of a write before any read. Then the history window over
# nine entries made on a simulated radio (reads, a write, a write of values
# the history put back, a failure), the restored write selected: at scale 2
# eight entries and the differences must show. Last, the station window over
# four simulated radios, at scale 1 and 2 in both languages: as it opens,
# while it runs (a pass, a failure, a write under way, a port that waits) and
# once stopped, with its count and run report.
#   scripts/screenshots.sh [build folder] [history|station]   (default: build, built here in
#       Release; history or station: the history window's or the station window's shots alone)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/virtualscreen.sh

build=${1:-build}
only=${2:-}
if [ -z "${1:-}" ]; then
    scripts/deps.sh
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
    cmake --build "$build" --target kelvraset radio-sim -j "$(nproc 2>/dev/null || echo 2)"
fi
kelvraset=$PWD/$build/src/app/KelvraSet
radio_sim=$PWD/$build/tools/radio-sim/kelvraset-radio-sim
shots=$PWD/screenshots
mkdir -p "$shots"

# The simulated radio's port alias, settings and history stay out of the user's folders.
private=$(mktemp -d)

xvfb_pid=""
app_pid=""
sim_pid=""
history_copy=""
station=""
sim_pids=()
cleanup() {
    stop_started "$app_pid" "$sim_pid" "${sim_pids[@]}" "$xvfb_pid"
    rm -rf "$private"
    [ -z "$history_copy" ] || rm -rf "$history_copy"
    [ -z "$station" ] || rm -rf "$station"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if ! start_xvfb 1366x768; then
    echo "screenshots.sh: Xvfb did not start" >&2
    exit 1
fi

app_gone() { ! kill -0 "$app_pid" 2>/dev/null; }

shoot() {
    sleep "${2:-0.5}" # let the window finish painting
    import -window root "$shots/$1.png"
    echo "$shots/$1.png"
}

# starts KelvraSet with the environment settings given, waits for its window
# and focuses it; sets app_pid and window
open_window() {
    env -u LC_ALL -u LC_MESSAGES -u LANGUAGE "$@" "$kelvraset" &
    app_pid=$!
    if ! wait_for 100 windows_at_least 1; then
        echo "screenshots.sh: the KelvraSet window did not appear" >&2
        exit 1
    fi
    window=$(xdotool search --onlyvisible --name '^KelvraSet$' | head -n 1)
    xdotool windowfocus --sync "$window"
}

# The station window, in a portable copy of its own with four simulated
# radios: COM21 passes, COM22 keeps storing block 3 wrongly and fails, COM23
# answers every write block a quarter of a second late, COM24 has no radio.
station_shots() {
    station=$(mktemp -d)
    cp "$kelvraset" "$station/"
    printf '{"model": "KR350UV", "dealerCode": "D-0042", "stockDate": "today", "seller": "Line 3",\n' >"$station/job.json"
    printf ' "dateFormat": "yyyy-MM-dd"}\n' >>"$station/job.json"
    start_radios() {
        local n i faults
        for n in 21 22 23 24; do
            case $n in
            22) faults=(--fault misstore:writeblock@3:always) ;;
            23) faults=(--fault delay:writeblock:always:250) ;;
            24) faults=(--silent) ;;
            *) faults=() ;;
            esac
            "$radio_sim" --demo --alias-dir "$station/ports" --com "$n" "${faults[@]}" >"$station/sim$n.log" 2>&1 &
            sim_pids+=($!)
            wait_for 50 test -L "$station/ports/COM$n"
            # Each radio its own serial number, as the next units off the line.
            for ((i = 21; i < n; i++)); do
                kill -USR1 "${sim_pids[-1]}"
                sleep 0.1
            done
        done
    }
    # the simulated radio on COM$2 has received at least $3 requests of kind $1
    station_got() { [ "$(grep -c "<- $1 " "$station/sim$2.log")" -ge "$3" ]; }
    for scale in 1 2; do
        for lang in en_US zh_CN; do
            name=kelvraset-station-${lang%%_*}-x$scale
            start_radios
            env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG="$lang.UTF-8" QT_SCALE_FACTOR="$scale" "$station/KelvraSet" \
                station --window --job "$station/job.json" --port COM21 --port COM22 --port COM23 --port COM24 &
            app_pid=$!
            wait_for 100 windows_named 'KelvraSet' 1
            window=$(xdotool search --onlyvisible --name 'KelvraSet' | head -n 1)
            xdotool windowfocus --sync "$window"
            shoot "$name"
            xdotool key --clearmodifiers alt+s
            wait_for 200 station_got writeblock 23 3 && shoot "$name-running" 0.05
            # COM23's radio done, then Stop: the count and where the report went.
            wait_for 100 station_got end 23 2
            sleep 1
            xdotool key --clearmodifiers alt+s
            shoot "$name-stopped" 1
            stop_started "$app_pid"
            app_pid=""
            stop_started "${sim_pids[@]}"
            sim_pids=()
        done
    done
}
if [ "$only" = station ]; then
    station_shots
    exit 0
fi

for scale in 1 1.5 2; do
    [ "$only" != history ] || break
    for lang in en_US zh_CN; do
        name=kelvraset-${lang%%_*}-x$scale
        open_window LANG="$lang.UTF-8" QT_SCALE_FACTOR="$scale"
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

# requests of kind $1 the simulated radio has received: at least $2
received_at_least() { [ "$(grep -c "<- $1 " "$private/sim.log")" -ge "$2" ]; }

# shoots $1 once the simulated radio has received $3 requests of kind $2
shoot_when() {
    if wait_for 200 received_at_least "$2" "$3"; then
        shoot "$1" 0.05
    else
        echo "screenshots.sh: no $1, the radio got fewer than $3 $2 requests" >&2
    fi
}

# answers the message box that ends an operation
answer_box() {
    wait_for 200 windows_at_least 2 && xdotool key --clearmodifiers Return
    wait_for 30 windows_at_most 1 || true
}

# Each block request is answered a quarter of a second late, within the
# program's 300 ms wait, and the third read block only to its third request:
# each step stays on the screen long enough to be seen.
for lang in en_US zh_CN; do
    [ "$only" != history ] || break
    name=kelvraset-${lang%%_*}-x1
    mkdir -p "$private/config/KelvraSet"
    printf '[language]\ncomPort=9\n' >"$private/config/KelvraSet/mysetup.ini"
    "$radio_sim" --demo --alias-dir "$private/config/KelvraSet/ports" --com 9 --fault ignore:readblock@2:2 \
        --fault delay:readblock:always:250 --fault delay:writeblock:always:250 >"$private/sim.log" 2>&1 &
    sim_pid=$!
    if ! wait_for 50 test -L "$private/config/KelvraSet/ports/COM9"; then
        echo "screenshots.sh: the simulated radio did not start" >&2
        exit 1
    fi
    open_window LANG="$lang.UTF-8" QT_SCALE_FACTOR=1 XDG_CONFIG_HOME="$private/config" XDG_DATA_HOME="$private/data"

    # The fourth read request is block 3's second copy: "sent again: 1".
    xdotool key --clearmodifiers alt+r
    shoot_when "$name-reading" readblock 4
    answer_box
    xdotool windowfocus --sync "$window"

    # Five blocks are read first, then the third write block goes out.
    xdotool key --clearmodifiers alt+w
    shoot_when "$name-writing" writeblock 3
    answer_box

    stop_started "$app_pid" "$sim_pid"
    app_pid=""
    sim_pid=""
done

# A portable copy keeps its history beside itself, away from the user's.
history_copy=$(mktemp -d)
cp "$kelvraset" "$history_copy/"
printf '[language]\ncomPort=9\n' >"$history_copy/mysetup.ini"
"$radio_sim" --demo --alias-dir "$history_copy/ports" --com 9 >"$history_copy/sim.log" 2>&1 &
sim_pid=$!
wait_for 50 test -L "$history_copy/ports/COM9"

# starts the copy with LANG $1 at scale $2 and sets app_pid and window
start_copy() {
    env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG="$1.UTF-8" QT_SCALE_FACTOR="$2" "$history_copy/KelvraSet" &
    app_pid=$!
    wait_for 100 windows_at_least 1
    window=$(xdotool search --onlyvisible --name '^KelvraSet$' | head -n 1)
    xdotool windowfocus --sync "$window"
}
stop_copy() {
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
}
# presses keys $@ in the main window
to_main() {
    xdotool windowraise "$window"
    xdotool windowfocus --sync "$window"
    xdotool key --clearmodifiers "$@"
}
# the same, then answers the box or boxes that follow with Return
press() {
    to_main "$@"
    wait_for 150 windows_at_least 2
    sleep 0.3
    while windows_at_least 2; do
        xdotool key --clearmodifiers Return
        sleep 0.3
    done
}

# A write before any read asks first, naming the radio and what would change;
# answered No (the default), then the "Write Failure!" that follows.
for lang in en_US zh_CN; do
    [ "$only" != history ] || break
    start_copy "$lang" 1
    to_main alt+w
    if wait_for 150 windows_at_least 2; then
        shoot "kelvraset-${lang%%_*}-x1-ask"
    fi
    while windows_at_least 2; do
        xdotool key --clearmodifiers Return
        sleep 0.3
    done
    stop_copy
done

# The entries, made at scale 1 where the designed positions are pixels:
# the dealer code field at (291, 410), the model box at (200, 147) and its
# second model at (170, 169) from the window's corner.
start_copy en_US 1
for read in 1 2 3 4 5 6; do
    press alt+r
done
xdotool mousemove --window "$window" 291 410 click 1 key --clearmodifiers ctrl+a type "D-0042"
press alt+w
to_main alt+h
wait_for 50 xdotool search --onlyvisible --name '^History'
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name '^History' | head -n 1)"
xdotool key --clearmodifiers alt+p
press alt+w
xdotool windowraise "$window"
xdotool mousemove --window "$window" 200 147 click 1
sleep 0.3
xdotool mousemove --window "$window" 170 169 click 1
press alt+w
stop_copy

for scale in 1 2; do
    for lang in en_US zh_CN; do
        start_copy "$lang" "$scale"
        to_main alt+h
        wait_for 50 windows_named ' - KelvraSet$' 1
        xdotool windowfocus --sync "$(xdotool search --onlyvisible --name ' - KelvraSet$' | head -n 1)"
        xdotool key --clearmodifiers Down # the restored write, below the failure
        shoot "kelvraset-${lang%%_*}-x$scale-history"
        stop_copy
    done
done

[ "$only" = history ] || station_shots
