#!/usr/bin/env bash
# The report command on table files and on the database server, with the same seeded data: text,
# CSV and JSON must be byte for byte the same. Connections that fail name their cause and never
# show the password.
#   report_backends_test.sh REPORT_BINARY DEMODB_BINARY   (GS_TEST_PG: the test cluster's URI)
set -u
report="$1"
demodb="$2"
uri="${GS_TEST_PG:?GS_TEST_PG: no test cluster}"
host="${uri#*host=}"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# The test cluster's database, in a schema of this run.
schema="report_$$"
psql -q "$uri" -c "CREATE SCHEMA $schema" >/dev/null || { echo "test cluster not reachable"; exit 1; }
trap 'psql -q "$uri" -c "DROP SCHEMA $schema CASCADE" >/dev/null 2>&1; rm -rf "$tmp"' EXIT
server="$uri&options=-csearch_path%3D$schema"

"$demodb" --dir "$tmp/db" --documents 1500 --seed 7 --years 2024-2025 2>/dev/null || { echo "demo directory failed"; exit 1; }
"$demodb" --pg "$server" --documents 1500 --seed 7 --years 2024-2025 2>"$tmp/demo.err" \
  || { echo "demo server database failed: $(cat "$tmp/demo.err")"; exit 1; }
"$demodb" --pg "$server" --documents 10 2>"$tmp/demo.err" && fail "demo: a filled database must need --force"
grep -q "Mit --force" "$tmp/demo.err" || fail "demo: no hint at --force: $(cat "$tmp/demo.err")"

for args in "--year 2024" "--year 2025 --period 2" "--year 2024 --period März"; do
  for format in text csv json; do
    # shellcheck disable=SC2086
    "$report" "$tmp/db" --server local $args --format $format >"$tmp/files.out" 2>"$tmp/files.err" \
      || fail "files $args $format: $(cat "$tmp/files.err")"
    # shellcheck disable=SC2086
    "$report" "$server" --server remote $args --format $format >"$tmp/server.out" 2>"$tmp/server.err" \
      || fail "server $args $format: $(cat "$tmp/server.err")"
    [ -s "$tmp/files.out" ] || fail "files $args $format: no output"
    cmp -s "$tmp/files.out" "$tmp/server.out" || fail "$args $format: the backends differ"
  done
done

# A workstation whose role may only read the host's tables gets the same report: the run writes
# nothing on the server (no table, index or setting of the database).
reader="reader_$$"
trap 'psql -q "$uri" -c "DROP SCHEMA $schema CASCADE" -c "DROP ROLE IF EXISTS $reader" >/dev/null 2>&1; rm -rf "$tmp"' EXIT
psql -q "$uri" -c "CREATE ROLE $reader LOGIN" -c "GRANT USAGE ON SCHEMA $schema TO $reader" \
  -c "GRANT SELECT ON ALL TABLES IN SCHEMA $schema TO $reader" >/dev/null || fail "reading role not created"
"$report" "postgresql://$reader@/gs?host=$host&options=-csearch_path%3D$schema" --server remote --year 2024 \
  --format json >"$tmp/reader.out" 2>"$tmp/reader.err" || fail "reading role: $(cat "$tmp/reader.err")"
"$report" "$tmp/db" --server local --year 2024 --format json >"$tmp/files.out" 2>/dev/null
cmp -s "$tmp/files.out" "$tmp/reader.out" || fail "reading role: the report differs"

# Failing connections: the start-up message with its cause, the password never shown.
check_failure() { # what, connection, expected part of the cause
  "$report" "$2" --server remote --year 2024 >"$tmp/out" 2>"$tmp/err" && fail "$1: should fail"
  grep -q "Verbindung nicht möglich\|Tabelle nicht gefunden" "$tmp/err" || fail "$1: no start-up message: $(cat "$tmp/err")"
  grep -q -- "$3" "$tmp/err" || fail "$1: cause \"$3\" missing: $(cat "$tmp/err")"
  if grep -q "geheim" "$tmp/out" "$tmp/err"; then fail "$1: the password is shown"; fi
}
check_failure "server down" "postgresql://gs:geheim@/gs?host=$tmp/nothere" "No such file"
check_failure "wrong password" "postgresql://gs_pw:geheim@/gs?host=$host" "password authentication failed"
check_failure "wrong password (keywords)" "host=$host user=gs_pw password='ge heim' dbname=gs" "password authentication failed"
check_failure "missing table" "postgresql://gs:geheim@/gs?host=$host&options=-csearch_path%3Dnone" "Auftraege.ADT"

[ $failures -eq 0 ] && echo "report on both backends: all checks passed"
exit $((failures > 0))
