#!/usr/bin/env bash
# End to end, as a user's list print travels: the report command spools the period's list (the
# same job the window's print dialog writes), the spooler starts the output processor lying beside
# it, the processor renders the job and removes it.
#   - PDF: the file appears at the path the spooler printed; pdftotext shows the title, every
#     document in order with its amounts, and the totals; the marker exists; the job is gone.
#   - Print: a CUPS scheduler (started here when none runs) with a CUPS-PDF queue added by lpadmin;
#     the print processor prints the job on it, and the queue's output file shows the same text.
# Everything started or added here is stopped and removed at the end (the scheduler only when this
# script started it).
#   processors_test.sh REPORT DEMODB PDFPROC PRINTPROC
set -u
report="$1"; demodb="$2"; pdfproc="$3"; printproc="$4"
tmp=$(mktemp -d)
prog="$tmp/prog"
spooldir="$prog/SPOOLER"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
started_cupsd=""
queue=""
cups_file=""

# Asks every processor to close and waits until its lock is free.
close_processors() {
  [ -d "$spooldir" ] || return 0
  for kind in PDFPROC PRINTPROC; do
    [ -e "$spooldir/$kind.LCK" ] || continue
    : >"$spooldir/$kind.CLOSE"
    for _ in $(seq 1 100); do
      flock -n "$spooldir/$kind.LCK" true && break
      sleep 0.1
    done
    flock -n "$spooldir/$kind.LCK" true || fail "$kind did not close on request"
  done
}

cleanup() {
  close_processors
  [ -n "$cups_file" ] && rm -f "$cups_file"
  [ -n "$queue" ] && lpadmin -x "$queue" 2>/dev/null
  if [ -n "$started_cupsd" ]; then
    kill "$started_cupsd" 2>/dev/null
    wait "$started_cupsd" 2>/dev/null
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT

# Waits up to $2 seconds for the command $1 to succeed.
wait_for() {
  local i
  for i in $(seq 1 $(($2 * 10))); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}

# The documents of the JSON output as "ID_ORDER|WW_NETTO|GEWINN" lines, in list order.
expected_rows() {
  sed -n 's/.*"ID_ORDER": \([0-9]*\),.*"GEWINN": "\([^"]*\)".*"WW_NETTO": "\([^"]*\)".*/\1|\3|\2/p'
}

# Checks the text of a rendered list against the expected rows.
check_list_text() {
  local what="$1" text="$2" rows="$3"
  grep -q "Gewinne, erstellt [0-9][0-9]\.[0-9][0-9]\.20[0-9][0-9] " <<<"$text" || fail "$what: title"
  grep -q "Netto: .*Provision: .*Gewinn: " <<<"$text" || fail "$what: totals line"
  local pages; pages=$(grep -c "Seite [0-9]* von " <<<"$text")
  [ "$(grep -c "Auftrag .*Adresse .*Nettowert" <<<"$text")" -eq "$pages" ] || fail "$what: captions on every page"
  local found; found=$(grep -oE '^ *1[0-9]{5} ' <<<"$text" | tr -d ' ' | tr '\n' ' ')
  local wanted; wanted=$(cut -d'|' -f1 <<<"$rows" | tr '\n' ' ')
  [ "$found" = "$wanted" ] || fail "$what: documents missing or out of order"
  local id net profit line
  while IFS='|' read -r id net profit; do
    line=$(grep -E "^ *$id " <<<"$text")
    [[ "$line" == *"$net"* && "$line" == *"$profit"* ]] || { fail "$what: amounts of $id: $line"; break; }
  done <<<"$rows"
}

"$demodb" --dir "$tmp/db" --documents 1400 --seed 5 --years 2024-2025 >/dev/null 2>&1 || { echo "demo database failed"; exit 1; }
mkdir -p "$prog" "$tmp/pdf"
for p in "$report" "$pdfproc" "$printproc"; do cp "$p" "$prog/"; done
spooling="$prog/$(basename "$report")"
rows=$("$spooling" "$tmp/db" --year 2024 --format json | expected_rows)
[ "$(wc -l <<<"$rows")" -gt 150 ] || fail "too few documents for a list of several pages"

# --- PDF ----------------------------------------------------------------------------------------
printf '[PDF]\r\nBackupDir=%s\r\n[COPIES]\r\nList=1\r\n' "$tmp/pdf" >"$prog/TOVIK.INI"
out=$("$spooling" "$tmp/db" --year 2024 --spool pdf 2>"$tmp/err"); rc=$?
[ $rc -eq 0 ] || fail "spool pdf: exit $rc: $(cat "$tmp/err")"
id=$(sed -n 's/^Auftrag: //p' <<<"$out")
pdf=$(sed -n 's/^PDF: //p' <<<"$out")
if wait_for '[ -s "$pdf" ] && [ -e "$spooldir/PDFX/$(basename "$pdf")" ]' 60; then
  check_list_text "pdf" "$(pdftotext -layout "$pdf" - 2>&1)" "$rows"
  wait_for '[ "$(sqlite3 "$spooldir/SPOOL.ADT" "SELECT count(*) FROM SPOOL WHERE ID=$id")" = 0 ]' 10 \
    || fail "pdf: the job is still in the spool"
  [ "$(sqlite3 "$spooldir/DET.ADT" "SELECT count(*) FROM DET WHERE idmain=$id")" = 0 ] || fail "pdf: detail rows left"
  head -c 8 "$pdf" | grep -q "%PDF-1.4" || fail "pdf: not a PDF"
  grep -aq "pdfaid:part" "$pdf" || fail "pdf: no PDF/A identification"
else
  fail "pdf: $pdf did not appear (log: $(cat "$spooldir/PDFPROC.LOG" 2>/dev/null))"
fi
close_processors

# --- Print through CUPS -------------------------------------------------------------------------
if ! command -v lpadmin >/dev/null || [ ! -x /usr/sbin/cupsd ]; then
  echo "CUPS is not installed (scripts/install-deps.sh installs it): print check skipped"
  [ $failures -eq 0 ] || exit 1
  exit 77
fi
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  /usr/sbin/cupsd -f >"$tmp/cupsd.log" 2>&1 &
  started_cupsd=$!
  wait_for 'lpstat -r 2>/dev/null | grep -q "is running"' 20 || { fail "cupsd did not start: $(cat "$tmp/cupsd.log")"; exit 1; }
fi
ppd=$(ls /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null | head -1)
[ -n "$ppd" ] || { fail "printer-driver-cups-pdf is not installed"; exit 1; }
queue="GS_TEST_PDF_$$"
# The queue turns the job into PostScript for CUPS-PDF with poppler's cairo renderer: the other
# renderers leave Ghostscript fonts without a usable text mapping, and the text check would fail.
lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" -o pdftops-renderer-default=pdftocairo 2>/dev/null \
  || { fail "lpadmin could not add $queue"; queue=""; exit 1; }
# CUPS-PDF writes into the "Out" folder of its configuration, in the job owner's home by default.
home=$(getent passwd "$(id -un)" | cut -d: -f6)
outdir=$(sed -n 's/^Out[[:space:]]*//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -1)
outdir=${outdir:-\$\{HOME\}/PDF}
outdir=${outdir//\$\{HOME\}/$home}
outdir=${outdir//\$\{USER\}/$(id -un)}
mkdir -p "$outdir"
before=$(ls "$outdir" 2>/dev/null)

# A paper bin the queue does not offer: printed from its default tray, noted in the log.
printf '[PDF]\r\nBackupDir=%s\r\n[COPIES]\r\nList=1\r\n[PRINTERS]\r\nDEFAULT=%s\r\n[V4]\r\nDBIN=Schacht 9\r\n' \
  "$tmp/pdf" "$queue" >"$prog/TOVIK.INI"
out=$("$spooling" "$tmp/db" --year 2024 --spool print 2>"$tmp/err"); rc=$?
[ $rc -eq 0 ] || fail "spool print: exit $rc: $(cat "$tmp/err")"
id=$(sed -n 's/^Auftrag: //p' <<<"$out")
new_file() { comm -13 <(echo "$before") <(ls "$outdir" 2>/dev/null) | grep -i 'listendruck.*\.pdf$' | head -1; }
if wait_for '[ -n "$(new_file)" ]' 90; then
  cups_file="$outdir/$(new_file)"
  wait_for 'pdftotext "$cups_file" - >/dev/null 2>&1' 20
  check_list_text "print" "$(pdftotext -layout "$cups_file" - 2>&1)" "$rows"
  wait_for '[ "$(sqlite3 "$spooldir/SPOOL.ADT" "SELECT count(*) FROM SPOOL WHERE ID=$id")" = 0 ]' 10 \
    || fail "print: the job is still in the spool"
  grep -q "Auftrag $id: der Drucker $queue bietet den Schacht \"Schacht 9\" nicht an" "$spooldir/PRINTPROC.LOG" \
    || fail "print: the missing bin is not noted in the log"
else
  fail "print: no output of queue $queue in $outdir (log: $(cat "$spooldir/PRINTPROC.LOG" 2>/dev/null))"
fi

[ $failures -eq 0 ] && echo "output processors: all checks passed"
[ $failures -eq 0 ]
