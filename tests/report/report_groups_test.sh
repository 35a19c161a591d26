#!/usr/bin/env bash
# The report command's groups and filters on a small generated database:
#   report_groups_test.sh REPORT_BINARY DEMODB_BINARY
set -u
report="$1"
demodb="$2"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$demodb" --dir "$tmp/db" --documents 600 --seed 3 --years 2024-2025 2>/dev/null || { echo "demo database failed"; exit 1; }

"$report" "$tmp/db" --year 2024 --format json >"$tmp/year.json" || fail "json of the year"
for by in kunde vertreter dokumentart monat; do
  "$report" "$tmp/db" --year 2024 --format json --group-by "$by" >"$tmp/$by.json" || fail "$by: exit $?"
done

# Every grouping: the groups add up to the totals, stand by profit (ties by key; months by date), carry margin and
# share as the sums give them; customers, document types and months also against the documents.
python3 - "$tmp" <<'PY' || fail "groups disagree with the documents or the totals"
import json, sys
from decimal import Decimal
tmp = sys.argv[1]
D = lambda v: Decimal(str(v))
year = json.load(open(f"{tmp}/year.json"), parse_float=Decimal)
keys = {"kunde": lambda d: d["ADRESSID"], "dokumentart": None, "monat": lambda d: d["date"][:7], "vertreter": None}
ok = True
def check(cond, text):
    global ok
    if not cond:
        print(text); ok = False
for by, keyof in keys.items():
    r = json.load(open(f"{tmp}/{by}.json"), parse_float=Decimal)
    groups, t = r["groups"], r["totals"]
    check(r["groupBy"] == by, f"{by}: groupBy")
    check(r["documents"] == year["documents"], f"{by}: the documents stay")
    for f in ("net", "commission", "profit"):
        check(sum(g[f] for g in groups) == t[f], f"{by}: {f} sums {sum(g[f] for g in groups)} != {t[f]}")
    check(sum(g["documents"] for g in groups) == t["documents"], f"{by}: document count")
    # Months in the order of the calendar, the other groups by profit, then key.
    order = [g["key"] for g in groups] if by == "monat" else [(-g["profit"], g["key"]) for g in groups]
    check(order == sorted(order), f"{by}: not in its order")
    for g in groups:
        if g["net"] == 0:
            check(g["margin"] is None, f"{by} {g['key']}: margin of net 0")
        else:
            check(abs(g["margin"] - g["profit"] / g["net"] * 100) <= Decimal("0.01"), f"{by} {g['key']}: margin")
        check(abs(g["share"] - g["net"] / t["net"] * 100) <= Decimal("0.01"), f"{by} {g['key']}: share")
    if keyof:
        sums = {}
        for d in year["documents"]:
            s = sums.setdefault(keyof(d), [0, Decimal(0), Decimal(0)])
            s[0] += 1; s[1] += d["net"]; s[2] += d["profit"]
        got = {g["key"]: [g["documents"], g["net"], g["profit"]] for g in groups}
        check(got == sums, f"{by}: groups {got} != documents {sums}")
sys.exit(0 if ok else 1)
PY

# A filter restricts every output to one group: its documents, its totals, its name.
python3 - "$tmp" "$report" <<'PY' || fail "filtered runs disagree with their groups"
import json, subprocess, sys
from decimal import Decimal
tmp, report = sys.argv[1:3]
ok = True
for by in ("kunde", "vertreter", "dokumentart", "monat"):
    groups = json.load(open(f"{tmp}/{by}.json"), parse_float=Decimal)["groups"]
    for g in groups[:2] + groups[-1:]:
        out = subprocess.run([report, f"{tmp}/db", "--year", "2024", "--format", "json", "--filter", f"{by}={g['key']}"],
                             capture_output=True, text=True, check=True).stdout
        r = json.loads(out, parse_float=Decimal)
        t = r["totals"]
        if (t["documents"], t["net"], t["commission"], t["profit"]) != (g["documents"], g["net"], g["commission"], g["profit"]) \
                or len(r["documents"]) != g["documents"] or not r["filter"]["text"].endswith(g["name"]):
            print(f"{by}={g['key']}: {t} / {r['filter']} against {g}"); ok = False
        if by == "kunde" and any(d["ADRESSID"] != g["key"] for d in r["documents"]):
            print(f"kunde={g['key']}: another customer's document"); ok = False
        if by == "monat" and sum(m["net"] for m in r["months"]) != g["net"]:
            print(f"monat={g['key']}: the months do not add up to the group"); ok = False
sys.exit(0 if ok else 1)
PY

# Text and CSV: the group table instead of the document list.
out=$("$report" "$tmp/db" --year 2024 --group-by kunde 2>"$tmp/err") || fail "text exit: $(cat "$tmp/err")"
grep -q "^Gruppiert nach: Kunde" <<<"$out" || fail "text: grouping line"
grep -qP "^Summe: \d+ Dokumente\t\tNetto: " <<<"$out" || fail "text: totals line"
grep -q "Verlustzone\|Gewinnzone" <<<"$out" || fail "text: profit zone column"
"$report" "$tmp/db" --year 2024 --group-by dokumentart --format csv >"$tmp/types.csv" || fail "csv exit"
head -1 "$tmp/types.csv" | grep -q '^"Gewinne nach Dokumentart"'$'\r''$' || fail "csv: title line"
sed -n 3p "$tmp/types.csv" | iconv -f CP1252 -t UTF-8 \
  | grep -q '^"Schlüssel";"Name";" Warnung";"Anzahl";"Nettowert";"Provision";"Gewinn";"Marge %";"Anteil %"'$'\r''$' \
  || fail "csv: header line"
[ "$(grep -c '^"[15]";' "$tmp/types.csv")" -eq 2 ] || fail "csv: two document types expected"
grep -q '^"1";"Rechnung";' "$tmp/types.csv" || fail "csv: invoices line"
sed -n 6p "$tmp/types.csv" | grep -q '^"Summe";"";"";"[0-9]*";' || fail "csv: totals row under the groups"
out=$("$report" "$tmp/db" --year 2024 --filter dokumentart=5) || fail "filtered text exit"
grep -q "^Gefiltert: Dokumentart Gutschrift" <<<"$out" || fail "filtered text: filter line"

# Bad values: exit 2 with the reason.
for bad in "--filter kunde=x" "--filter monat=2024-00" "--filter dokumentart=3" "--filter farbe=rot" \
           "--group-by land" "--filter" "--group-by kunde --spool pdf"; do
  # shellcheck disable=SC2086
  "$report" "$tmp/db" --year 2024 $bad >/dev/null 2>"$tmp/err"; rc=$?
  [ $rc -eq 2 ] && [ -s "$tmp/err" ] || fail "$bad: exit $rc"
done
grep -q "^gewinnstatistik-report: --group-by und --spool" "$tmp/err" || fail "spool with groups: reason"

# The group table as PDF.
if "$report" --help | grep -q -- "--pdf" && "$report" "$tmp/db" --year 2024 --group-by vertreter --pdf "$tmp/g.pdf" 2>"$tmp/err"; then
  head -c 5 "$tmp/g.pdf" | grep -q "%PDF-" || fail "pdf: no PDF written"
  if command -v pdftotext >/dev/null; then
    pdftotext -layout "$tmp/g.pdf" - | grep -q "Gewinne nach Vertreter, erstellt" || fail "pdf: title"
    pdftotext -layout "$tmp/g.pdf" - | grep -q "ohne Vertreter" || fail "pdf: the group without representative"
  fi
else
  grep -q "ohne Qt" "$tmp/err" || fail "pdf: $(cat "$tmp/err")"
fi

# One group's list spooled: its job row's title names the group, and its rows are that group's.
mkdir -p "$tmp/prog" "$tmp/pdf"
cp "$report" "$tmp/prog/"
printf '[PDF]\r\nBackupDir=%s\r\n' "$tmp/pdf" >"$tmp/prog/TOVIK.INI"
spooling="$tmp/prog/$(basename "$report")"
customer=$(python3 -c "import json,sys; print(json.load(open(sys.argv[1]))['documents'][0]['ADRESSID'])" "$tmp/year.json")
if "$spooling" "$tmp/db" --year 2024 --filter "kunde=$customer" --spool pdf >"$tmp/spool.out" 2>"$tmp/err"; then
  id=$(sed -n 's/^Auftrag: //p' "$tmp/spool.out")
  title=$(sqlite3 "$tmp/prog/SPOOLER/SPOOL.ADT" "SELECT CAST(HTEXT AS TEXT) FROM SPOOL WHERE ID=$id" | iconv -f CP1252 -t UTF-8)
  grep -q "Kunde" <<<"$title" || fail "spool with a filter: the title does not name the group: $title"
  rows=$(sqlite3 "$tmp/prog/SPOOLER/DET.ADT" "SELECT count(*) FROM DET WHERE idmain=$id")
  want=$(python3 -c "import json,sys; print(sum(1 for d in json.load(open(sys.argv[1]))['documents'] if d['ADRESSID']==int(sys.argv[2])))" "$tmp/year.json" "$customer")
  [ "$rows" = "$want" ] || fail "spool with a filter: $rows rows for $want documents of customer $customer"
else
  fail "spool with a filter: $(cat "$tmp/err")"
fi

[ $failures -eq 0 ] && echo "report groups: all checks passed"
exit $failures
