#!/usr/bin/env bash
# The report's outputs of one period agree with each other: the text, the CSV, the JSON and the
# workbook show the same documents with the same amounts, the same totals to the cent, the same
# range; with the previous year the same comparison; grouped by month the same groups, in the order
# of the calendar, a month the range covers in part named by its days.
#   outputs_agree_test.sh REPORT_BINARY DEMODB_BINARY
set -u
report="$1"
demodb="$2"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$demodb" --dir "$tmp/db" --documents 800 --seed 5 --years 2024-2025 2>/dev/null || { echo "demo database failed"; exit 1; }
workbook=1
if ! /usr/bin/python3 -c "import openpyxl" 2>/dev/null || \
   "$report" /nonexistent --year 2024 --xlsx /nonexistent/probe.xlsx 2>&1 | grep -q "nicht verfügbar"; then
  echo "workbook not compared (no python3-openpyxl)"
  workbook=0
fi

# Each case: the same arguments for every format.
cases=("--year 2025 --period 2. Quartal"
       "--year 2025 --compare vorjahr"
       "--from 2024-11-20 --to 2025-02-10 --compare vorjahr"
       "--year 2024 --filter dokumentart=5")
n=0
for c in "${cases[@]}"; do
  n=$((n + 1))
  # shellcheck disable=SC2206
  args=($c)
  [[ "$c" == *"2. Quartal"* ]] && args=(--year 2025 --period "2. Quartal") # one word with a blank
  "$report" "$tmp/db" "${args[@]}" >"$tmp/$n.txt" 2>"$tmp/err" || fail "$c: text: $(cat "$tmp/err")"
  "$report" "$tmp/db" "${args[@]}" --format csv >"$tmp/$n.csv" 2>"$tmp/err" || fail "$c: csv: $(cat "$tmp/err")"
  "$report" "$tmp/db" "${args[@]}" --format json >"$tmp/$n.json" 2>"$tmp/err" || fail "$c: json: $(cat "$tmp/err")"
  if [ $workbook = 1 ]; then
    "$report" "$tmp/db" "${args[@]}" --xlsx "$tmp/$n.xlsx" 2>"$tmp/err" || fail "$c: xlsx: $(cat "$tmp/err")"
  fi
  /usr/bin/python3 - "$tmp/$n" "$workbook" <<'PY' || fail "$c: the outputs disagree"
import csv, json, re, sys
from decimal import Decimal
base, workbook = sys.argv[1], sys.argv[2] == "1"
def money(text):  # "-1.234,56 €" or "-1.234,56" -> Decimal
    return Decimal(text.replace(" €", "").replace(".", "").replace(",", "."))
def cents(x):
    return Decimal(str(x)).quantize(Decimal("0.01"))
problems = []
def check(cond, text):
    if not cond:
        problems.append(text)

data = json.load(open(base + ".json", encoding="utf-8"))
docs = {d["ID_ORDER"]: (cents(d["net"]), cents(d["profit"]), cents(d["commission"])) for d in data["documents"]}
t = data["totals"]
totals = (t["documents"], cents(t["net"]), cents(t["profit"]), cents(t["commission"]))
check(sum(v[0] for v in docs.values()) == totals[1], "json: documents do not add up to the totals")

# Text: the range, one line per document, the months to the cent adding up, the totals line.
text = open(base + ".txt", encoding="utf-8").read().split("\n")
filtered = text[0].startswith("Gefiltert: ")
if filtered:
    text = text[1:]
check(text[0] == data["range"], "text: range %r against %r" % (text[0], data["range"]))
row = re.compile(r"^\s*(\d+)\s.*\s(\d\d\.\d\d\.\d{4})\s+(?:Gewinnzone|kein Gewinn|Verlustzone)\s+(\S+ €)\s+(\S+ €)\s+(\S+ €)$")
tdocs = {}
for line in text:
    m = row.match(line)
    if m:
        tdocs[int(m.group(1))] = (money(m.group(3)), money(m.group(4)), money(m.group(5)))
check(tdocs == docs, "text: documents differ from json (%d against %d)" % (len(tdocs), len(docs)))
month = re.compile(r"^(\S+)\s+(\d+)\s+(\S+ €)\s+(\S+ €)\s+(\S+ €)$")
start = text.index(next(l for l in text if l.startswith("Monat ")))
months = []
for line in text[start + 2:]:
    m = month.match(line)
    if not m:
        break
    months.append((m.group(1), int(m.group(2)), money(m.group(3)), money(m.group(5)), money(m.group(4))))
check(len(months) == len(data["months"]), "text: %d months against json's %d" % (len(months), len(data["months"])))
for mine, theirs in zip(months, data["months"]):
    check(mine[1:] == (theirs["documents"], cents(theirs["net"]), cents(theirs["profit"]), cents(theirs["commission"])),
          "text: month %s %s against json %s" % (mine[0], mine[1:], theirs))
check(sum(m[1] for m in months) == totals[0], "text: months hold %d documents, the totals %d" % (sum(m[1] for m in months), totals[0]))
summen = next((l for l in text if l.startswith("Netto: ")), "")
check(summen == data["Summen"], "text: totals line %r against json's %r" % (summen, data["Summen"]))
parts = dict(p.split(": ", 1) for p in summen.split("\t\t"))
check((money(parts["Netto"]), money(parts["Gewinn"].split(" (")[0]), money(parts["Provision"])) == totals[1:],
      "text: totals line against json's totals")

# CSV: title, range, the filter or the previous year, the captions, the documents, the totals rows.
lines = list(csv.reader(open(base + ".csv", encoding="cp1252", newline=""), delimiter=";"))
check(lines[0] == ["Gewinne"] and lines[1] == [data["range"]], "csv: heading %s" % lines[:2])
head = 2
if filtered:
    check(lines[2] == ["Gefiltert: " + data["filter"]["text"]], "csv: filter line %s" % lines[2])
    head += 1
if "previous" in data:
    check(lines[head] == ["Vorjahr: " + data["previous"]["range"]], "csv: previous line %s" % lines[head])
    head += 1
check(lines[head][0] == "Auftrag", "csv: captions %s" % lines[head])
body = lines[head + 1:head + 1 + len(docs)]
cdocs = {int(l[0]): (money(l[4]), money(l[5]), money(l[6])) for l in body}
check(cdocs == docs, "csv: documents differ from json")
rest = lines[head + 1 + len(docs):]
check(rest[0][:2] == ["Summe", "%d Dokumente" % totals[0]] and
      (money(rest[0][4]), money(rest[0][5]), money(rest[0][6])) == totals[1:], "csv: totals row %s" % rest[0])
if "previous" in data and data["change"]:
    p = data["previous"]["totals"]
    check(rest[1][:2] == ["Vorjahr", "%d Dokumente" % p["documents"]] and
          (money(rest[1][4]), money(rest[1][5]), money(rest[1][6])) == (cents(p["net"]), cents(p["profit"]), cents(p["commission"])),
          "csv: previous year's row %s" % rest[1])
    c = data["change"]
    check(rest[2][0] == "Veränderung" and (money(rest[2][4]), money(rest[2][5])) == (cents(c["net"]), cents(c["profit"])),
          "csv: change row %s against %s" % (rest[2], c))
    for i, key in ((4, "net_percent"), (5, "profit_percent")):
        want = "" if c[key] is None else "%.2f" % c[key]
        check(rest[3][i].replace(",", ".") == want, "csv: %s %s against %s" % (key, rest[3][i], want))
    vj = next((l for l in text if l.startswith("Vorjahr: ")), "")
    check(vj == "Vorjahr: " + data["previous"]["range"], "text: previous range %r" % vj)

if workbook:
    import openpyxl
    sheet = openpyxl.load_workbook(base + ".xlsx").active
    rows = [[c.value for c in r] for r in sheet.iter_rows()]
    check(rows[0][0] in ("Gewinne",) and rows[1][0] == data["range"], "xlsx: heading %s" % rows[:2])
    first = 3 if not filtered else 4
    if filtered:
        check(rows[2][0] == "Gefiltert: " + data["filter"]["text"], "xlsx: filter line %s" % rows[2])
    check(rows[first][0] == "Auftrag", "xlsx: captions %s" % rows[first])
    xdocs = {r[0]: (cents(r[4]), cents(r[5]), cents(r[6])) for r in rows[first + 1:first + 1 + len(docs)]}
    check(xdocs == docs, "xlsx: documents differ from json")
    last = rows[first + 1 + len(docs)]
    check(last[:2] == ["Summe", "%d Dokumente" % totals[0]] and (cents(last[4]), cents(last[5]), cents(last[6])) == totals[1:],
          "xlsx: totals row %s" % last)
for p in problems:
    print(p)
sys.exit(1 if problems else 0)
PY
done

# Grouped by month: the same groups in text, CSV and JSON, months in the order of the calendar,
# partial months named by their days.
args=(--from 2024-11-20 --to 2025-02-10 --group-by monat)
"$report" "$tmp/db" "${args[@]}" >"$tmp/g.txt" || fail "groups: text"
"$report" "$tmp/db" "${args[@]}" --format csv >"$tmp/g.csv" || fail "groups: csv"
"$report" "$tmp/db" "${args[@]}" --format json >"$tmp/g.json" || fail "groups: json"
/usr/bin/python3 - "$tmp/g" <<'PY' || fail "groups by month disagree"
import csv, json, re, sys
from decimal import Decimal
base = sys.argv[1]
data = json.load(open(base + ".json", encoding="utf-8"))
names = [g["name"] for g in data["groups"]]
keys = [g["key"] for g in data["groups"]]
problems = []
if keys != sorted(keys):
    problems.append("json: months not by date: %s" % keys)
if names[0] != "20.-30.11.2024" or names[-1] != "01.-10.02.2025" or names[1:-1] != ["Dezember 2024", "Januar 2025"]:
    problems.append("json: names %s" % names)
lines = list(csv.reader(open(base + ".csv", encoding="cp1252", newline=""), delimiter=";"))
if lines[0] != ["Gewinne nach Monat"] or lines[1] != [data["range"]]:
    problems.append("csv: heading %s" % lines[:2])
if [l[1] for l in lines[3:3 + len(names)]] != names:
    problems.append("csv: names %s" % [l[1] for l in lines[3:3 + len(names)]])
total = lines[3 + len(names)]
if total[0] != "Summe" or int(total[3]) != data["totals"]["documents"]:
    problems.append("csv: totals row %s" % total)
text = open(base + ".txt", encoding="utf-8").read()
found = [re.search(r"(?m)^\s*%s\s" % k, text) for k in keys]
at = [m.start() if m else -1 for m in found]
if -1 in at or at != sorted(at):
    problems.append("text: months missing or out of order")
for p in problems:
    print(p)
sys.exit(1 if problems else 0)
PY

[ $failures -eq 0 ] && echo "report outputs agree: all checks passed"
exit $failures
