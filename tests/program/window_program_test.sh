#!/usr/bin/env bash
# End-to-end checks of the window program as scripts and installers meet it, without a display:
# exit status, messages on standard error, and the menu file's mode and protection.
#   window_program_test.sh PROGRAM
set -u
program="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The module finds ZS.MNU and its option files beside its program file.
cp "$program" "$tmp/gewinnstatistik"
run() { timeout 60 "$tmp/gewinnstatistik" "$@" >/dev/null 2>"$tmp/err"; }

# A start without the host's arguments fails: its message on standard error, exit 1, no box to wait for.
QT_QPA_PLATFORM=offscreen run; rc=$?
[ $rc -eq 1 ] || fail "no arguments: exit $rc"
grep -q "Starten Sie das Programm über zusätzlich > Gewinnstatistik." "$tmp/err" || fail "no arguments: message"

# A successful silent installation: exit 0, nothing on standard error, the file keeps its mode.
printf 'C:\\A\\x.exe;Andere\r\n' >"$tmp/ZS.MNU"
chmod 640 "$tmp/ZS.MNU"
QT_QPA_PLATFORM=offscreen run INSTALL SILENT; rc=$?
[ $rc -eq 0 ] || fail "install: exit $rc: $(cat "$tmp/err")"
grep -q "^C:\\\\A\\\\x.exe;Andere"$'\r'"$" "$tmp/ZS.MNU" || fail "install: other line lost"
grep -q "gewinnstatistik;Gewinnstatistik."$'\r'"$" "$tmp/ZS.MNU" || fail "install: entry missing"
[ "$(stat -c %a "$tmp/ZS.MNU")" = 640 ] || fail "install: mode changed to $(stat -c %a "$tmp/ZS.MNU")"
# (Qt's own notes about the environment aside.)
if grep -v '^QStandardPaths' "$tmp/err" | grep -q .; then fail "install: unexpected output: $(cat "$tmp/err")"; fi

# A read-only menu file: the installation fails, says so on standard error, exits 1 and leaves it.
cp "$tmp/ZS.MNU" "$tmp/before"
chmod 444 "$tmp/ZS.MNU"
QT_QPA_PLATFORM=offscreen run INSTALL SILENT; rc=$?
[ $rc -eq 1 ] || fail "read-only: exit $rc"
grep -q "Gewinnstatistik.: Installation fehlgeschlagen: Fehler: " "$tmp/err" || fail "read-only: message"
cmp -s "$tmp/before" "$tmp/ZS.MNU" || fail "read-only: file changed"
[ "$(stat -c %a "$tmp/ZS.MNU")" = 444 ] || fail "read-only: mode changed"

# Unattended: no display at all; the installation still runs and ends.
chmod 644 "$tmp/ZS.MNU"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 60 "$tmp/gewinnstatistik" INSTALL SILENT \
  >/dev/null 2>"$tmp/err"; rc=$?
[ $rc -eq 0 ] || fail "install without a display: exit $rc: $(cat "$tmp/err")"

[ $failures -eq 0 ] && echo "window program: all checks passed"
exit $failures
