// gewinnstatistik-demodb: writes a complete host database directory (Auftraege.ADT, setup.ADT) with
// generated documents, for trying the module out and for measuring it.
#include "DemoDatabase.h"
#include "DemoSetup.h"
#include "base/ProcessContext.h"
#include "base/Text.h"
#include "db/PgConnInfo.h"
#include "orders/OrdersTable.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

namespace {

const char* const kUsage =
    "Aufruf: gewinnstatistik-demodb --dir VERZEICHNIS|--pg VERBINDUNG [--documents N] [--seed S] [--years VON-BIS] [--mix standard|realistisch]\n"
    "       [--reihenfolge datum|umgekehrt|gemischt] [--ohne-indizes] [--force]\n"
    "  --dir        Zielverzeichnis der Datenbank (wird angelegt)\n"
    "  --pg         statt eines Verzeichnisses eine PostgreSQL-Datenbank: postgresql://... oder\n"
    "               service=NAME (dieselben Zeilen wie im Verzeichnis)\n"
    "  --documents  Anzahl der Dokumente (Vorgabe 2000)\n"
    "  --seed       Startwert der Zufallszahlen (Vorgabe 1); gleicher Startwert, gleiche Tabellen\n"
    "  --years      Jahre der Dokumente, etwa 2022-2026 (Vorgabe)\n"
    "  --mix        Mischung der Dokumentarten: standard (Vorgabe; etwa die Hälfte bezahlte oder\n"
    "               abgeschlossene Rechnungen und Gutschriften) oder realistisch (etwa ein Viertel)\n"
    "  --reihenfolge\n"
    "               physische Reihenfolge der Dokumente in Auftraege.ADT: datum (Vorgabe, wie erzeugt),\n"
    "               umgekehrt oder gemischt (aus dem Startwert); dieselben Dokumente, nur anders abgelegt\n"
    "  --ohne-indizes\n"
    "               Auftraege.ADT ohne die SQL-Indizes hinter ihren Indexnamen (etwa DATE) schreiben\n"
    "  --force      vorhandene Tabellen im Verzeichnis ersetzen\n"
    "  --program-dir VERZEICHNIS\n"
    "               Programmverzeichnis einer Demo-Installation: legt dort TOVIK.INI und ALTEURO.INI an,\n"
    "               wenn sie fehlen\n";

bool ParseCount(const std::string& text, long long& value) { return gs::TryParseInt64(text, value) && value >= 0; }

} // namespace

int main(int argc, char** argv)
{
    gs::ProcessContext context(argc > 0 ? argv[0] : "gewinnstatistik-demodb");
    gs::demo::DemoOptions options;
    bool haveDir = false;
    std::string server;
    std::filesystem::path programDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "Wert fehlt für %s\n%s", arg.c_str(), kUsage);
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--dir") {
            options.dir = value();
            haveDir = true;
        } else if (arg == "--pg") {
            server = value();
        } else if (arg == "--documents") {
            if (!ParseCount(value(), options.orders.documents)) {
                std::fprintf(stderr, "Ungültige Anzahl: %s\n", argv[i]);
                return 2;
            }
        } else if (arg == "--seed") {
            long long seed = 0;
            if (!ParseCount(value(), seed)) {
                std::fprintf(stderr, "Ungültiger Startwert: %s\n", argv[i]);
                return 2;
            }
            options.orders.seed = static_cast<std::uint64_t>(seed);
        } else if (arg == "--years") {
            const std::string v = value();
            const auto dash = v.find('-');
            int from = 0, to = 0;
            const bool ok = dash == std::string::npos
                                ? gs::TryParseInt32(v, from) && (to = from, true)
                                : gs::TryParseInt32(v.substr(0, dash), from) && gs::TryParseInt32(v.substr(dash + 1), to);
            if (!ok) {
                std::fprintf(stderr, "Ungültiger Jahresbereich: %s\n", v.c_str());
                return 2;
            }
            options.orders.firstYear = from;
            options.orders.lastYear = to;
        } else if (arg == "--mix") {
            const std::string v = value();
            if (v == "standard")
                options.orders.mix = gs::demo::DemoMix::Standard;
            else if (v == "realistisch")
                options.orders.mix = gs::demo::DemoMix::Realistic;
            else {
                std::fprintf(stderr, "Unbekannte Mischung: %s\n", v.c_str());
                return 2;
            }
        } else if (arg == "--reihenfolge") {
            const std::string v = value();
            if (v == "datum")
                options.layout.order = gs::demo::RowOrder::Written;
            else if (v == "umgekehrt")
                options.layout.order = gs::demo::RowOrder::Reversed;
            else if (v == "gemischt")
                options.layout.order = gs::demo::RowOrder::Shuffled;
            else {
                std::fprintf(stderr, "Unbekannte Reihenfolge: %s\n", v.c_str());
                return 2;
            }
        } else if (arg == "--ohne-indizes") {
            options.layout.sqlIndexes = false;
        } else if (arg == "--program-dir") {
            programDir = value();
        } else if (arg == "--force") {
            options.force = true;
        } else {
            std::fprintf(stderr, "Unbekannte Option: %s\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }
    if (haveDir == !server.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        const auto start = std::chrono::steady_clock::now();
        if (!server.empty()) {
            if (options.layout.order != gs::demo::RowOrder::Written || !options.layout.sqlIndexes) {
                std::fputs("--reihenfolge und --ohne-indizes gelten nur mit --dir\n", stderr);
                return 2;
            }
            gs::demo::WriteDemoServerDatabase(server, options.orders, options.force);
            if (!programDir.empty())
                gs::demo::WriteDemoProgramFiles(programDir);
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::fprintf(stderr, "%lld Dokumente in %.1f s geschrieben: %s\n", options.orders.documents, seconds,
                         gs::ads::WithoutPassword(server).c_str());
            return 0;
        }
        gs::demo::WriteDemoDatabase(options);
        if (!programDir.empty())
            gs::demo::WriteDemoProgramFiles(programDir);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::error_code ec;
        const auto size = std::filesystem::file_size(options.dir / gs::OrdersTableName, ec);
        std::fprintf(stderr, "%lld Dokumente in %.1f s geschrieben: %s (%.1f MB)\n", options.orders.documents, seconds,
                     (options.dir / gs::OrdersTableName).string().c_str(), static_cast<double>(size) / 1e6);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Fehler: %s\n", e.what());
        return 1;
    }
}
