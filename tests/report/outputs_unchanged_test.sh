#!/usr/bin/env bash
# What users and callers already get must not drift: the report command's text, CSV and JSON, the
# spool rows of a list print and the text of the PDF are compared with files made from the same
# seeded database by an earlier build (tests/report/golden). The time of the run and the
# workstation are masked; the JSON may gain fields, but every field of the stored file must be
# there with the same value.
#   outputs_unchanged_test.sh REPORT DEMODB GOLDEN_DIR [--write]
# With --write the files are made anew instead (only when an output is meant to change).
set -u
report="$1"; demodb="$2"; golden="$3"; write="${4:-}"
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# "10.12.2026 14:03:07" in titles and page heads, "10_12_2026_14_03_07" in PDF names.
mask_time() { sed -E 's/[0-9]{2}([._])[0-9]{2}\1[0-9]{4}([ _])[0-9]{2}([:_])[0-9]{2}(\3[0-9]{2})?/ZEIT/g'; }

"$demodb" --dir "$tmp/db" --documents 3000 --seed 11 --years 2025-2026 >/dev/null 2>&1 \
  || { echo "demo database failed"; exit 1; }
prog="$tmp/prog"
mkdir -p "$prog" "$tmp/pdf" "$tmp/out"
# Only the report command beside its TOVIK.INI: no processor takes the spooled job away.
cp "$report" "$prog/"
printf '[PDF]\r\nBackupDir=%s\r\n[COPIES]\r\nList=1\r\n' "$tmp/pdf" >"$prog/TOVIK.INI"
run="$prog/$(basename "$report")"

"$run" "$tmp/db" --year 2026 >"$tmp/out/year-2026.txt" || fail "text run"
"$run" "$tmp/db" --year 2026 --period "März" --format csv >"$tmp/out/march-2026.csv" || fail "csv run"
"$run" "$tmp/db" --year 2026 --period "4. Quartal" --format json >"$tmp/out/q4-2026.json" || fail "json run"
"$run" "$tmp/db" --year 2025 --period "3. Quartal" --spool pdf | mask_time | sed "s|$tmp|TMP|" \
  >"$tmp/out/spool-q3-2025.out" || fail "spool run"
python3 "$here/spool_rows.py" "$prog/SPOOLER" | sed "s|$tmp|TMP|" >"$tmp/out/spool-q3-2025.rows" \
  || fail "spool rows unreadable"
if "$run" "$tmp/db" --year 2026 --period "Mai" --pdf "$tmp/may.pdf" 2>"$tmp/err"; then
  pdftotext -layout "$tmp/may.pdf" - | mask_time >"$tmp/out/may-2026.pdf.txt" || fail "pdf unreadable"
elif grep -q "nicht verfügbar" "$tmp/err"; then
  echo "report command without the renderer: PDF not compared"
  no_pdf=1
else
  fail "pdf run: $(cat "$tmp/err")"
fi

# Where the documents lie in the table file changes nothing but the order of documents of one day
# (the index breaks ties by row number): the same documents written in reverse, shuffled, and
# shuffled without the SQL indexes give the same lines, months and totals.
# The note on unreadable documents names them in list order as well.
sorted_notes() { perl -pe 's/(Gewinnangaben: )([0-9, ]+)/$1 . join(", ", sort { $a <=> $b } split(\/, \/, $2))/e'; }
same_rows() { cmp -s <(sorted_notes <"$1" | sort) <(sorted_notes <"$2" | sort); }
same_json() {
  python3 - "$1" "$2" <<'PY'
import json, re, sys
a, b = (json.load(open(f, encoding="utf-8")) for f in sys.argv[1:3])
def notes(m):
    return m.group(1) + ", ".join(sorted(m.group(2).split(", "), key=int))
for d in (a, b):
    d["warnings"] = [re.sub(r"(Gewinnangaben: )([0-9, ]+)", notes, w) for w in d.get("warnings", [])]
for d in (a, b):
    for key, value in d.items():
        if isinstance(value, list) and value and isinstance(value[0], dict) and "ID_ORDER" in value[0]:
            value.sort(key=lambda r: r["ID_ORDER"])
sys.exit(0 if a == b else 1)
PY
}
for layout in "umgekehrt" "gemischt" "gemischt --ohne-indizes"; do
  # shellcheck disable=SC2086
  "$demodb" --dir "$tmp/db2" --documents 3000 --seed 11 --years 2025-2026 --reihenfolge $layout --force \
    >/dev/null 2>&1 || { fail "demo database ($layout) failed"; continue; }
  "$run" "$tmp/db2" --year 2026 >"$tmp/layout.txt"
  same_rows "$tmp/layout.txt" "$tmp/out/year-2026.txt" || fail "text differs when stored $layout"
  "$run" "$tmp/db2" --year 2026 --period "März" --format csv >"$tmp/layout.csv"
  same_rows "$tmp/layout.csv" "$tmp/out/march-2026.csv" || fail "csv differs when stored $layout"
  "$run" "$tmp/db2" --year 2026 --period "4. Quartal" --format json >"$tmp/layout.json"
  same_json "$tmp/layout.json" "$tmp/out/q4-2026.json" || fail "json differs when stored $layout"
done

if [ "$write" = "--write" ]; then
  mkdir -p "$golden"
  cp "$tmp/out/"* "$golden/"
  echo "written: $(ls "$golden" | tr '\n' ' ')"
  exit 0
fi

for f in "$golden"/*; do
  name=$(basename "$f")
  [ "${no_pdf:-}" = 1 ] && [[ "$name" == *.pdf.txt ]] && continue
  [ -e "$tmp/out/$name" ] || { fail "$name was not made"; continue; }
  case "$name" in
    *.json)
      python3 - "$f" "$tmp/out/$name" <<'PY' || fail "$name: a stored field changed"
import json, sys
old = json.load(open(sys.argv[1], encoding="utf-8"))
new = json.load(open(sys.argv[2], encoding="utf-8"))
def keeps(o, n, where):
    if isinstance(o, dict):
        if not isinstance(n, dict):
            sys.exit("%s: no longer an object" % where)
        for k, v in o.items():
            if k not in n:
                sys.exit("%s.%s: missing" % (where, k))
            keeps(v, n[k], where + "." + k)
    elif isinstance(o, list):
        if not isinstance(n, list) or len(o) != len(n):
            sys.exit("%s: list of another length" % where)
        for i, (a, b) in enumerate(zip(o, n)):
            keeps(a, b, "%s[%d]" % (where, i))
    elif o != n or type(o) is not type(n):
        sys.exit("%s: %r became %r" % (where, o, n))
keeps(old, new, "")
PY
      ;;
    *)
      cmp -s "$f" "$tmp/out/$name" || { fail "$name differs:"; diff "$f" "$tmp/out/$name" | head -20; }
      ;;
  esac
done
[ $failures -eq 0 ]
