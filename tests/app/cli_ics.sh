#!/usr/bin/env bash
# quillory2 --export-ics and --import-ics: out of one home and into an empty one gives the same
# reminders.dat; the Planner's days go along when asked; a bad file fails naming its line and writes nothing; with a copy running, the import
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

# The Planner's days from a chosen day on go with the reminders, as events of their slot's length.
mkdir -p "$work/a/.local/share/Quillory2/PlanData"
{ printf '1\r\n'; for slot in $(seq 0 47); do [ "$slot" = 18 ] && printf '0Dentist\r\n' || printf '0\r\n'; done; } \
    > "$work/a/.local/share/Quillory2/PlanData/20991201"
run a "$program" --export-ics "$work/plans.ics" --plans-from 2099-12-01 | grep -q "1 plan" || fail "no plan exported"
for line in DTSTART:20991201T090000 DTEND:20991201T093000 SUMMARY:Dentist UID:plan-20991201-0900@quillory2; do
    tr -d '\r' < "$work/plans.ics" | grep -qx "$line" || fail "the plan's event lacks $line"
done
run a "$program" --export-ics "$work/later.ics" --plans-from 2099-12-02 >/dev/null
grep -q Dentist "$work/later.ics" && fail "a plan before the chosen day was exported"
run a "$program" --export-ics "$work/x.ics" --plans-from 31.12.2099 2>&1 | grep -q "is no date" || fail "a bad date taken"

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
