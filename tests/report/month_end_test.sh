#!/usr/bin/env bash
# The report command at month end, end to end on a small generated database: the Excel workbook read
# back by a real reader, periods relative to a fixed day, files named by the period in an output
# folder, and the chart picture.
#   month_end_test.sh REPORT_BINARY DEMODB_BINARY
set -u
report="$1"
demodb="$2"
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
# The reader is Debian's (python3-openpyxl), so the system's interpreter reads the workbook.
py=/usr/bin/python3
"$py" -c "import openpyxl" 2>/dev/null || { echo "python3-openpyxl missing (scripts/install-deps.sh), skipped"; exit 77; }

"$demodb" --dir "$tmp/db" --documents 600 --seed 3 --years 2024-2025 2>/dev/null || { echo "demo database failed"; exit 1; }

# The workbook holds the same rows, columns and values as the run: numbers, dates and totals equal
# to the JSON's, captions and texts equal to the CSV's, no formula anywhere.
"$report" "$tmp/db" --year 2024 --xlsx "$tmp/year.xlsx" >"$tmp/stdout" 2>"$tmp/err" || fail "xlsx exit: $(cat "$tmp/err")"
[ -s "$tmp/stdout" ] && fail "xlsx: something printed: $(head -3 "$tmp/stdout")"
"$report" "$tmp/db" --year 2024 --format json >"$tmp/year.json" || fail "json"
"$report" "$tmp/db" --year 2024 --format csv | iconv -f WINDOWS-1252 -t UTF-8 >"$tmp/year.csv" || fail "csv"
"$py" - "$tmp/year.xlsx" "$tmp/year.json" "$tmp/year.csv" <<'PY' || fail "workbook disagrees with the run"
import csv, datetime, json, sys, zipfile
from decimal import Decimal
import openpyxl
book = openpyxl.load_workbook(sys.argv[1])
data = json.load(open(sys.argv[2], encoding="utf-8"))
lines = list(csv.reader(open(sys.argv[3], encoding="utf-8", newline=""), delimiter=";"))
sheet = book.active
def fail(text): sys.exit(text)
# Over the table the title and the range as the CSV has them, then an empty row.
heading = [[c.value for c in r] for r in sheet.iter_rows(max_row=3)]
if [h[0] for h in heading] != ["Gewinne", data["range"], None] or lines[:2] != [["Gewinne"], [data["range"]]]:
    fail("heading %s against the CSV's %s and the range %s" % (heading, lines[:2], data["range"]))
rows = list(sheet.iter_rows(min_row=4))
lines = lines[2:]
if [c.value for c in rows[0]] != lines[0]:
    fail("captions %s against the CSV's %s" % ([c.value for c in rows[0]], lines[0]))
docs = data["documents"]
if len(rows) != len(docs) + 2:
    fail("%d rows for %d documents (caption and totals rows)" % (len(rows), len(docs)))
cents = lambda x: Decimal(str(x)).quantize(Decimal("0.01"))
for row, doc, line in zip(rows[1:], docs, lines[1:]):
    order, name, date, zone, net, profit, commission = row
    if order.value != doc["ID_ORDER"] or not isinstance(order.value, int):
        fail("order %r against %r" % (order.value, doc["ID_ORDER"]))
    if name.value != line[1] or zone.value != line[3]:
        fail("texts %r %r against the CSV's %r %r" % (name.value, zone.value, line[1], line[3]))
    if not isinstance(date.value, datetime.datetime) or date.value.date().isoformat() != doc["date"]:
        fail("date %r against %s" % (date.value, doc["date"]))
    if date.number_format != "dd.mm.yyyy":
        fail("date format %s" % date.number_format)
    for cell, key in ((net, "net"), (profit, "profit"), (commission, "commission")):
        if not isinstance(cell.value, (int, float)) or cents(cell.value) != cents(doc[key]):
            fail("document %s: %s %r against %s" % (doc["ID_ORDER"], key, cell.value, doc[key]))
        if cell.number_format != '#,##0.00 "€"':
            fail("amount format %s" % cell.number_format)
totals = rows[-1]
t = data["totals"]
if totals[0].value != "Summe" or totals[1].value != "%d Dokumente" % t["documents"]:
    fail("totals row %r %r" % (totals[0].value, totals[1].value))
if lines[len(docs) + 1][:2] != ["Summe", totals[1].value]:
    fail("the CSV's totals row %s against the workbook's" % lines[len(docs) + 1])
for cell, key in ((totals[4], "net"), (totals[5], "profit"), (totals[6], "commission")):
    if cents(cell.value) != cents(t[key]):
        fail("total %s %r against %s" % (key, cell.value, t[key]))
if sheet.freeze_panes != "A5":
    fail("caption row not frozen: %s" % sheet.freeze_panes)
if sheet.auto_filter.ref != "A4:G%d" % (len(docs) + 4):
    fail("autofilter %s" % sheet.auto_filter.ref)
if book.properties.subject != data["range"] or not book.properties.title:
    fail("properties %r %r" % (book.properties.title, book.properties.subject))
for letter in "ABCDEFG":
    if not sheet.column_dimensions[letter].width or sheet.column_dimensions[letter].width < 8:
        fail("column %s has no fitting width" % letter)
with zipfile.ZipFile(sys.argv[1]) as z:
    xml = z.read("xl/worksheets/sheet1.xml").decode()
    if "<f>" in xml or "<f " in xml:
        fail("a formula in the sheet")
PY

# A text that a spreadsheet would run as a formula stays text, without an apostrophe.
"$demodb" --dir "$tmp/db2" --documents 200 --seed 8 --years 2025-2025 2>/dev/null || fail "second database"
"$report" "$tmp/db2" --year 2025 --xlsx "$tmp/q.xlsx" || fail "second workbook"
"$py" - "$tmp/q.xlsx" <<'PY' || fail "workbook cells of the second database"
import sys, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).active
for row in sheet.iter_rows(min_row=2):
    for cell in row:
        if cell.data_type == "f" or (isinstance(cell.value, str) and cell.value.startswith("'")):
            sys.exit("cell %s: %r" % (cell.coordinate, cell.value))
PY

# Relative periods on fixed days: the month, quarter and year before, across the year's end.
check_range() { # ARGS... EXPECTED_RANGE
  local want="${*: -1}"
  local out
  out=$("$report" "$tmp/db" "${@:1:$#-1}" 2>&1 | head -1)
  [ "$out" = "Bereich: $want" ] || fail "${*:1:$#-1}: '$out' instead of 'Bereich: $want'"
}
check_range --period Vormonat --today 2025-01-01 01.12.2024-31.12.2024
check_range --period Vormonat --today 2024-03-31 01.02.2024-29.02.2024
check_range --period Vorquartal --today 2025-01-15 01.10.2024-31.12.2024
check_range --period Vorquartal --today 2024-07-01 01.04.2024-30.06.2024
check_range --period Vorjahr --today 2025-01-01 01.01.2024-31.12.2024
check_range --period "laufender Monat" --today 2024-12-31 01.12.2024-31.12.2024
check_range --period "laufendes Quartal" --today 2024-11-30 01.10.2024-31.12.2024
check_range --period "laufendes Jahr" --today 2024-02-29 01.01.2024-31.12.2024
check_range --year 2024 --period Vormonat --today 2025-06-10 01.05.2024-31.05.2024
# With a fiscal year from July the quarter before 11.12.2025 is the fiscal year's first.
check_range --period Vorquartal --fiscal-start 7 --today 2025-12-11 01.07.2025-30.09.2025
check_range --period "laufendes Quartal" --fiscal-start 7 --today 2025-12-11 01.10.2025-31.12.2025
check_range --period "laufendes Jahr" --fiscal-start 4 --today 2025-03-31 01.04.2024-31.03.2025
check_range --period Vorjahr --fiscal-start 10 --today 2025-10-01 01.10.2024-30.09.2025
# A relative period wholly after today: exit 1 with the range, nothing written.
"$report" "$tmp/db" --year 2027 --period Vorjahr --today 2025-12-11 --output "$tmp/future" --xlsx \
  >/dev/null 2>"$tmp/err"; rc=$?
[ $rc -eq 1 ] || fail "a future period: exit $rc"
grep -q "01.01.2026-31.12.2026) liegt ganz nach dem 11.12.2025" "$tmp/err" || fail "a future period: $(cat "$tmp/err")"
[ -e "$tmp/future" ] && fail "a future period wrote its folder"

# The same relative period with two fiscal starts: two files, neither replaces the other.
"$report" "$tmp/db" --period Vorquartal --today 2025-12-11 --fiscal-start 7 --output "$tmp/fiscal" --xlsx \
  2>"$tmp/err" || fail "fiscal quarter: $(cat "$tmp/err")"
"$report" "$tmp/db" --period Vorquartal --today 2025-12-11 --fiscal-start 1 --output "$tmp/fiscal" --xlsx \
  2>"$tmp/err" || fail "calendar quarter: $(cat "$tmp/err")"
[ "$(ls "$tmp/fiscal" | tr '\n' ' ')" = "GEWINN-2025-26-Q1-Jul-Sep.xlsx GEWINN-2025-Q3.xlsx " ] \
  || fail "fiscal and calendar quarter: $(ls "$tmp/fiscal" | tr '\n' ' ')"

# --output: every asked output under the period's name; another period's files stay as they are.
"$report" "$tmp/db" --period Vormonat --today 2025-01-01 --output "$tmp/out" --pdf --xlsx --chart --format csv \
  2>"$tmp/err" || fail "output folder: $(cat "$tmp/err")"
for f in GEWINN-2024-12.pdf GEWINN-2024-12.xlsx GEWINN-2024-12.png GEWINN-2024-12.csv; do
  [ -s "$tmp/out/$f" ] || fail "output folder lacks $f: $(ls "$tmp/out")"
done
cp "$tmp/out/GEWINN-2024-12.xlsx" "$tmp/december.xlsx"
"$report" "$tmp/db" --period Vorquartal --today 2025-01-01 --output "$tmp/out" --xlsx --chart svg || fail "quarter"
"$report" "$tmp/db" --year 2024 --output "$tmp/out" --chart || fail "year"
for f in GEWINN-2024-Q4.xlsx GEWINN-2024-Q4.svg GEWINN-2024.png; do
  [ -s "$tmp/out/$f" ] || fail "output folder lacks $f: $(ls "$tmp/out")"
done
cmp -s "$tmp/out/GEWINN-2024-12.xlsx" "$tmp/december.xlsx" || fail "the quarter's run changed December's workbook"
[ "$(ls -A "$tmp/out" | grep -c '^\.')" -eq 0 ] || fail "temporary files left: $(ls -A "$tmp/out")"
[ "$(head -c 8 "$tmp/out/GEWINN-2024.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "the PNG is no PNG"
grep -q "<svg" "$tmp/out/GEWINN-2024-Q4.svg" || fail "the SVG is no SVG"

# A target that is no regular file is refused, and nothing of that run is written.
ln -s "$tmp/victim" "$tmp/out/GEWINN-2024-11.xlsx"
mkfifo "$tmp/out/GEWINN-2024-10.pdf"
mkdir "$tmp/out/GEWINN-2024-09.png"
for args in "--period November --xlsx" "--period Oktober --pdf" "--period September --chart"; do
  # shellcheck disable=SC2086
  timeout 60 "$report" "$tmp/db" --year 2024 --output "$tmp/out" $args --format json >/dev/null 2>"$tmp/err"; rc=$?
  [ $rc -eq 1 ] || fail "$args into a non-regular target: exit $rc"
  grep -q "keine gewöhnliche Datei" "$tmp/err" || fail "$args: message $(cat "$tmp/err")"
done
[ -e "$tmp/victim" ] && fail "written through a symbolic link"
ls "$tmp/out" | grep -q "json" && fail "a refused run wrote its other files"

# A failed run writes no file.
"$report" "$tmp/missing" --year 2024 --xlsx "$tmp/none.xlsx" >/dev/null 2>&1 && fail "missing database: exit 0"
[ -e "$tmp/none.xlsx" ] && fail "a workbook of a failed start"

[ $failures -eq 0 ] && echo "month end: all checks passed"
exit $((failures > 0))
