#!/usr/bin/env bash
# Where the report command writes: a table of targets for --pdf, --xlsx and --chart (a pipe, a
# device node, a symbolic link, a folder, a missing folder, a full file system), each refused with
# its cause in German and nothing there replaced; "-" as standard output; text, CSV and JSON onto a
# full disk; a spooled job that is reported as queued although standard output fails.
# The device node and the full file system (a small tmpfs) need root; without it they are skipped.
#   targets_test.sh REPORT DEMODB
set -u
report="$1"; demodb="$2"
tmp=$(mktemp -d)
full="$tmp/full"
cleanup() { mountpoint -q "$full" 2>/dev/null && umount "$full"; rm -rf "$tmp"; }
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
"$demodb" --dir "$tmp/db" --documents 300 --seed 5 --years 2024-2024 >/dev/null 2>&1 || { echo "demo database failed"; exit 1; }
export QT_QPA_PLATFORM=offscreen
run() { "$report" "$tmp/db" --year 2024 "$@"; }
# A report command built without Qt (the sanitizer build) has no PDF and no chart picture.
qt=1
"$report" /nonexistent --year 2024 --pdf /nonexistent/probe.pdf 2>&1 | grep -q "nicht verfügbar" && qt=0
exts="pdf xlsx png"
[ $qt -eq 1 ] || { exts="xlsx"; echo "report command without Qt: only the workbook's targets are checked"; }

root=0
[ "$(id -u)" -eq 0 ] && root=1
mkdir -p "$tmp/t" "$full"
echo "Ziel" >"$tmp/t/target"
for ext in pdf xlsx png; do
  mkfifo "$tmp/t/fifo.$ext"
  ln -s "$tmp/t/target" "$tmp/t/link.$ext"
  mkdir "$tmp/t/dir.$ext"
  [ $root -eq 1 ] && mknod "$tmp/t/null.$ext" c 1 3
done
if [ $root -eq 1 ] && mount -t tmpfs -o size=48k tmpfs "$full" 2>/dev/null; then
  for ext in pdf xlsx png; do echo "alt" >"$full/old.$ext"; done
  head -c 40000 /dev/zero >"$full/filler" 2>/dev/null # what is left is too small for any output
else
  echo "not root or no tmpfs: the full file system is skipped"
  full=""
fi

# target (without extension) | test of what is there afterwards | cause in the message
cases=(
  "$tmp/t/fifo|-p|benannte Pipe"
  "$tmp/t/link|-L|symbolische Verknüpfung"
  "$tmp/t/dir|-d|ein Verzeichnis"
  "$tmp/t/missing/out|!-e|nicht gefunden"
)
[ $root -eq 1 ] && cases+=("$tmp/t/null|-c|Gerätedatei")
[ -n "$full" ] && cases+=("$full/old|-s|Kein Speicherplatz")
for c in "${cases[@]}"; do
  IFS='|' read -r target check cause <<<"$c"
  for ext in $exts; do
    option="--$ext"
    [ "$ext" = png ] && option="--chart"
    file="$target.$ext"
    timeout 60 "$report" "$tmp/db" --year 2024 $option "$file" >/dev/null 2>"$tmp/err"; rc=$?
    [ $rc -eq 1 ] || fail "$option $file: exit $rc"
    grep -q "$cause" "$tmp/err" || fail "$option $file: no cause \"$cause\": $(cat "$tmp/err")"
    grep -q "Success" "$tmp/err" && fail "$option $file: a cause that is none: $(cat "$tmp/err")"
    if [ "$check" = "!-e" ]; then
      [ -e "$(dirname "$file")" ] && fail "$option $file: the missing folder was made"
    else
      test "$check" "$file" || fail "$option $file: the target changed (test $check)"
    fi
    case "$file" in */old.*) [ "$(cat "$file")" = "alt" ] || fail "$option $file: the old file was replaced" ;; esac
  done
done
[ "$(cat "$tmp/t/target")" = "Ziel" ] || fail "written through the link"
if [ -n "$full" ]; then
  leftovers=$(ls -A "$full" | grep -v -x -e filler -e old.pdf -e old.xlsx -e old.png)
  [ -z "$leftovers" ] || fail "temporary files left on the full disk: $leftovers"
  for format in text csv json; do
    run --format $format >"$full/out.$format" 2>"$tmp/err"; rc=$?
    [ $rc -eq 1 ] || fail "--format $format onto a full disk: exit $rc"
    grep -q "Kein Speicherplatz" "$tmp/err" || fail "--format $format onto a full disk: $(cat "$tmp/err")"
  done
  run --output "$full" --format csv >/dev/null 2>"$tmp/err" && fail "--output onto a full disk: exit 0"
  grep -q "Kein Speicherplatz" "$tmp/err" || fail "--output onto a full disk: $(cat "$tmp/err")"
fi
run --format csv >/dev/full 2>"$tmp/err" && fail "csv onto /dev/full: exit 0"
grep -q "Die Standardausgabe konnte nicht geschrieben werden: Kein Speicherplatz" "$tmp/err" || fail "csv onto /dev/full: $(cat "$tmp/err")"

# "-": the bytes on standard output.
[ "$(run --xlsx - | head -c 2)" = "PK" ] || fail "--xlsx -"
if [ $qt -eq 1 ]; then
  [ "$(run --pdf - | head -c 5)" = "%PDF-" ] || fail "--pdf -"
  [ "$(run --chart - | head -c 4 | od -An -c | tr -d ' ')" = "211PNG" ] || fail "--chart -"
  run --pdf - >/dev/full 2>"$tmp/err" && fail "--pdf - onto /dev/full: exit 0"
  grep -q "Kein Speicherplatz" "$tmp/err" || fail "--pdf - onto /dev/full: $(cat "$tmp/err")"
fi
run --pdf - --xlsx - >/dev/null 2>"$tmp/err"; [ $? -eq 2 ] || fail "two outputs onto standard output"

# A spooled job is queued whatever becomes of the lines that report it.
mkdir -p "$tmp/prog" "$tmp/pdf"
cp "$report" "$tmp/prog/"
printf '[PDF]\r\nBackupDir=%s\r\n' "$tmp/pdf" >"$tmp/prog/TOVIK.INI"
spooling="$tmp/prog/$(basename "$report")"
"$spooling" "$tmp/db" --year 2024 --spool pdf >/dev/full 2>"$tmp/err"; rc=$?
[ $rc -eq 0 ] || fail "--spool with standard output full: exit $rc"
grep -q "Der Auftrag 1 steht im Spooler" "$tmp/err" || fail "--spool with standard output full: $(cat "$tmp/err")"
"$spooling" "$tmp/db" --year 2024 --spool pdf 2>"$tmp/err" | true
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "--spool into a closed pipe: exit ${PIPESTATUS[0]}"
out=$("$spooling" "$tmp/db" --year 2024 --spool pdf)
[ "$(sqlite3 "$tmp/prog/SPOOLER/SPOOL.ADT" "SELECT count(*) FROM SPOOL")" -eq 3 ] || fail "three jobs expected"
grep -q "^PDF: $tmp/pdf/db/GEWINN/GEWINN-[0-9_]*-3.PDF$" <<<"$out" || fail "the third job's own name: $out"

[ $failures -eq 0 ] && echo "all target cases passed"
exit $((failures > 0))
