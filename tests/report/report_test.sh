#!/usr/bin/env bash
# End-to-end checks of the report command on a small generated database:
#   report_test.sh REPORT_BINARY DEMODB_BINARY
set -u
report="$1"
demodb="$2"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$demodb" --dir "$tmp/db" --documents 600 --seed 3 --years 2024-2025 2>/dev/null || { echo "demo database failed"; exit 1; }

# Text: the table, the month table and the totals line; exit 0.
out=$("$report" "$tmp/db" --year 2024 2>"$tmp/err"); rc=$?
[ $rc -eq 0 ] || fail "text run exit $rc: $(cat "$tmp/err")"
grep -q "^Bereich: 01.01.2024-31.12.2024" <<<"$out" || fail "text: range line missing"
grep -qP "^Netto: .*\t\tProvision: .*\t\tGewinn: " <<<"$out" || fail "text: totals line missing"
[ "$(grep -c '^[0-9][0-9]\.2024 ' <<<"$out")" -eq 12 ] || fail "text: twelve month rows expected"

# JSON and CSV describe the same documents.
json=$("$report" "$tmp/db" --year 2024 --period "März" --format json); rc=$?
[ $rc -eq 0 ] || fail "json exit $rc"
grep -q '"range": "Bereich: 01.03.2024-31.03.2024"' <<<"$json" || fail "json: range of March"
grep -q '"error": null' <<<"$json" || fail "json: error should be null"
docs=$(grep -c '"ID_ORDER": ' <<<"$json")
[ "$docs" -gt 0 ] || fail "json: no documents in March"
"$report" "$tmp/db" --year 2024 --period 7 --format csv >"$tmp/march.csv" || fail "csv exit"
head -1 "$tmp/march.csv" | grep -q '^"Auftrag";"Adresse";"Datum";" Warnung";"Nettowert";"Gewinn";"Provsion"'$'\r''$' \
  || fail "csv: header line"
[ $(($(wc -l <"$tmp/march.csv") - 1)) -eq "$docs" ] || fail "csv and json disagree on the number of documents"
if grep -q $'\xC3' "$tmp/march.csv"; then fail "csv is not Windows-1252"; fi

# Start-up failures: message on standard error, non-zero exit.
"$report" "$tmp/nowhere" --year 2024 >/dev/null 2>"$tmp/err"; rc=$?
[ $rc -eq 3 ] || fail "missing database: exit $rc"
grep -q "Das Programm kann nur von Kvelt aus gestartet werden" "$tmp/err" || fail "missing database: message"
grep -q "Datenbankverzeichnis nicht gefunden" "$tmp/err" || fail "missing database: cause"
mkdir "$tmp/bad" && cp "$tmp/db/setup.ADT" "$tmp/bad/" && head -c 8192 /dev/zero | tr '\0' 'x' >"$tmp/bad/Auftraege.ADT"
"$report" "$tmp/bad" --year 2024 >/dev/null 2>"$tmp/err"; rc=$?
[ $rc -eq 3 ] || fail "garbage table: exit $rc"
grep -q "^Möglicher Fehler:" "$tmp/err" && grep -q "file is not a database (Tabelle Auftraege.ADT)" "$tmp/err" \
  || fail "garbage table: cause line: $(cat "$tmp/err")"

# A bad option gives the usage text.
"$report" "$tmp/db" --year 2024 --period 17 >/dev/null 2>"$tmp/err"; rc=$?
[ $rc -eq 2 ] || fail "bad period: exit $rc"
grep -q "^Aufruf: " "$tmp/err" || fail "bad period: usage text"

# A failed run prints what it has, with the error, and exits non-zero.
sqlite3 "$tmp/db/Auftraege.ADT" "UPDATE Auftraege SET ZZD='kaputt' WHERE ID = (SELECT ID FROM Auftraege WHERE POT=1 AND STATUS=4 AND DATE BETWEEN '2025-01-01' AND '2025-12-31' ORDER BY DATE LIMIT 1)"
json=$("$report" "$tmp/db" --year 2025 --format json 2>"$tmp/err"); rc=$?
[ $rc -eq 1 ] || fail "failed run: exit $rc"
grep -q '"error": "Auftrag kann nicht geladen werden.\\nMöglicher Fehler:\\nAuftrag [0-9]*: .*Spalte ZZD' <<<"$json" \
  || fail "failed run: error in json names the document and the column"
grep -q '"Summen": ""' <<<"$json" || fail "failed run: no totals line"

# Reading never writes the host's files: same result, same bytes, no side file left.
state() { (cd "$1" && find . -printf '%p %s %m %u\n' | sort && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
base=$("$report" "$tmp/db" --year 2024 --format json)
cp -a "$tmp/db" "$tmp/journal" # a rollback journal, and an index tag without its SQL index
sqlite3 "$tmp/journal/Auftraege.ADT" "PRAGMA journal_mode=DELETE; DROP INDEX ads_idx_date;" >/dev/null
sqlite3 "$tmp/journal/setup.ADT" "PRAGMA journal_mode=DELETE;" >/dev/null
before=$(state "$tmp/journal")
out=$("$report" "$tmp/journal" --year 2024 --format json 2>"$tmp/err") || fail "journal: exit $?: $(cat "$tmp/err")"
[ "$out" = "$base" ] || fail "journal: another result than on the original"
[ "$(state "$tmp/journal")" = "$before" ] || fail "journal: the host's files changed"
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
  as() { local user=$1; shift; setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups "$@"; }
  chmod 0755 "$tmp"
  # A read-only database directory in WAL mode, read by a user who may not write anything there.
  cp -a "$tmp/db" "$tmp/ro" && chmod 0444 "$tmp/ro"/* && chmod 0555 "$tmp/ro"
  before=$(state "$tmp/ro")
  out=$(as nobody "$report" "$tmp/ro" --year 2024 --format json 2>"$tmp/err") || fail "read-only: exit $?: $(cat "$tmp/err")"
  [ "$out" = "$base" ] || fail "read-only: another result than on the original"
  [ "$(state "$tmp/ro")" = "$before" ] || fail "read-only: files changed"
  # Another user's run in a directory everyone may write leaves nothing; the owner writes afterwards.
  cp -a "$tmp/db" "$tmp/shared" && chown -R daemon: "$tmp/shared" && chmod 0644 "$tmp/shared"/* && chmod 0777 "$tmp/shared"
  before=$(state "$tmp/shared")
  out=$(as nobody "$report" "$tmp/shared" --year 2024 --format json 2>"$tmp/err") || fail "other user: exit $?: $(cat "$tmp/err")"
  [ "$out" = "$base" ] || fail "other user: another result than on the original"
  [ "$(state "$tmp/shared")" = "$before" ] || fail "other user: files changed or left behind"
  # While the owner has the file open (its -shm exists), another user's run reads through it and adds nothing.
  mkfifo "$tmp/hold"
  as daemon sqlite3 "$tmp/shared/Auftraege.ADT" <"$tmp/hold" >/dev/null &
  holder=$!
  exec 7>"$tmp/hold"
  echo "SELECT count(*) FROM Auftraege;" >&7
  for _ in $(seq 50); do [ -e "$tmp/shared/Auftraege.ADT-shm" ] && break; sleep 0.1; done
  during=$(cd "$tmp/shared" && find . -printf '%p %u\n' | sort)
  out=$(as nobody "$report" "$tmp/shared" --year 2024 --format json 2>"$tmp/err") || fail "owner open: exit $?: $(cat "$tmp/err")"
  [ "$out" = "$base" ] || fail "owner open: another result than on the original"
  [ "$(cd "$tmp/shared" && find . -printf '%p %u\n' | sort)" = "$during" ] || fail "owner open: a file was added"
  exec 7>&-
  wait $holder
  [ "$(state "$tmp/shared")" = "$before" ] || fail "owner open: files left after the owner closed"
  as daemon sqlite3 "$tmp/shared/Auftraege.ADT" "UPDATE Auftraege SET KNR = KNR WHERE ID = 1" 2>"$tmp/err" \
    || fail "the owner cannot write after another user's run: $(cat "$tmp/err")"
  # Permission denied names what cannot be read.
  cp -a "$tmp/db" "$tmp/closed" && chmod 0700 "$tmp/closed"
  as nobody "$report" "$tmp/closed" --year 2024 >/dev/null 2>"$tmp/err"; rc=$?
  [ $rc -eq 3 ] && grep -q "Datenbankverzeichnis kann nicht gelesen werden" "$tmp/err" \
    || fail "closed directory: exit $rc: $(cat "$tmp/err")"
  chmod 0755 "$tmp/closed" && chmod 0600 "$tmp/closed/Auftraege.ADT"
  as nobody "$report" "$tmp/closed" --year 2024 >/dev/null 2>"$tmp/err"; rc=$?
  [ $rc -eq 3 ] && grep -q "(Tabelle Auftraege.ADT)" "$tmp/err" || fail "closed table: exit $rc: $(cat "$tmp/err")"
else
  echo "read-only and other-user checks skipped (need root and setpriv)"
fi

[ $failures -eq 0 ] && echo "report command: all checks passed"
exit $failures
