#!/usr/bin/env bash
# Every spooled list is output exactly once, however the processors end and however many programs
# write the spool at once:
#   - kill: PDF jobs, then print jobs on a CUPS-PDF queue (held, so that CUPS only counts them), are
#     worked off by a processor that is killed (SIGKILL) at random moments, again and again, then
#     finished by one that runs to the end. Every PDF is written once (its file is never replaced by
#     a second rendering), every print job reaches CUPS once, no job stays, no temporary file stays.
#   - stop: SIGTERM during a long job ends the processor within moments; the job stays whole and the
#     next start outputs it.
#   - writers: two report commands spool at the same time, again and again, while a processor (started
#     anew whenever a writer's close request ends it, as a spooler starts it) works
#     the jobs off: no writer fails, every job is output once.
# The figures (kills, moments, times) are printed for the record.
#   exactly_once_test.sh REPORT DEMODB PDFPROC PRINTPROC
set -u
report="$1"; demodb="$2"; pdfproc="$3"; printproc="$4"
tmp=$(mktemp -d)
prog="$tmp/prog"      # the report command; the spooler finds no processor beside it to start
procs="$tmp/procs"    # the processors with their TOVIK.INI
spooldir="$prog/SPOOLER"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
started_cupsd=""
queue=""
kill_rounds=${GS_KILL_ROUNDS:-18}

cleanup() {
  for p in $(jobs -p); do [ "$p" = "$started_cupsd" ] || kill -9 "$p" 2>/dev/null; done
  [ -n "$queue" ] && { cancel -a "$queue" 2>/dev/null; lpadmin -x "$queue" 2>/dev/null; }
  if [ -n "$started_cupsd" ]; then
    kill "$started_cupsd" 2>/dev/null
    wait "$started_cupsd" 2>/dev/null
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT

wait_for() {
  local i
  for i in $(seq 1 $(($2 * 10))); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}
ms() { date +%s%3N; }
sql() { sqlite3 -cmd ".timeout 5000" "$@"; }

"$demodb" --dir "$tmp/db" --documents 1400 --seed 5 --years 2024-2025 >/dev/null 2>&1 || { echo "demo database failed"; exit 1; }
mkdir -p "$prog" "$procs" "$tmp/pdf"
cp "$report" "$prog/"
cp "$pdfproc" "$printproc" "$procs/"
spooling="$prog/$(basename "$report")"
pdfproc="$procs/$(basename "$pdfproc")"
printproc="$procs/$(basename "$printproc")"
write_ini() { printf '[PDF]\r\nBackupDir=%s\r\n[COPIES]\r\nList=1\r\n%s' "$tmp/pdf" "${1:-}" | tee "$prog/TOVIK.INI" >"$procs/TOVIK.INI"; }
write_ini

# Spools n jobs of the kind; each gets a name of its own ("<prefix><ID>", its PDF "<prefix><ID>-<ID>.PDF"), so that every job has its
# own PDF file and CUPS title. Prints the IDs.
spool_jobs() {
  local kind="$1" n="$2" prefix="$3" i out id
  for i in $(seq 1 "$n"); do
    out=$("$spooling" "$tmp/db" --year 2024 --spool "$kind" 2>>"$tmp/spool.err") || { fail "spool $kind: $(cat "$tmp/spool.err")"; continue; }
    id=$(sed -n 's/^Auftrag: //p' <<<"$out")
    # The PDF processor writes the path the spooler announced: it follows the new name.
    sql "$spooldir/SPOOL.ADT" "UPDATE SPOOL SET PrintName='$prefix'||ID,
      DESTADRESS=CASE WHEN length(DESTADRESS) > 0
        THEN rtrim(CAST(DESTADRESS AS TEXT), replace(CAST(DESTADRESS AS TEXT), '/', '')) || '$prefix'||ID||'-'||ID||'.PDF'
        ELSE DESTADRESS END WHERE ID=$id"
    echo "$id"
  done
}

# Starts the processor, kills it after a random moment, many times; after every kill notes the
# inode of each finished PDF (a second rendering would replace the file and show a second inode).
kill_rounds() {
  local proc="$1" rounds="$2" i pid delay
  for i in $(seq 1 "$rounds"); do
    "$proc" --spool "$spooldir" --poll-ms 20 --idle-seconds 60 >/dev/null 2>&1 &
    pid=$!
    delay=$(( (RANDOM % 1200) + 50 ))
    sleep "$(printf '0.%03d' "$delay")" 2>/dev/null || sleep 1
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    echo "$delay" >>"$tmp/delays"
    find "$tmp/pdf" -name 'KILL*.PDF' -printf '%f %i\n' >>"$tmp/inodes"
  done
}

# --- kill: PDF -----------------------------------------------------------------------------------
pdf_ids=$(spool_jobs pdf 6 KILL)
start=$(ms)
kill_rounds "$pdfproc" "$kill_rounds"
"$pdfproc" --spool "$spooldir" --once >/dev/null 2>&1 || fail "pdf: the last processor did not finish ($?)"
pdf_ms=$(( $(ms) - start ))
for id in $pdf_ids; do
  file=$(find "$tmp/pdf" -name "KILL$id-$id.PDF")
  [ -n "$file" ] && [ -s "$file" ] || { fail "pdf: job $id has no PDF"; continue; }
  tail -c 8 "$file" | grep -q '%%EOF' || fail "pdf: job $id: the PDF is not complete"
  inodes=$(awk -v f="KILL$id-$id.PDF" '$1 == f { print $2 }' "$tmp/inodes" "/dev/null" | sort -u | wc -l)
  [ "$inodes" -le 1 ] || fail "pdf: job $id was rendered $inodes times"
done
left=$(find "$tmp/pdf" "$spooldir" -name '*.tmp*' | wc -l)
[ "$left" -eq 0 ] || fail "pdf: temporary files left: $(find "$tmp/pdf" "$spooldir" -name '*.tmp*')"
[ "$(sql "$spooldir/SPOOL.ADT" "SELECT count(*) FROM SPOOL")" = 0 ] || fail "pdf: jobs left in the spool"
[ "$(sql "$spooldir/DET.ADT" "SELECT count(*) FROM DET")" = 0 ] || fail "pdf: detail rows left"
recovered=$(grep -c "schon vollständig geschrieben" "$spooldir/PDFPROC.LOG" 2>/dev/null)
echo "kill pdf: $kill_rounds kills after $(sort -n "$tmp/delays" | head -1)-$(sort -n "$tmp/delays" | tail -1) ms," \
     "6 jobs, $recovered finished files only marked after a kill, $pdf_ms ms in all"
rm -f "$tmp/delays"

# --- stop: SIGTERM during a long job ------------------------------------------------------------
big=$(spool_jobs pdf 1 STOP)
# A long job: its rows 201 times over (the job's count record follows), so that it is still being
# drawn when the signal comes (70,000 rows take the processor a second or two).
sql "$spooldir/DET.ADT" "WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k+1 FROM n WHERE k<200)
  INSERT INTO DET(dsecondfont,d0,d1,d2,d3,d4,d5,d6,d7,ds,id,idmain)
  SELECT dsecondfont,d0,d1,d2,d3,d4,d5,d6,d7,ds,id+k*1000000,idmain FROM DET, n WHERE idmain=$big;
  UPDATE ads_autoinc SET last=(SELECT max(id) FROM DET)"
big_rows=$(sql "$spooldir/DET.ADT" "SELECT count(*) FROM DET WHERE idmain=$big")
sql "$spooldir/JOBSTAND.DB" "UPDATE jobstand SET rows=$big_rows WHERE id=$big"
"$pdfproc" --spool "$spooldir" --poll-ms 20 --idle-seconds 60 >/dev/null 2>&1 &
pid=$!
if wait_for '[ -n "$(find "$tmp/pdf" -name "STOP$big-$big.PDF.tmp*")" ]' 30; then
  sleep 0.3
  t0=$(ms); kill -TERM "$pid"; wait "$pid"; t1=$(ms)
  stop_ms=$((t1 - t0))
  [ "$stop_ms" -lt 5000 ] || fail "stop: the processor took $stop_ms ms to end"
  [ "$(sql "$spooldir/SPOOL.ADT" "SELECT count(*) FROM SPOOL WHERE ID=$big")" = 1 ] || fail "stop: the job is gone"
  [ -z "$(find "$tmp/pdf" -name 'STOP*')" ] || fail "stop: a file of the abandoned job stays"
  "$pdfproc" --spool "$spooldir" --once >/dev/null 2>&1 || fail "stop: the next start failed"
  [ -s "$(find "$tmp/pdf" -name "STOP$big-$big.PDF")" ] || fail "stop: the job was not output at the next start"
  echo "stop: SIGTERM during a job of $big_rows rows: the processor ended in $stop_ms ms"
else
  kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  fail "stop: the long job did not start"
fi

# --- writers: two report commands and a processor at once ------------------------------------
# A report command that ends as the last writer with no job waiting asks the processor to close,
# and it cannot start one (none beside it): the processor is started anew whenever it ends, as the
# window's spooler starts it, until the writers are done and nothing waits.
(
  while :; do
    "$pdfproc" --spool "$spooldir" --poll-ms 20 --idle-seconds 2 >/dev/null 2>&1
    [ -e "$tmp/writers.done" ] && break
  done
) &
proc=$!
writer() {
  local i out
  for i in $(seq 1 "$2"); do
    if out=$("$spooling" "$tmp/db" --year 2024 --spool pdf 2>>"$tmp/writer$1.err"); then
      sed -n 's/^Auftrag: //p' <<<"$out" >>"$tmp/written$1"
    else
      echo "exit $?" >>"$tmp/writer$1.failed"
    fi
  done
}
per_writer=${GS_WRITER_JOBS:-10}
start=$(ms)
writer 1 "$per_writer" & w1=$!
writer 2 "$per_writer" & w2=$!
wait "$w1" "$w2"
wait_for '[ "$(sql "$spooldir/SPOOL.ADT" "SELECT count(*) FROM SPOOL")" = 0 ]' 60 || fail "writers: jobs left in the spool"
write_ms=$(( $(ms) - start ))
: >"$tmp/writers.done"
wait "$proc"
for w in 1 2; do
  [ -e "$tmp/writer$w.failed" ] && fail "writers: writer $w failed $(wc -l <"$tmp/writer$w.failed") times: $(sort -u "$tmp/writer$w.err")"
done
written=$(cat "$tmp/written1" "$tmp/written2" 2>/dev/null | sort -n)
[ "$(wc -l <<<"$written")" -eq $((2 * per_writer)) ] || fail "writers: $(wc -l <<<"$written") jobs written of $((2 * per_writer))"
[ -z "$(uniq -d <<<"$written")" ] || fail "writers: one job number given twice"
for id in $written; do
  n=$(grep -c "Auftrag $id: ausgegeben als " "$spooldir/PDFPROC.LOG")
  [ "$n" -eq 1 ] || fail "writers: job $id output $n times"
done
echo "writers: 2 writers x $per_writer jobs with a processor at once: all written and output once in $write_ms ms"

# --- kill: print through CUPS --------------------------------------------------------------------
if ! command -v lpadmin >/dev/null || [ ! -x /usr/sbin/cupsd ]; then
  echo "CUPS is not installed (scripts/install-deps.sh installs it): print kill check skipped"
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
queue="GS_ONCE_$$"
lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" 2>/dev/null || { fail "lpadmin could not add $queue"; queue=""; exit 1; }
# Held: CUPS keeps every job it accepts in the queue, where it is counted.
cupsdisable "$queue"
write_ini "$(printf '[PRINTERS]\r\nDEFAULT=%s\r\n' "$queue")"
print_ids=$(spool_jobs print 5 KP)
start=$(ms)
kill_rounds "$printproc" "$kill_rounds"
"$printproc" --spool "$spooldir" --once >/dev/null 2>&1 || fail "print: the last processor did not finish ($?)"
print_ms=$(( $(ms) - start ))
accepted=$(lpstat -W all -o "$queue" 2>/dev/null | wc -l)
[ "$accepted" -eq 5 ] || fail "print: CUPS got $accepted jobs for 5 (log: $(cat "$spooldir/PRINTPROC.LOG"))"
for id in $print_ids; do
  n=$(grep -cE "Auftrag $id: (ausgegeben als Druckauftrag|das Drucksystem hatte ihn schon)" "$spooldir/PRINTPROC.LOG")
  [ "$n" -eq 1 ] || fail "print: job $id: $n outputs in the log"
done
[ "$(sql "$spooldir/SPOOL.ADT" "SELECT count(*) FROM SPOOL")" = 0 ] || fail "print: jobs left in the spool"
[ -z "$(find "$spooldir" "/tmp" -maxdepth 1 -name 'DRUCK-*')" ] || fail "print: print files left"
asked=$(grep -c "das Drucksystem hatte ihn schon" "$spooldir/PRINTPROC.LOG")
echo "kill print: $kill_rounds kills after $(sort -n "$tmp/delays" | head -1)-$(sort -n "$tmp/delays" | tail -1) ms," \
     "5 jobs, $accepted accepted by CUPS, $asked found in CUPS after a kill, $print_ms ms in all"

[ $failures -eq 0 ] || exit 1
echo "exactly once: all checks passed"
