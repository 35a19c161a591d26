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
[ "$(head -2 "$tmp/march.csv")" = '"Gewinne"'$'\r''
"Bereich: 01.03.2024-31.03.2024"'$'\r' ] || fail "csv: title and range lines"
sed -n 3p "$tmp/march.csv" | grep -q '^"Auftrag";"Adresse";"Datum";" Warnung";"Nettowert";"Gewinn";"Provsion"'$'\r''$' \
  || fail "csv: header line"
[ "$(grep -c '^"[0-9]*";' "$tmp/march.csv")" -eq "$docs" ] || fail "csv and json disagree on the number of documents"
sed -n "$((docs + 4))p" "$tmp/march.csv" | grep -q "^\"Summe\";\"$docs Dokumente\";" || fail "csv: totals row"
if grep -q $'\xC3' "$tmp/march.csv"; then fail "csv is not Windows-1252"; fi

# The numbers beside the texts: every document's amounts equal its list texts to the cent, every
# month's exact sums those of its documents, the totals the "Summen" line, and the months add up to
# the totals (not to whole euros).
"$report" "$tmp/db" --year 2024 --format json >"$tmp/year.json" || fail "json of the year"
python3 - "$tmp/year.json" <<'PY' || fail "json numbers disagree with the list"
import json, sys
from decimal import Decimal
data = json.load(open(sys.argv[1], encoding="utf-8"))
def money(text):  # "-1.234,56 €" -> Decimal("-1234.56")
    return Decimal(text.replace(" €", "").replace(".", "").replace(",", "."))
def cents(x):
    return Decimal(str(x)).quantize(Decimal("0.01"))
sums = {}
for d in data["documents"]:
    for key, field in (("net", "WW_NETTO"), ("profit", "GEWINN"), ("commission", "PROVISION")):
        if cents(d[key]) != money(d[field]):
            sys.exit("document %s: %s %s against %s" % (d["ID_ORDER"], key, d[key], d[field]))
    day, month, year = d["DATE"].split(".")
    if d["date"] != "%s-%s-%s" % (year, month, day):
        sys.exit("document %s: date %s against %s" % (d["ID_ORDER"], d["date"], d["DATE"]))
    s = sums.setdefault(d["date"][:7], [Decimal(0)] * 3)
    for i, key in enumerate(("net", "commission", "profit")):
        s[i] += Decimal(str(d[key]))
total = [Decimal(0)] * 3
for m in data["months"]:
    day, month, year = m["DATE"].split(".")
    s = sums.get("%s-%s" % (year, month), [Decimal(0)] * 3)
    for i, key in enumerate(("net", "commission", "profit")):
        if abs(Decimal(str(m[key])) - s[i]) > Decimal("0.011"):
            sys.exit("month %s: %s %s against %s" % (m["DATE"], key, m[key], s[i]))
        total[i] += Decimal(str(m[key]))
t = data["totals"]
if t["documents"] != len(data["documents"]):
    sys.exit("totals: %s documents against %d" % (t["documents"], len(data["documents"])))
parts = dict(p.split(": ") for p in data["Summen"].split("\t\t"))
for i, (key, label) in enumerate((("net", "Netto"), ("commission", "Provision"), ("profit", "Gewinn"))):
    if cents(t[key]) != money(parts[label]):
        sys.exit("totals: %s %s against %s" % (key, t[key], parts[label]))
    if abs(total[i] - Decimal(str(t[key]))) > Decimal("0.13"):
        sys.exit("months add up to %s %s against the total %s" % (key, total[i], t[key]))
PY

# PDF: the March list as the list print draws it, read back with pdftotext.
"$report" "$tmp/db" --year 2024 --period "März" --pdf "$tmp/march.pdf" >"$tmp/out" 2>"$tmp/err"; rc=$?
if [ $rc -eq 2 ] && grep -q "nicht verfügbar" "$tmp/err"; then
  echo "report command: built without the renderer, PDF checks skipped"
else
  [ $rc -eq 0 ] || fail "pdf exit $rc: $(cat "$tmp/err")"
  [ -s "$tmp/out" ] && fail "pdf: nothing should go to standard output"
  pdftext=$(pdftotext -layout "$tmp/march.pdf" - 2>&1) || fail "pdf: unreadable: $pdftext"
  grep -q "Gewinne, erstellt [0-9][0-9]\.[0-9][0-9]\.20[0-9][0-9] " <<<"$pdftext" || fail "pdf: title"
  grep -q "Auftrag .*Adresse .*Datum .*Warnung .*Nettowert .*Gewinn .*Provsion" <<<"$pdftext" || fail "pdf: captions"
  grep -q "Netto: .*Provision: .*Gewinn: " <<<"$pdftext" || fail "pdf: totals line as footer"
  grep -q "Seite 1 von [0-9]" <<<"$pdftext" || fail "pdf: page number"
  # Every document of March, in the list's order.
  expected=$(grep -o '"ID_ORDER": [0-9]*' <<<"$json" | grep -o '[0-9]*$' | tr '\n' ' ')
  found=$(grep -oE '^ *[0-9]{4,} ' <<<"$pdftext" | tr -d ' ' | tr '\n' ' ')
  [ "$found" = "$expected" ] || fail "pdf: document numbers differ from the json list: '$found' vs '$expected'"
  # A folder that cannot be written: exit 1 and the reason, no file.
  "$report" "$tmp/db" --year 2024 --pdf "$tmp/nowhere/x.pdf" >/dev/null 2>"$tmp/err"; rc=$?
  [ $rc -eq 1 ] || fail "pdf to a missing folder: exit $rc"
  grep -q "nowhere/x.pdf" "$tmp/err" || fail "pdf to a missing folder: message names the file"
fi

# Start-up failures: message on standard error, non-zero exit.
"$report" "$tmp/nowhere" --year 2024 >/dev/null 2>"$tmp/err"; rc=$?
[ $rc -eq 3 ] || fail "missing database: exit $rc"
[ "$(cat "$tmp/err")" = "Das Programm kann nur von Kvelt aus gestartet werden
Möglicher Fehler: Verbindung nicht möglich: Datenbankverzeichnis nicht gefunden: $tmp/nowhere" ] \
  || fail "missing database: the host's sentence, then the cause on one line: $(cat "$tmp/err")"
mkdir "$tmp/bad" && cp "$tmp/db/setup.ADT" "$tmp/bad/" && head -c 8192 /dev/zero | tr '\0' 'x' >"$tmp/bad/Auftraege.ADT"
"$report" "$tmp/bad" --year 2024 >/dev/null 2>"$tmp/err"; rc=$?
[ $rc -eq 3 ] || fail "garbage table: exit $rc"
grep -q "^Möglicher Fehler: .*file is not a database (Tabelle Auftraege.ADT)" "$tmp/err" \
  || fail "garbage table: cause line: $(cat "$tmp/err")"

# A bad option gives its cause and one line naming --hilfe; --hilfe (and --help) the usage.
"$report" "$tmp/db" --year 2024 --period 17 >/dev/null 2>"$tmp/err"; rc=$?
[ $rc -eq 2 ] || fail "bad period: exit $rc"
[ "$(cat "$tmp/err")" = "$(basename "$report"): unbekannter Zeitraum: 17
Aufruf und alle Optionen: $(basename "$report") --hilfe" ] || fail "bad period: $(cat "$tmp/err")"
for help in --hilfe --help; do
  "$report" $help >"$tmp/out" 2>&1 || fail "$help: exit $?"
  grep -q "^Aufruf: $(basename "$report") DATENBANK" "$tmp/out" || fail "$help: usage text"
done
if grep -qE "\b(FILE|DIR|YYYY|DBPATH|WxH)\b" "$tmp/out"; then
  fail "usage: placeholders not in German: $(grep -E "\b(FILE|DIR|YYYY|DBPATH|WxH)\b" "$tmp/out")"
fi

# The ends of the calendar: 9999 runs (no documents), 0000 is a command-line error.
"$report" "$tmp/db" --year 9999 >/dev/null 2>"$tmp/err"; rc=$?
[ $rc -eq 0 ] || fail "year 9999: exit $rc: $(cat "$tmp/err")"
"$report" "$tmp/db" --year 0000 >/dev/null 2>"$tmp/err"; rc=$?
[ $rc -eq 2 ] || fail "year 0000: exit $rc"

# Margin and the previous year: the JSON's numbers against the orders table itself. The documents
# of both ranges are those the table selects (invoices and credit notes, paid or completed); the
# net of each document kept in euros is the table's to the cent; the totals are their sums, the
# margin the weighted one, the change the difference of the two years.
"$report" "$tmp/db" --year 2025 --period "1. Quartal" --compare vorjahr --format json >"$tmp/cmp.json" \
  || fail "json with the previous year"
for range in "2025-01-01 2025-03-31 cur" "2024-01-01 2024-03-31 prev"; do
  set -- $range
  sqlite3 -separator ' ' "$tmp/db/Auftraege.ADT" \
    "SELECT ID_ORDER, printf('%.2f', WW_NETTO), DataGrid_DM FROM Auftraege WHERE POT IN (1,5) AND STATUS IN (1,4)
     AND DATE BETWEEN '$1' AND '$2'" >"$tmp/$3.rows"
done
python3 - "$tmp/cmp.json" "$tmp/cur.rows" "$tmp/prev.rows" <<'PY' || fail "margin or previous year disagree with the table"
import json, sys
from decimal import Decimal, ROUND_HALF_UP
data = json.load(open(sys.argv[1], encoding="utf-8"))
def rows(path):
    out = {}
    for line in open(path):
        ident, net, dm = line.split()
        out[int(ident)] = (Decimal(net), dm == "1")
    return out
def r2(x):
    return Decimal(x).quantize(Decimal("0.01"), rounding=ROUND_HALF_UP)
def num(x):
    return None if x is None else Decimal(str(x))
cur, prev = rows(sys.argv[2]), rows(sys.argv[3])
docs = {d["ID_ORDER"]: d for d in data["documents"]}
if set(docs) != set(cur):
    sys.exit("documents differ from the table's selection")
for ident, (net, dm) in cur.items():
    d = docs[ident]
    if not dm and num(d["net"]) != net:
        sys.exit("document %d: net %s, table %s" % (ident, d["net"], net))
    n, p = num(d["net"]), num(d["profit"])
    want = None if n == 0 else r2(p / n * 100)
    if num(d["margin"]) != want:
        sys.exit("document %d: margin %s, expected %s" % (ident, d["margin"], want))
t = data["totals"]
net = sum(num(d["net"]) for d in docs.values())
profit = sum(num(d["profit"]) for d in docs.values())
if t["documents"] != len(cur) or num(t["net"]) != net or num(t["profit"]) != profit:
    sys.exit("totals %s against %d documents, %s, %s" % (t, len(cur), net, profit))
if num(t["margin"]) != r2(profit / net * 100):
    sys.exit("totals margin %s, weighted %s" % (t["margin"], r2(profit / net * 100)))
pv = data["previous"]
if pv["range"] != "Bereich: 01.01.2024-31.03.2024" or pv["totals"]["documents"] != len(prev):
    sys.exit("previous: %s with %d documents, table %d" % (pv["range"], pv["totals"]["documents"], len(prev)))
if not any(dm for _, dm in prev.values()):
    plain = sum(n for n, _ in prev.values())
    if num(pv["totals"]["net"]) != plain:
        sys.exit("previous net %s, table %s" % (pv["totals"]["net"], plain))
if len(pv["months"]) != 3 or sum(num(m["net"]) for m in pv["months"]) != num(pv["totals"]["net"]):
    sys.exit("previous months do not add up to its totals")
c = data["change"]
for key in ("net", "profit", "commission"):
    if num(c[key]) != num(t[key]) - num(pv["totals"][key]):
        sys.exit("change %s: %s" % (key, c[key]))
for key in ("net", "profit"):
    before = num(pv["totals"][key])
    want = None if before == 0 else r2((num(t[key]) - before) / abs(before) * 100)
    if num(c[key + "_percent"]) != want:
        sys.exit("change %s_percent: %s, expected %s" % (key, c[key + "_percent"], want))
if "zum Vorjahr)" not in data["Summen"]:
    sys.exit("the totals line names no change: " + data["Summen"])
PY

# A free range: the days given, one month row per calendar month touched; the same range by --from.
json=$("$report" "$tmp/db" --from 2024-12-20 --to 2025-01-10 --format json) || fail "free range exit $?"
grep -q '"range": "Bereich: 20.12.2024-10.01.2025"' <<<"$json" || fail "free range: range text"
[ "$(grep -c '"DATE": "01\.[0-9][0-9]\.20' <<<"$json")" -eq 2 ] || fail "free range: two month rows expected"
for args in "--from 2025-02-10 --to 2025-02-01" "--from 2025-02-30 --to 2025-03-01" "--from 2025-02-01" \
            "--from 2025-02-01 --to 2025-03-01 --year 2025" "--year 2025 --fiscal-start 13" "--year 2025 --compare jahr"; do
  "$report" "$tmp/db" $args >/dev/null 2>"$tmp/err"; rc=$?
  [ $rc -eq 2 ] || fail "'$args': exit $rc, expected 2"
  [ -s "$tmp/err" ] || fail "'$args': no message"
done
# A fiscal year from April: --year 2024 runs 01.04.2024 to 31.03.2025, its first quarter April to June.
grep -q '^Bereich: 01.04.2024-31.03.2025' <("$report" "$tmp/db" --year 2024 --fiscal-start 4) \
  || fail "fiscal year: range"
grep -q '^Bereich: 01.04.2024-30.06.2024' <("$report" "$tmp/db" --year 2024 --fiscal-start 4 --period "1. Quartal") \
  || fail "fiscal year: first quarter"


# A failed run prints what it has, with the error, and exits non-zero.
sqlite3 "$tmp/db/Auftraege.ADT" "UPDATE Auftraege SET ZZD='kaputt' WHERE ID = (SELECT ID FROM Auftraege WHERE POT=1 AND STATUS=4 AND DATE BETWEEN '2025-01-01' AND '2025-12-31' ORDER BY DATE LIMIT 1)"
json=$("$report" "$tmp/db" --year 2025 --format json 2>"$tmp/err"); rc=$?
[ $rc -eq 1 ] || fail "failed run: exit $rc"
grep -q '"error": "Auftrag kann nicht geladen werden.\\nMöglicher Fehler:\\nAuftrag [0-9]*: .*Spalte ZZD' <<<"$json" \
  || fail "failed run: error in json names the document and the column"
grep -q '"Summen": ""' <<<"$json" || fail "failed run: no totals line"
if [ -f "$tmp/march.pdf" ]; then
  "$report" "$tmp/db" --year 2025 --pdf "$tmp/failed.pdf" >/dev/null 2>"$tmp/err"; rc=$?
  [ $rc -eq 1 ] || fail "failed run with --pdf: exit $rc"
  grep -q "Auftrag kann nicht geladen werden." "$tmp/err" || fail "failed run with --pdf: reason"
  [ -e "$tmp/failed.pdf" ] && fail "failed run with --pdf: no PDF of a half run"
fi

# Spooling: the 2024 list as one job in the spool beside the program (a copy of it in its own folder).
mkdir -p "$tmp/prog" "$tmp/pdf"
spooling="$tmp/prog/$(basename "$report")"
cp "$report" "$spooling"
docs2024=$("$report" "$tmp/db" --year 2024 --format json | grep -c '"ID_ORDER": ')
"$spooling" "$tmp/db" --year 2024 --spool pdf >/dev/null 2>"$tmp/err"; rc=$?
[ $rc -eq 1 ] || fail "spool pdf without PDF directory: exit $rc"
grep -q "Kein PDF-Verzeichnis" "$tmp/err" || fail "spool pdf without PDF directory: message"
printf '[PDF]\r\nBackupDir=%s\r\n[COPIES]\r\nList=2\r\n[PRINTERS]\r\nDEFAULT=Laser\r\n' "$tmp/pdf" >"$tmp/prog/TOVIK.INI"
out=$("$spooling" "$tmp/db" --year 2024 --spool pdf 2>"$tmp/err"); rc=$?
[ $rc -eq 0 ] || fail "spool pdf: exit $rc: $(cat "$tmp/err")"
id=$(sed -n 's/^Auftrag: //p' <<<"$out")
spool="$tmp/prog/SPOOLER/SPOOL.ADT"
det="$tmp/prog/SPOOLER/DET.ADT"
grep -q "^PDF: $tmp/pdf/db/GEWINN/GEWINN-[0-9_]*-$id.PDF$" <<<"$out" || fail "spool pdf: path line: $out"
[ "$(sqlite3 "$spool" "SELECT DESTADRESS FROM SPOOL WHERE ID=$id")" = "$(sed -n 's/^PDF: //p' <<<"$out")" ] \
  || fail "spool pdf: the announced path is stored in the job"
[ "$(sqlite3 "$spool" "SELECT PRIO||' '||ISMAIL||' '||h1||' '||h7||' '||LANDSCAPE FROM SPOOL WHERE ID=$id")" = "560 1 Auftrag Provsion 1" ] \
  || fail "spool pdf: job row"
sqlite3 "$spool" "SELECT PrintName FROM SPOOL WHERE ID=$id" | grep -q '^GEWINN-[0-9.]* [0-9:]*-$' || fail "spool pdf: print name"
sqlite3 "$spool" "SELECT HTEXT FROM SPOOL WHERE ID=$id" | grep -q 'Gewinne, erstellt ' || fail "spool pdf: title"
sqlite3 "$spool" "SELECT FTEXT FROM SPOOL WHERE ID=$id" | grep -q 'Netto: ' || fail "spool pdf: totals as footer"
[ "$(sqlite3 "$det" "SELECT count(*) FROM DET WHERE idmain=$id")" -eq "$docs2024" ] || fail "spool pdf: one detail row per document"
out=$("$spooling" "$tmp/db" --year 2024 --spool print 2>"$tmp/err"); rc=$?
[ $rc -eq 0 ] || fail "spool print: exit $rc: $(cat "$tmp/err")"
id=$(sed -n 's/^Auftrag: //p' <<<"$out")
[ "$(sqlite3 "$spool" "SELECT PRIO||' '||ISMAIL||' '||COPIES||' '||PRINTERNAME FROM SPOOL WHERE ID=$id")" = "2 0 2 Laser" ] \
  || fail "spool print: job row"
grep -q "^PDF: " <<<"$out" && fail "spool print: no PDF line expected"
rm -rf "$tmp/prog/SPOOLER"; : >"$tmp/prog/SPOOLER" # a file where the spool directory belongs
"$spooling" "$tmp/db" --year 2024 --spool print >/dev/null 2>"$tmp/err"; rc=$?
[ $rc -eq 1 ] || fail "unusable spool: exit $rc"
grep -q "nicht bereit" "$tmp/err" || fail "unusable spool: message"

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
