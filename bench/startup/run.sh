#!/usr/bin/env bash
# Start-up time, idle memory and idle wake-ups of Quillory2 beside a bare Qt tray program, in one run
# under Xvfb with openbox and trayer, for two starts:
#   default  the first start a user meets (splash, then the launcher toolbar)
#   quiet    no splash, no toolbar
# For each: the median time from exec to its icon docked in the tray over 5 runs, its PSS after 30 s
# idle, and its wake-ups per minute while idle (returns from the event loop's wait, counted by strace
# over 60 s). Then the time each tool window takes to open (see windowopen.cpp).
# Usage: bench/startup/run.sh [build-dir]   (default: build; configured with -DQY2_BUILD_BENCHMARKS=ON)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

"$top/scripts/install-deps" --bench
cmake -S "$top" -B "$build" -DQY2_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" --target quillory2 qy2-windowopen >/dev/null
g++ -O2 -std=c++20 -fPIC "$top/bench/startup/mintray.cpp" -o "$work/mintray" $(pkg-config --cflags --libs Qt6Widgets)
printf '#!/bin/sh\nexec "%s" --window\n' "$work/mintray" >"$work/mintray-window"
chmod +x "$work/mintray-window"

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
export DISPLAY=$display
sleep 1
openbox >/dev/null 2>&1 &
trayer --edge bottom --align right --widthtype request --height 28 >/dev/null 2>&1 &
sleep 1

export XDG_RUNTIME_DIR=$work/run XDG_CACHE_HOME=$work/cache # the font cache is shared, as on a desktop
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"

fresh_home() { # mode: a home of its own, as a first start finds it
    export HOME=$work/home-$1-$RANDOM
    mkdir -p "$HOME/.config/Quillory2"
    [ "$1" = quiet ] && printf '[Settings]\n1901=0\n1902=0\n' >"$HOME/.config/Quillory2/Quillory2.conf"
    return 0
}

docked() { # class name: is a window of that class embedded in the tray panel (below it in the tree)?
    xwininfo -root -tree 2>/dev/null | awk '
        p && match($0, /^ */) && RLENGTH <= depth { p = 0 }
        /"panel": \("panel"/ { p = 1; match($0, /^ */); depth = RLENGTH; next }
        p' | grep -q "(\"$1\""
}

time_to_dock() { # mode program class -> milliseconds from exec to docked icon
    local start end pid
    fresh_home "$1"
    start=$(date +%s%N)
    "$2" >/dev/null 2>&1 &
    pid=$!
    until docked "$3"; do sleep 0.005; done
    end=$(date +%s%N)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    sleep 0.5
    echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

idle_figures() { # mode program -> "PSS-kB wakeups-per-minute" after 30 s idle
    local pid kb wakeups
    fresh_home "$1"
    "$2" >/dev/null 2>&1 &
    pid=$!
    sleep 30
    kb=$(awk '/^Pss:/{print $2}' /proc/$pid/smaps_rollup)
    timeout -s INT 60 strace -f -qq -e trace=poll,ppoll,select,pselect6,epoll_wait,epoll_pwait -o "$work/strace" \
        -p "$pid" 2>/dev/null || true
    wakeups=$(grep -c ' = [0-9]' "$work/strace" || true)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    sleep 0.5
    echo "$kb $wakeups"
}

report() { # mode label program class
    local times t idle
    times=$(for _ in 1 2 3 4 5; do time_to_dock "$1" "$3" "$4"; done)
    t=$(echo "$times" | median)
    idle=$(idle_figures "$1" "$3")
    printf '%-8s %-10s docked icon: %5d ms (runs: %s)   PSS after 30 s: %6d kB   wake-ups: %3d a minute\n' \
        "$1" "$2" "$t" "$(echo $times)" ${idle% *} ${idle#* }
    eval "${2}_t=$t ${2}_p=${idle% *} ${2}_w=${idle#* }"
}

ratio() { # mode time-goal memory-goal
    awk -v m="$1" -v t1="$minimal_t" -v t2="$quillory2_t" -v p1="$minimal_p" -v p2="$quillory2_p" \
        -v w1="$minimal_w" -v w2="$quillory2_w" -v tg="$2" -v pg="$3" \
        'BEGIN {printf "%-8s ratio      time %.2f x (goal <= %s)   memory %.2f x (goal <= %s)   wake-ups %d more (goal <= 12)\n",
                m, t2 / t1, tg, p2 / p1, pg, w2 - w1}'
}

# What Qt itself costs a program that shows a small window beside its icon, as the default start does.
window_yardstick() {
    report default withwindow "$work/mintray-window" mintray
    awk -v p1="$minimal_p" -v p2="$withwindow_p" -v p3="$quillory2_p" -v t1="$minimal_t" -v t2="$withwindow_t" \
        'BEGIN {printf "default  a bare tray program with a small window: time %.2f x, memory %.2f x the bare one; Quillory2 is %.2f x its memory\n",
                t2 / t1, p2 / p1, p3 / p2}'
}

for mode in default quiet; do
    report "$mode" minimal "$work/mintray" mintray
    report "$mode" quillory2 "$build/src/quillory2" quillory2
    if [ "$mode" = default ]; then ratio default 1.3 1.25; window_yardstick; else ratio quiet 1.2 1.1; fi
done

open_table() { # [platform] -> per window: median first and second opening over 5 processes
    for _ in 1 2 3 4 5; do
        fresh_home quiet
        QT_QPA_PLATFORM=${1:-xcb} "$build/bench/startup/qy2-windowopen" 2>/dev/null # offscreen: "no raise()"
        QT_QPA_PLATFORM=${1:-xcb} "$build/bench/startup/qy2-windowopen" --marks 2>/dev/null
    done >"$work/open"
    awk '{first[$1] = first[$1] " " $2; second[$1] = second[$1] " " $3}
         END {for (k in first) print k, first[k], "|", second[k]}' "$work/open" | sort | while read -r key rest; do
        printf '  %-12s first %6.1f ms   second %6.1f ms\n' "$key" \
            "$(echo "${rest%|*}" | tr ' ' '\n' | grep . | median)" "$(echo "${rest#*|}" | tr ' ' '\n' | grep . | median)"
    done
}

echo
echo "Opening each tool window (median of 5 processes; the second opening is of the closed window):"
open_table
echo "  offscreen:"
open_table offscreen
