#include "app/ReportOptions.h"

#include "app/PeriodSelection.h"
#include "base/Text.h"

namespace gs {

ReportOptionsResult ParseReportOptions(const std::vector<std::string>& args)
{
    ReportOptions o;
    bool haveYear = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--year") {
            if (!value(v))
                return {std::nullopt, "--year braucht eine Jahreszahl"};
            int year = 0;
            // Four digits of a year the dates can hold: 0001 to 9999.
            if (v.size() != 4 || !TryParseInt32(v, year) || v.find_first_not_of("0123456789") != std::string::npos ||
                year < 1)
                return {std::nullopt, "ungültiges Jahr: " + v};
            o.yearText = v;
            haveYear = true;
        } else if (a == "--period") {
            if (!value(v))
                return {std::nullopt, "--period braucht einen Zeitraum"};
            o.periodIndex = PeriodIndexFromText(v);
            if (o.periodIndex < 0)
                return {std::nullopt, "unbekannter Zeitraum: " + v};
        } else if (a == "--server") {
            if (!value(v) || (v != "local" && v != "remote"))
                return {std::nullopt, "--server braucht local oder remote"};
            o.localServer = v == "local";
        } else if (a == "--format") {
            if (!value(v) || (v != "text" && v != "csv" && v != "json"))
                return {std::nullopt, "--format braucht text, csv oder json"};
            o.format = v == "text" ? ReportFormat::Text : v == "csv" ? ReportFormat::Csv : ReportFormat::Json;
        } else if (a == "--pdf") {
            if (!value(v) || v.empty())
                return {std::nullopt, "--pdf braucht einen Dateinamen"};
            o.pdfFile = v;
        } else if (a == "--spool") {
            if (!value(v) || (v != "pdf" && v != "print"))
                return {std::nullopt, "--spool braucht pdf oder print"};
            o.spool = v == "pdf" ? SpoolTarget::Pdf : SpoolTarget::Print;
        } else if (a == "--group-by") {
            if (!value(v) || !GroupByFromWord(v))
                return {std::nullopt, "--group-by braucht kunde, vertreter, dokumentart oder monat"};
            o.groupBy = GroupByFromWord(v);
        } else if (a == "--filter") {
            if (!value(v))
                return {std::nullopt, "--filter braucht kunde=ID, vertreter=ID, dokumentart=POT oder monat=YYYY-MM"};
            std::string problem;
            o.filter = ParseGroupFilter(v, problem);
            if (!o.filter)
                return {std::nullopt, problem};
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return {std::nullopt, "unbekannte Option: " + a};
        } else if (o.databasePath.empty()) {
            o.databasePath = a;
        } else {
            return {std::nullopt, "überzähliges Argument: " + a};
        }
    }
    if (o.databasePath.empty())
        return {std::nullopt, "DBPATH fehlt"};
    if (!haveYear)
        return {std::nullopt, "--year fehlt"};
    if (!o.pdfFile.empty() && o.spool)
        return {std::nullopt, "--pdf und --spool schließen sich aus"};
    if (o.groupBy && o.spool)
        return {std::nullopt, "--group-by und --spool schließen sich aus (die Gruppentabelle als PDF: --pdf)"};
    return {o, {}};
}

std::string ReportUsage(const std::string& programName)
{
    std::string periods;
    for (size_t i = 0; i < PeriodItems.size(); ++i)
        periods += std::string(i ? ", " : "") + "\"" + PeriodItems[i] + "\"";
    return "Aufruf: " + programName +
           " DBPATH --year YYYY [--period P] [--server local|remote] [--format text|csv|json]\n"
           "       [--pdf FILE | --spool pdf|print] [--group-by kunde|vertreter|dokumentart|monat]\n"
           "       [--filter kunde=ID|vertreter=ID|dokumentart=POT|monat=YYYY-MM]\n"
           "  DBPATH    Verzeichnis der Datenbank (Auftraege.ADT, setup.ADT)\n"
           "  --year    Jahr der Statistik\n"
           "  --period  0 bis 16 oder " + periods + " (Vorgabe \"Ganzes Jahr\")\n"
           "  --server  local (Vorgabe) oder remote\n"
           "  --format  text (Vorgabe), csv (Windows-1252) oder json (UTF-8)\n"
           "  --pdf     die Liste als PDF-Datei FILE statt der Ausgabe auf dem Bildschirm\n"
           "  --spool   die Liste als Druck- oder PDF-Auftrag in den Ausgabespooler (SPOOLER beim Programm)\n"
           "            schreiben; gibt die Auftragsnummer und beim PDF den Pfad der Datei aus\n"
           "  --group-by die Gruppentabelle nach Kunde, Vertreter, Dokumentart oder Monat statt der\n"
           "            Dokumentliste (JSON: zusätzlich \"groups\")\n"
           "  --filter  nur die Dokumente einer Gruppe: Kundennummer, Vertreternummer (0: ohne\n"
           "            Vertreter), Dokumentart 1 (Rechnung) oder 5 (Gutschrift), Monat JJJJ-MM\n";
}

} // namespace gs
