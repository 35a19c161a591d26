#!/usr/bin/env bash
# Runs the statistics window on the bundled demo database, as the host starts it.
# The first call installs what is needed, builds the module and writes a demo installation into
# demo/ (program directory with TOVIK.INI and ALTEURO.INI, database in demo/DATEN with 100,000
# documents over ten years) with every program of the module: the window, the report command and the
# two output processors. Without a display it prints the report of the current year instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B BUILD -DCMAKE_BUILD_TYPE=Release >/dev/null
programs=(gewinnstatistik gewinnstatistik-report gewinnstatistik-pdfproc gewinnstatistik-printproc)
cmake --build BUILD -j"$(nproc)" --target "${programs[@]}" gewinnstatistik-demodb
year=$(date +%Y)
if [ ! -f demo/DATEN/Auftraege.ADT ]; then
  BUILD/tools/demodb/gewinnstatistik-demodb --dir demo/DATEN --documents 100000 --seed 1 \
    --years "$((year - 9))-$year" --program-dir demo
fi
# The module lies beside the host's files it uses (TOVIK.INI, ALTEURO.INI, ZS.MNU), and the output
# processors beside it, where the spooler starts them. Each program is copied beside its old file and
# renamed over it, so that a window or a processor still running from the last call keeps its file
# and this call works all the same.
for p in "${programs[@]}"; do
  cp "BUILD/app/programs/$p" "demo/.$p.new"
  mv -f "demo/.$p.new" "demo/$p"
done
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec demo/gewinnstatistik "$PWD/demo/DATEN" 1 12229
else
  echo "Keine Anzeige gefunden: die Statistik $year als Bericht (das Fenster braucht X11 oder Wayland)." >&2
  exec demo/gewinnstatistik-report "$PWD/demo/DATEN" --year "$year"
fi
