#!/usr/bin/env bash
# Renders the statistics window offscreen on a host database into docs/screenshot-liste.png,
# docs/screenshot-grafik.png (bars), docs/screenshot-grafik-linien.png (lines) and
# docs/screenshot-grafik-tooltip.png (the mouse resting on a month), after one statistics run.
#   bash scripts/screenshots.sh DATABASE_DIR RELEASE [YEAR [PERIOD_INDEX]]
# With SKIN=FILE in the environment the window is coloured by that skin file and the pictures are
# docs/skin-liste.png and docs/skin-grafik.png.
# PERIOD_INDEX: 0 whole year (default), 1-4 quarters, 5-16 months. Without YEAR the current year.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 2 ]; then
  echo "usage: $0 DATABASE_DIR RELEASE [YEAR [PERIOD_INDEX]]" >&2
  exit 2
fi
cmake -S . -B BUILD -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build BUILD -j2 --target gewinnstatistik-screenshots
mkdir -p docs
skin=()
[ -n "${SKIN:-}" ] && skin=(--skin "$SKIN")
QT_QPA_PLATFORM=offscreen BUILD/app/programs/gewinnstatistik-screenshots "${skin[@]}" "$1" "$2" docs "${3:-}" "${4:-}"
