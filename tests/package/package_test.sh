#!/usr/bin/env bash
# The Debian package as an administrator gets it: built by CPack from the build tree, its file list
# and declared dependencies, and the report command run from the unpacked tree on a seeded database.
#   package_test.sh BUILD_DIR
set -u
build="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

command -v dpkg-deb >/dev/null && command -v dpkg-shlibdeps >/dev/null || { echo "dpkg-dev missing, skipped"; exit 77; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[ -n "$version" ] || { echo "no package version in $build/CPackConfig.cmake"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; exit 1; }
deb="$tmp/out/gewinnstatistik_${version}_amd64.deb"
[ -f "$deb" ] || { ls "$tmp/out"; fail "no gewinnstatistik_${version}_amd64.deb"; exit 1; }

# The file list: the programs side by side, the commands on the PATH, man pages, the desktop entry.
dpkg-deb -c "$deb" | awk '{ print $6 ($7 ? " " $7 " " $8 : "") }' | sed 's|^\./|/|' >"$tmp/list"
for f in /usr/lib/gewinnstatistik/gewinnstatistik /usr/lib/gewinnstatistik/gewinnstatistik-report \
         /usr/lib/gewinnstatistik/gewinnstatistik-pdfproc /usr/lib/gewinnstatistik/gewinnstatistik-printproc \
         /usr/lib/gewinnstatistik/gewinnstatistik-demodb \
         /usr/share/man/man1/gewinnstatistik-report.1.gz /usr/share/man/man1/gewinnstatistik-demodb.1.gz \
         /usr/share/applications/gewinnstatistik.desktop \
         /usr/share/doc/gewinnstatistik/examples/gewinnstatistik-monatsende.service \
         /usr/share/doc/gewinnstatistik/examples/gewinnstatistik-monatsende.timer; do
  grep -qx "$f" "$tmp/list" || fail "package lacks $f"
done
grep -qx "/usr/bin/gewinnstatistik-report -> ../lib/gewinnstatistik/gewinnstatistik-report" "$tmp/list" \
  || fail "gewinnstatistik-report is not linked onto the PATH: $(grep bin/ "$tmp/list")"
# Nothing of the build (tests, benchmarks, static libraries, headers) goes into the package.
if grep -E '_tests?$|bench|\.a$|\.h$|screenshots' "$tmp/list"; then fail "build files in the package"; fi

# Dependencies declared from the shared libraries the programs load.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6gui6 libqt6widgets6 libsqlite3-0 libcups2 libc6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "architecture"

# Unpacked into a root of its own, the programs run from there: the demo program seeds a database,
# the report command on the PATH reads it.
dpkg-deb -x "$deb" "$tmp/root"
"$tmp/root/usr/bin/gewinnstatistik-demodb" --dir "$tmp/db" --documents 300 --seed 5 --years 2025-2025 \
  >/dev/null 2>"$tmp/err" || fail "demo program from the package: $(cat "$tmp/err")"
out=$(QT_QPA_PLATFORM=offscreen "$tmp/root/usr/bin/gewinnstatistik-report" "$tmp/db" --year 2025 2>"$tmp/err"); rc=$?
[ $rc -eq 0 ] || fail "report from the package: exit $rc: $(cat "$tmp/err")"
grep -q "^Bereich: 01.01.2025-31.12.2025" <<<"$out" || fail "report from the package: no range line"
grep -qP "^Netto: .*\t\tProvision: " <<<"$out" || fail "report from the package: no totals line"
QT_QPA_PLATFORM=offscreen "$tmp/root/usr/bin/gewinnstatistik-report" "$tmp/db" --year 2025 --pdf "$tmp/y.pdf" \
  2>"$tmp/err" || fail "PDF from the package: $(cat "$tmp/err")"
[ "$(head -c 5 "$tmp/y.pdf" 2>/dev/null)" = "%PDF-" ] || fail "PDF from the package is no PDF"
man -l "$tmp/root/usr/share/man/man1/gewinnstatistik-report.1.gz" 2>&1 | grep -q "RÜCKGABEWERT" \
  || fail "man page of the report command does not read"

[ $failures -eq 0 ] && echo "package: all checks passed"
exit $((failures > 0))
