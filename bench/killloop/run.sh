#!/usr/bin/env bash
# Kills each store of the program with SIGKILL during its saves, KILLS times a store (default 1000),
# and after each kill runs the start-up clean-up and checks the store's file: torn files (not exactly
# what one save wrote) and temporary files the clean-up left behind are counted.
# Usage: bench/killloop/run.sh [BUILD_DIR] [KILLS] [STORE...]
# Stores: reminders planday clip todo draft recovery settings (all when none is named).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build}
kills=${2:-1000}
shift $(($# < 2 ? $# : 2))
stores=("$@")
[ ${#stores[@]} -gt 0 ] || stores=(reminders planday clip todo draft recovery settings)
"$top/scripts/install-deps" --bench >/dev/null
cmake -S "$top" -B "$build" -DQY2_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" --target qy2-saveloop >/dev/null
saver="$build/bench/killloop/qy2-saveloop"
failed=0
for store in "${stores[@]}"; do
    folder=$(mktemp -d)
    # The desktop trash of a replaced clip stays inside the loop's folder.
    export XDG_DATA_HOME="$folder/share"
    "$saver" --seed "$store" "$folder"
    torn=0
    removed=0
    left=0
    for ((i = 1; i <= kills; i++)); do
        "$saver" "$store" "$folder" &
        pid=$!
        sleep "0.0$((RANDOM % 50 + 10))"
        kill -9 "$pid"
        wait "$pid" 2>/dev/null || true
        verdict=$("$saver" --check "$store" "$folder" || true)
        [[ $verdict == whole* ]] || torn=$((torn + 1))
        read -r _ _ r _ l <<<"$verdict"
        removed=$((removed + r))
        left=$((left + l))
    done
    echo "$store: kills: $kills  torn files: $torn  temporary files removed at the next start: $removed, left: $left"
    [ "$torn" -eq 0 ] && [ "$left" -eq 0 ] || failed=1
    rm -rf "$folder"
done
exit "$failed"
