#!/usr/bin/env bash
# The README's run command, as a new user runs it: twice in a row, and once more while an output
# processor of the demo installation runs (its program file is in use then). Without a display the
# command prints the current year's report; each run must end well.
#   demo_command_test.sh SOURCE_DIR
set -u
src="$1"
tmp=$(mktemp -d)
proc=""
cleanup() {
  [ -n "$proc" ] && kill "$proc" 2>/dev/null && wait "$proc" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
run_demo() {
  env -u DISPLAY -u WAYLAND_DISPLAY GS_DEMO_DIR="$tmp/demo" GS_DEMO_DOCUMENTS=2000 GS_DEMO_BUILT=1 \
    bash "$src/scripts/run-demo.sh" >"$tmp/out" 2>"$tmp/err"
}
cd "$src" || exit 1
run_demo || fail "first run: $(cat "$tmp/err")"
grep -q "^Bereich: 01.01.$(date +%Y)-31.12.$(date +%Y)" "$tmp/out" || fail "first run: no report of the year"
run_demo || fail "second run: $(cat "$tmp/err")"
for p in gewinnstatistik gewinnstatistik-report gewinnstatistik-pdfproc gewinnstatistik-printproc; do
  [ -x "$tmp/demo/$p" ] || fail "$p is missing in the demo installation"
done
grep -q "^BackupDir=$tmp/demo/PDF/"$'\r'"$" "$tmp/demo/TOVIK.INI" || fail "the demo names no PDF folder of its own"
# A processor of the installation runs: its file is busy.
QT_QPA_PLATFORM=offscreen "$tmp/demo/gewinnstatistik-pdfproc" >/dev/null 2>&1 &
proc=$!
sleep 0.5
kill -0 "$proc" 2>/dev/null || fail "the processor did not stay running"
run_demo || fail "run beside a processor: $(cat "$tmp/err")"
grep -q "Text file busy" "$tmp/err" && fail "a busy program file stopped the command"
[ $failures -eq 0 ] && echo "demo command: all checks passed"
[ $failures -eq 0 ]
