#!/usr/bin/env bash
# Start-up time and idle memory of Quillory2 beside a bare Qt tray program.
# Starts Xvfb, openbox and trayer, then for each program: the median time from exec to its icon
# docked in the tray over 5 runs, and its resident memory (PSS) after 10 s idle.
# Usage: bench/startup/run.sh [build-dir]   (default: build; the program is built there if needed)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

"$top/scripts/install-deps" --bench
cmake --build "$build" --target quillory2 >/dev/null
g++ -O2 -std=c++20 -fPIC "$top/bench/startup/mintray.cpp" -o "$work/mintray" $(pkg-config --cflags --libs Qt6Widgets)

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
export DISPLAY=$display
sleep 1
openbox >/dev/null 2>&1 &
trayer --edge bottom --align right --widthtype request --height 28 >/dev/null 2>&1 &
sleep 1

# A quiet first start: no splash, no toolbar, a home of its own.
export HOME=$work/home XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME/.config/Quillory2" "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
printf '[Settings]\n1901=0\n1902=0\n' >"$HOME/.config/Quillory2/Quillory2.conf"

docked() { # class name: is a window of that class embedded in the tray panel?
    xwininfo -root -tree 2>/dev/null | awk '/"panel": \("panel"/{p=1} p' | grep -q "(\"$1\""
}

time_to_dock() { # program class -> milliseconds from exec to docked icon
    local start end pid
    start=$(date +%s%N)
    "$1" >/dev/null 2>&1 &
    pid=$!
    until docked "$2"; do sleep 0.005; done
    end=$(date +%s%N)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    sleep 0.5
    echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

pss_after_idle() { # program -> kB PSS after 10 s idle
    local pid kb
    "$1" >/dev/null 2>&1 &
    pid=$!
    sleep 10
    kb=$(awk '/^Pss:/{print $2}' /proc/$pid/smaps_rollup)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    sleep 0.5
    echo "$kb"
}

report() { # label program class
    local times t p
    times=$(for _ in 1 2 3 4 5; do time_to_dock "$2" "$3"; done)
    t=$(echo "$times" | median)
    p=$(pss_after_idle "$2")
    printf '%-10s median start-up to docked icon: %5d ms (runs: %s)   PSS after 10 s idle: %6d kB\n' \
        "$1" "$t" "$(echo $times)" "$p"
    eval "${1}_t=$t ${1}_p=$p"
}

report minimal "$work/mintray" mintray
report quillory2 "$build/src/quillory2" quillory2
awk -v t1="$minimal_t" -v t2="$quillory2_t" -v p1="$minimal_p" -v p2="$quillory2_p" \
    'BEGIN {printf "ratio      time %.2f x (goal <= 1.5)   memory %.2f x (goal <= 1.3)\n", t2 / t1, p2 / p1}'
