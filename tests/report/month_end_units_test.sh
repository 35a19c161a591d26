#!/usr/bin/env bash
# The scheduled month-end as far as it runs without a service manager: the systemd service's command
# line and the cron line of docs/month-end.md, each run with the built report command on a generated
# database and a fixed day, write the previous month's PDF, workbook and chart picture.
#   month_end_units_test.sh REPORT_BINARY DEMODB_BINARY SOURCE_DIR
set -u
report=$(realpath "$1")
demodb="$2"
src="$3"
service="$src/packaging/systemd/gewinnstatistik-monatsende.service"
timer="$src/packaging/systemd/gewinnstatistik-monatsende.timer"
doc="$src/docs/month-end.md"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# The month-end writes PDFs and chart pictures: a report command built without Qt (the sanitizer
# build) cannot, so the check is skipped there.
if "$report" /nonexistent --year 2024 --pdf /nonexistent/probe.pdf 2>&1 | grep -q "nicht verfügbar"; then
  echo "report command without Qt: month-end skipped"
  exit 77
fi
export QT_QPA_PLATFORM=offscreen

"$demodb" --dir "$tmp/DATEN" --documents 400 --seed 4 --years 2025-2026 2>/dev/null || { echo "demo database failed"; exit 1; }

# Runs a command line as the unit or cron would (words split, no shell), with the installed report
# command replaced by the built one and a fixed day appended.
run_line() { # NAME LINE
  local name="$1" line="$2"
  read -r -a words <<<"$line"
  [ "${words[0]}" = /usr/bin/gewinnstatistik-report ] || fail "$name: runs ${words[0]}"
  words[0]="$report"
  "${words[@]}" --today 2026-01-01 >"$tmp/$name.out" 2>"$tmp/$name.err" || fail "$name: exit $?: $(cat "$tmp/$name.err")"
}
check_folder() { # NAME DIR
  for f in GEWINN-2025-12.pdf GEWINN-2025-12.xlsx GEWINN-2025-12.png; do
    [ -s "$2/$f" ] || fail "$1: $f missing in $(ls "$2" 2>&1)"
  done
  [ "$(ls -A "$2" | wc -l)" -eq 3 ] || fail "$1: other files: $(ls -A "$2")"
}

# The service: ExecStart with the unit's Environment= values put in, as systemd does for ${NAME}.
exec_line=$(sed -n 's/^ExecStart=//p' "$service")
daten="$tmp/DATEN"
ziel="$tmp/service-ziel"
line=${exec_line//'${GS_DATEN}'/$daten}
line=${line//'${GS_ZIEL}'/$ziel}
grep -q '^Environment=GS_DATEN=' "$service" && grep -q '^Environment=GS_ZIEL=' "$service" || fail "service: environment"
run_line service "$line"
check_folder service "$ziel"

# The cron line: the five time fields, then the command; its folders replaced by the test's.
cron=$(sed -n '/<!-- cron -->/{n;p}' "$doc" | sed 's/^ *//')
read -r minute hour day month weekday command <<<"$cron"
[ "$minute $hour $day $month $weekday" = "0 6 1 * *" ] || fail "cron: not on the first of the month: $cron"
command=${command//\/srv\/auftraege\/DATEN/$daten}
command=${command//\/srv\/monatsabschluss/$tmp/cron-ziel}
run_line cron "$command"
check_folder cron "$tmp/cron-ziel"

# A second run of the same month (a catch-up) replaces its files; the month after adds its own.
run_line service "$line"
check_folder service "$ziel"
"$report" "$daten" --period Vormonat --today 2026-02-01 --output "$ziel" --pdf --xlsx --chart 2>/dev/null || fail "February's run"
[ -s "$ziel/GEWINN-2026-01.pdf" ] || fail "the next month's files"

# The page shows the units as they are shipped, and the timer fires on the first of each month.
for unit in "$service" "$timer"; do
  while IFS= read -r l; do
    [ -z "$l" ] || grep -Fxq -- "$l" "$doc" || fail "docs/month-end.md does not show this line of $(basename "$unit"): $l"
  done <"$unit"
done
grep -q '^OnCalendar=\*-\*-01 ' "$timer" || fail "timer: not on the first of the month"
if command -v systemd-analyze >/dev/null; then
  mkdir -p "$tmp/units"
  sed "s|/usr/bin/gewinnstatistik-report|$report|" "$service" >"$tmp/units/gewinnstatistik-monatsende.service"
  cp "$timer" "$tmp/units/"
  systemd-analyze verify --man=no "$tmp/units/gewinnstatistik-monatsende.timer" "$tmp/units/gewinnstatistik-monatsende.service" \
    >"$tmp/verify" 2>&1 || fail "systemd-analyze verify: $(cat "$tmp/verify")"
fi

[ $failures -eq 0 ] && echo "month-end units: all checks passed"
exit $((failures > 0))
