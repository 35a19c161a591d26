#!/usr/bin/env bash
# Runs the statistics window on the bundled demo database, as the host starts it.
# The first call installs what is needed, builds the module and writes a demo installation into
# demo/ (program directory with TOVIK.INI and ALTEURO.INI, database in demo/DATEN with 100,000
# documents over ten years, PDFs into demo/PDF) with every program of the module: the window, the
# report command and the two output processors. Without a display it prints the report of the
# current year instead.
# Printing: as root the demo uses the system's default CUPS queue, or sets up a CUPS-PDF queue
# "Gewinn-Demo-PDF" (starting the CUPS scheduler when none runs) and names it in demo/TOVIK.INI.
# For the tests: GS_DEMO_DIR (instead of demo), GS_DEMO_DOCUMENTS (instead of 100000),
# GS_DEMO_BUILT=1 (the programs in BUILD are built already: no install, no build).
set -euo pipefail
cd "$(dirname "$0")/.."
demo="${GS_DEMO_DIR:-demo}"
documents="${GS_DEMO_DOCUMENTS:-100000}"
programs=(gewinnstatistik gewinnstatistik-report gewinnstatistik-pdfproc gewinnstatistik-printproc)
if [ "${GS_DEMO_BUILT:-}" != 1 ]; then
  bash scripts/install-deps.sh
  cmake -S . -B BUILD -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build BUILD -j"$(nproc)" --target "${programs[@]}" gewinnstatistik-demodb
fi
year=$(date +%Y)
if [ ! -f "$demo/DATEN/Auftraege.ADT" ]; then
  BUILD/tools/demodb/gewinnstatistik-demodb --dir "$demo/DATEN" --documents "$documents" --seed 1 \
    --years "$((year - 9))-$year" --program-dir "$demo"
fi
demo=$(cd "$demo" && pwd)
# The module lies beside the host's files it uses (TOVIK.INI, ALTEURO.INI, ZS.MNU), and the output
# processors beside it, where the spooler starts them. Each program is copied beside its old file and
# renamed over it, so that a window or a processor still running from the last call keeps its file
# and this call works all the same.
for p in "${programs[@]}"; do
  cp "BUILD/app/programs/$p" "$demo/.$p.new"
  mv -f "$demo/.$p.new" "$demo/$p"
done

# A printer the demo can print on: the system's default queue, else (as root) a CUPS-PDF queue.
demo_printer() {
  command -v lpstat >/dev/null || return 1
  if [ "$(id -u)" -eq 0 ] && ! lpstat -r 2>/dev/null | grep -q "is running"; then
    [ -x /usr/sbin/cupsd ] || return 1
    /usr/sbin/cupsd >/dev/null 2>&1 || return 1
    for _ in $(seq 1 50); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.1; done
  fi
  local default
  default=$(LC_ALL=C lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p')
  if [ -z "$default" ] && [ "$(id -u)" -eq 0 ]; then
    local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    [ -f "$ppd" ] || return 1
    lpadmin -p Gewinn-Demo-PDF -E -v cups-pdf:/ -P "$ppd" -o pdftops-renderer-default=pdftocairo 2>/dev/null || return 1
    lpadmin -d Gewinn-Demo-PDF 2>/dev/null || true
    default=Gewinn-Demo-PDF
  fi
  [ -n "$default" ] && echo "$default"
}
if [ "${GS_DEMO_BUILT:-}" != 1 ]; then
  if printer=$(demo_printer); then
    LC_ALL=C sed -i "s/^DEFAULT=.*\r$/DEFAULT=$printer\r/" "$demo/TOVIK.INI"
    echo "Drucken im Demo auf: $printer" >&2
  else
    echo "Kein Drucker eingerichtet: Drucken braucht eine CUPS-Warteschlange (als root richtet dieser Befehl" \
         "eine CUPS-PDF-Warteschlange ein). PDF-Dateien gehen nach $demo/PDF." >&2
  fi
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$demo/gewinnstatistik" "$demo/DATEN" 1 12229
else
  echo "Keine Anzeige gefunden: die Statistik $year als Bericht (das Fenster braucht X11 oder Wayland)." >&2
  exec "$demo/gewinnstatistik-report" "$demo/DATEN" --year "$year"
fi
