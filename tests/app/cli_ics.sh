#!/usr/bin/env bash
# quillory2 --export-ics and --import-ics: out of one home and into an empty one gives the same
# reminders.dat; a bad file fails naming its line and writes nothing; with a copy running, the import
# is handed to it and lands in its list.
set -u
program=$1
work=$(mktemp -d)
copy=""
trap '[ -n "$copy" ] && kill "$copy" 2>/dev/null; wait; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
home() { mkdir -p "$work/$1/run" "$work/$1/.local/share/Quillory2"; chmod 700 "$work/$1/run"; }
run() { local h=$1; shift; HOME="$work/$h" XDG_RUNTIME_DIR="$work/$h/run" QT_QPA_PLATFORM=offscreen timeout 60 "$@"; }
data() { echo "$work/$1/.local/share/Quillory2/reminders.dat"; }

home a; home b; home c
printf '209912010930001Once\r\n209912010930023Weekly\r\n209912060930050Fortnightly\r\n' > "$(data a)"
run a "$program" --export-ics "$work/out.ics" | grep -q "Exported 3 reminder" || fail "export"
run b "$program" --import-ics "$work/out.ics" | grep -q "Imported 3 reminder" || fail "import"
cmp -s "$(data a)" "$(data b)" || fail "the round trip changed reminders.dat"

printf 'BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:soon\r\n' > "$work/bad.ics"
out=$(run c "$program" --import-ics "$work/bad.ics" 2>&1) && fail "a bad file was taken"
echo "$out" | grep -q "Line 3:" || fail "the bad line is not named: $out"
[ -e "$(data c)" ] || [ -e "$work/c/.local/share/Quillory2/icsimported.dat" ] && fail "a bad file wrote"

# The copy itself is the background job (not a shell around it), so that the trap ends it; its output
# goes to a file, so that it holds no pipe of the test runner's open.
HOME="$work/c" XDG_RUNTIME_DIR="$work/c/run" QT_QPA_PLATFORM=offscreen "$program" >"$work/copy.log" 2>&1 &
copy=$!
for _ in $(seq 100); do [ -p "$work/c/run/quillory2.pipe" ] && break; sleep 0.1; done
[ -p "$work/c/run/quillory2.pipe" ] || fail "the copy did not start"
run c "$program" --import-ics "$work/out.ics" | grep -q "running copy" || fail "not handed to the running copy"
for _ in $(seq 100); do cmp -s "$(data a)" "$(data c)" && break; sleep 0.1; done
cmp -s "$(data a)" "$(data c)" || fail "the running copy did not import"
echo PASS
