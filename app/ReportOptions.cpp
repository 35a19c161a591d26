#include "app/ReportOptions.h"

#include "app/PeriodSelection.h"
#include "base/Dates.h"
#include "base/Text.h"

#include <cstdio>

namespace gs {

namespace {

// A day as YYYY-MM-DD, exactly so.
bool ParseIsoDay(const std::string& text, TDateTime& day)
{
    int y = 0, m = 0, d = 0;
    char rest = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        text.find_first_not_of("0123456789-") != std::string::npos ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &rest) != 3)
        return false;
    return y >= 1 && TryEncodeDate(y, m, d, day);
}

} // namespace

PeriodChoice ReportPeriodChoice(const ReportOptions& options, int settingFiscalStartMonth)
{
    PeriodChoice choice;
    choice.yearText = options.yearText;
    choice.periodIndex = options.periodIndex;
    choice.fiscalStartMonth = options.fiscalStartMonth.value_or(settingFiscalStartMonth);
    choice.first = options.firstDay;
    choice.last = options.lastDay;
    return choice;
}

ReportOptionsResult ParseReportOptions(const std::vector<std::string>& args)
{
    ReportOptions o;
    bool haveYear = false;
    bool havePeriod = false;
    bool haveFrom = false;
    bool haveTo = false;
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
            havePeriod = true;
        } else if (a == "--from" || a == "--to") {
            TDateTime day = 0;
            if (!value(v))
                return {std::nullopt, a + " braucht ein Datum JJJJ-MM-TT"};
            if (!ParseIsoDay(v, day))
                return {std::nullopt, "ungültiges Datum für " + a + ": " + v + " (JJJJ-MM-TT)"};
            (a == "--from" ? o.firstDay : o.lastDay) = day;
            (a == "--from" ? haveFrom : haveTo) = true;
        } else if (a == "--fiscal-start") {
            int month = 0;
            if (!value(v) || !TryParseInt32(v, month) || v.find_first_not_of("0123456789") != std::string::npos ||
                month < 1 || month > 12)
                return {std::nullopt, "--fiscal-start braucht einen Monat von 1 bis 12"};
            o.fiscalStartMonth = month;
        } else if (a == "--compare") {
            if (!value(v) || v != "vorjahr")
                return {std::nullopt, "--compare braucht vorjahr"};
            o.comparePreviousYear = true;
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
    if ((haveFrom || haveTo) && (haveYear || havePeriod || o.fiscalStartMonth))
        return {std::nullopt, "--from/--to oder --year/--period/--fiscal-start, nicht beides"};
    if (haveFrom != haveTo)
        return {std::nullopt, haveFrom ? "--to fehlt" : "--from fehlt"};
    if (haveFrom) {
        if (o.lastDay < o.firstDay)
            return {std::nullopt, "der Bereich ist verkehrt herum: --to liegt vor --from"};
        o.periodIndex = PeriodFreeRange;
    } else if (!haveYear) {
        return {std::nullopt, "--year fehlt"};
    }
    if (!o.pdfFile.empty() && o.spool)
        return {std::nullopt, "--pdf und --spool schließen sich aus"};
    return {o, {}};
}

std::string ReportUsage(const std::string& programName)
{
    std::string periods;
    for (size_t i = 0; i < PeriodItems.size(); ++i)
        periods += std::string(i ? ", " : "") + "\"" + PeriodItems[i] + "\"";
    return "Aufruf: " + programName +
           " DBPATH (--year YYYY [--period P] [--fiscal-start N] | --from JJJJ-MM-TT --to JJJJ-MM-TT)\n"
           "       [--compare vorjahr] [--server local|remote] [--format text|csv|json] [--pdf FILE | --spool pdf|print]\n"
           "  DBPATH    Verzeichnis der Datenbank (Auftraege.ADT, setup.ADT)\n"
           "  --year    Jahr der Statistik; beginnt das Geschäftsjahr nicht im Januar, das Geschäftsjahr,\n"
           "            das in diesem Jahr beginnt\n"
           "  --period  0 bis 16 oder " + periods + " (Vorgabe \"Ganzes Jahr\");\n"
           "            die Quartale folgen dem Geschäftsjahr, die Monate sind Kalendermonate\n"
           "  --fiscal-start  Monat (1 bis 12), in dem das Geschäftsjahr beginnt (Vorgabe: die Einstellung\n"
           "            \"Geschäftsjahr beginnt im\" des Fensters, sonst Januar)\n"
           "  --from, --to  erster und letzter Tag eines beliebigen Bereichs statt --year/--period\n"
           "  --compare vorjahr  derselbe Bereich ein Jahr früher zum Vergleich (JSON: previous, change)\n"
           "  --server  local (Vorgabe) oder remote\n"
           "  --format  text (Vorgabe), csv (Windows-1252) oder json (UTF-8)\n"
           "  --pdf     die Liste als PDF-Datei FILE statt der Ausgabe auf dem Bildschirm\n"
           "  --spool   die Liste als Druck- oder PDF-Auftrag in den Ausgabespooler (SPOOLER beim Programm)\n"
           "            schreiben; gibt die Auftragsnummer und beim PDF den Pfad der Datei aus\n";
}

} // namespace gs
