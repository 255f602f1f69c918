#!/usr/bin/env bash
# Kills the reminder store with SIGKILL during its saves, KILLS times (default 1000), and counts the
# damaged files: a reminders.dat that is missing, empty after the first save, or holds a line that is
# not a whole record. Also counts the save files a kill left behind (the next start removes those).
# Usage: bench/killloop/run.sh [BUILD_DIR] [KILLS]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build}
kills=${2:-1000}
"$top/scripts/install-deps" --bench
cmake -S "$top" -B "$build" -DQY2_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" --target qy2-saveloop >/dev/null
saver="$build/bench/killloop/qy2-saveloop"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
printf '203001010900000Seed\r\n' > "$folder/reminders.dat"
damaged=0
leftovers=0
for ((i = 1; i <= kills; i++)); do
    "$saver" "$folder" &
    pid=$!
    sleep "0.0$((RANDOM % 50 + 10))"
    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true
    file="$folder/reminders.dat"
    if [ ! -s "$file" ] || grep -qvaE $'^[0-9]{12}0[0-7][0-5][^\r]*\r$' "$file"; then
        damaged=$((damaged + 1))
        cp "$file" "$folder/damaged-$i" 2>/dev/null || true
    fi
    stale=$(find "$folder" -maxdepth 1 -name 'reminders.dat.??????' | wc -l)
    leftovers=$((leftovers + stale))
    find "$folder" -maxdepth 1 -name 'reminders.dat.??????' -delete
done
echo "kills: $kills  damaged files: $damaged  save files left behind: $leftovers"
[ "$damaged" -eq 0 ]
