#!/usr/bin/env bash
# Renders the printed list of a period as PDF with the report command and turns its first page
# into docs/liste-pdf.png (the picture in the README).
#   bash scripts/list-pdf-picture.sh DATABASE_DIR YEAR [PERIOD]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 2 ]; then
  echo "usage: $0 DATABASE_DIR YEAR [PERIOD]" >&2
  exit 2
fi
cmake -S . -B BUILD -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build BUILD -j2 --target gewinnstatistik-report
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
BUILD/app/programs/gewinnstatistik-report "$1" --year "$2" --period "${3:-0}" --pdf "$tmp/liste.pdf"
pdftoppm -r 70 -png -f 1 -l 1 -singlefile "$tmp/liste.pdf" docs/liste-pdf
echo "docs/liste-pdf.png"
