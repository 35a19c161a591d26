#include "app/ReportOptions.h"

#include "app/PeriodSelection.h"
#include "base/Dates.h"
#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Text.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace gs {

namespace {

// The picture formats of the chart, by the file's extension.
bool IsChartExtension(const std::string& file)
{
    const std::string ext = std::filesystem::path(file).extension().string();
    return EqualsNoCase(ext, ".png") || EqualsNoCase(ext, ".svg");
}

// "1200x700": both sides 16 to 10000 pixels.
bool ParseSize(const std::string& text, int& width, int& height)
{
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos || text.find_first_not_of("0123456789xX") != std::string::npos)
        return false;
    if (!TryParseInt32(text.substr(0, x), width) || !TryParseInt32(text.substr(x + 1), height))
        return false;
    return width >= 16 && height >= 16 && width <= 10000 && height <= 10000;
}

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
    // With --output the file outputs are named by the period, so they take no file names.
    const bool intoDirectory = std::find(args.begin(), args.end(), "--output") != args.end();
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
                return {std::nullopt, "--year braucht ein Jahr JJJJ"};
            int year = 0;
            // Four digits of a year the dates can hold: 0001 to 9999.
            if (v.size() != 4 || !TryParseInt32(v, year) || v.find_first_not_of("0123456789") != std::string::npos ||
                year < 1)
                return {std::nullopt, "ungültiges Jahr (JJJJ erwartet): " + v};
            o.yearText = v;
            haveYear = true;
        } else if (a == "--period") {
            if (!value(v))
                return {std::nullopt, "--period braucht einen Zeitraum"};
            o.relativePeriod = RelativePeriodFromText(v);
            o.periodIndex = o.relativePeriod ? 0 : PeriodIndexFromText(v);
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
                return {std::nullopt, "--fiscal-start braucht einen MONAT von 1 bis 12"};
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
            o.outputFormat = intoDirectory;
        } else if (a == "--pdf" && intoDirectory) {
            o.outputPdf = true;
        } else if (a == "--xlsx" && intoDirectory) {
            o.outputXlsx = true;
        } else if (a == "--chart" && intoDirectory) {
            o.outputChart = "png";
            if (i + 1 < args.size() && (args[i + 1] == "png" || args[i + 1] == "svg"))
                o.outputChart = args[++i];
        } else if (a == "--xlsx") {
            if (!value(v) || v.empty())
                return {std::nullopt, "--xlsx braucht eine DATEI"};
            o.xlsxFile = v;
        } else if (a == "--chart") {
            if (!value(v) || (!IsChartExtension(v) && v != "-"))
                return {std::nullopt, "--chart braucht eine DATEI auf .png oder .svg (oder - für PNG auf die Standardausgabe)"};
            o.chartFile = v;
        } else if (a == "--lines") {
            o.chartLines = true;
        } else if (a == "--size") {
            if (!value(v) || !ParseSize(v, o.chartWidth, o.chartHeight))
                return {std::nullopt, "--size braucht BxH in Pixeln, etwa 1200x700"};
        } else if (a == "--output") {
            if (!value(v) || v.empty())
                return {std::nullopt, "--output braucht einen ORDNER"};
            o.outputDir = v;
        } else if (a == "--today") {
            if (!value(v) || !(o.today = ParseIsoDay(v)))
                return {std::nullopt, "--today braucht ein Datum JJJJ-MM-TT"};
        } else if (a == "--pdf") {
            if (!value(v) || v.empty())
                return {std::nullopt, "--pdf braucht eine DATEI"};
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
                return {std::nullopt, "--filter braucht kunde=NR, vertreter=NR, dokumentart=NR oder monat=JJJJ-MM"};
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
        return {std::nullopt, "die DATENBANK fehlt (das Verzeichnis der Datenbank)"};
    if ((haveFrom || haveTo) && (haveYear || havePeriod || o.fiscalStartMonth))
        return {std::nullopt, "--from/--to oder --year/--period/--fiscal-start, nicht beides"};
    if (haveFrom != haveTo)
        return {std::nullopt, haveFrom ? "--to fehlt" : "--from fehlt"};
    if (haveFrom) {
        if (o.lastDay < o.firstDay)
            return {std::nullopt, "der Bereich ist verkehrt herum: --to liegt vor --from"};
        o.periodIndex = PeriodFreeRange;
    } else if (!haveYear && !o.relativePeriod) {
        return {std::nullopt, "--year fehlt"};
    }
    if ((o.pdfFile == "-") + (o.xlsxFile == "-") + (o.chartFile == "-") > 1)
        return {std::nullopt, "nur eine Ausgabe kann auf die Standardausgabe (-) gehen"};
    if (!o.pdfFile.empty() && o.spool)
        return {std::nullopt, "--pdf und --spool schließen sich aus"};
    if (o.writesFiles() && o.spool)
        return {std::nullopt, "--spool schließt Ausgaben in Dateien aus"};
    if (!o.outputDir.empty() && !o.outputPdf && !o.outputXlsx && o.outputChart.empty() && !o.outputFormat)
        return {std::nullopt, "--output braucht --pdf, --xlsx, --chart oder --format"};
    if ((o.chartLines || o.chartWidth > 0) && o.chartFile.empty() && o.outputChart.empty())
        return {std::nullopt, "--lines und --size gelten nur mit --chart"};
    if (o.groupBy && o.spool)
        return {std::nullopt, "--group-by und --spool schließen sich aus (die Gruppentabelle als PDF: --pdf)"};
    return {o, {}};
}

std::string ApplyRelativePeriod(ReportOptions& options, CalendarDay clockDay, int settingFiscalStartMonth)
{
    if (!options.relativePeriod)
        return {};
    const CalendarDay today = options.today.value_or(clockDay);
    const int fs = options.fiscalStartMonth.value_or(settingFiscalStartMonth);
    // --year names the (fiscal) year that stands for today's.
    const int fiscalYear =
        options.yearText.empty() ? FiscalYearOf(today.year, today.month, fs) : std::stoi(options.yearText);
    const ResolvedPeriod resolved = ResolveRelativePeriod(*options.relativePeriod, fiscalYear, today.month, fs);
    if (resolved.year < 1)
        return std::string("kein Jahr vor dem Jahr 1: ") + RelativePeriodText(*options.relativePeriod);
    options.yearText = YearItemText(resolved.year, fs);
    options.periodIndex = resolved.periodIndex;
    options.fiscalStartMonth = fs;
    return {};
}

std::string RelativePeriodInFuture(const ReportOptions& options, CalendarDay clockDay)
{
    if (!options.relativePeriod)
        return {};
    const CalendarDay today = options.today.value_or(clockDay);
    PeriodRange range;
    try {
        range = BuildPeriodFilter(options.yearText, options.periodIndex, options.fiscalStartMonth.value_or(1));
    } catch (const ConvertError&) {
        return {}; // a range past the calendar's end: the run names it
    }
    const TDateTime day = EncodeDate(today.year, today.month, today.day);
    if (range.start <= day)
        return {};
    return std::string("Der Zeitraum \"") + RelativePeriodText(*options.relativePeriod) + "\" (" + DateToText(range.start) +
           "-" + DateToText(range.end) + ") liegt ganz nach dem " + DateToText(day) +
           "; für die Zukunft gibt es keine Auswertung.";
}

std::string ReportHelpHint(const std::string& programName)
{
    return "Aufruf und alle Optionen: " + programName + " --hilfe\n";
}

bool AsksForHelp(const std::vector<std::string>& args)
{
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& a) { return a == "--hilfe" || a == "--help" || a == "-h"; });
}

std::string ReportUsage(const std::string& programName)
{
    return "Aufruf: " + programName +
           " DATENBANK (--year JJJJ [--period ZEITRAUM] [--fiscal-start MONAT]\n"
           "          | --from JJJJ-MM-TT --to JJJJ-MM-TT) [--today JJJJ-MM-TT] [--compare vorjahr]\n"
           "        [--server local|remote] [--format text|csv|json]\n"
           "        [--pdf DATEI | --spool pdf|print] [--xlsx DATEI] [--chart DATEI [--lines] [--size BxH]]\n"
           "        [--output ORDNER [--pdf] [--xlsx] [--chart [png|svg]]]\n"
           "        [--group-by kunde|vertreter|dokumentart|monat]\n"
           "        [--filter kunde=NR|vertreter=NR|dokumentart=NR|monat=JJJJ-MM]\n"
           "       " + programName + " --hilfe\n"
           "  DATENBANK       Verzeichnis der Datenbank (Auftraege.ADT, setup.ADT), beim Datenbankserver\n"
           "                  postgresql://... oder service=NAME\n"
           "  --year          Jahr der Auswertung; beginnt das Geschäftsjahr nicht im Januar, das Geschäftsjahr,\n"
           "                  das in diesem Jahr beginnt\n"
           "  --period        \"Ganzes Jahr\" (Vorgabe), \"1. Quartal\" bis \"4. Quartal\", \"Januar\" bis \"Dezember\"\n"
           "                  oder 0 bis 16; die Quartale folgen dem Geschäftsjahr, die Monate sind Kalendermonate.\n"
           "                  Bezogen auf heute: \"Vormonat\", \"Vorquartal\", \"Vorjahr\", \"laufender Monat\",\n"
           "                  \"laufendes Quartal\", \"laufendes Jahr\" (Quartal und Jahr des Geschäftsjahrs; ohne\n"
           "                  --year; mit --year steht dieses Jahr für das heutige); liegt der Zeitraum ganz\n"
           "                  nach heute, endet der Befehl mit 1\n"
           "  --today         der Tag JJJJ-MM-TT, auf den sich diese Zeiträume beziehen, statt heute\n"
           "  --fiscal-start  MONAT (1 bis 12), in dem das Geschäftsjahr beginnt (Vorgabe: die Einstellung\n"
           "                  \"Geschäftsjahr beginnt im\" des Fensters, sonst Januar)\n"
           "  --from, --to    erster und letzter Tag eines beliebigen Bereichs statt --year/--period\n"
           "  --compare vorjahr  derselbe Bereich ein Jahr früher zum Vergleich\n"
           "  --server        local (Vorgabe) oder remote\n"
           "  --format        text (Vorgabe), csv (Windows-1252, mit Titel, Bereich und Summenzeilen)\n"
           "                  oder json (UTF-8)\n"
           "  --pdf           die Liste als PDF-DATEI statt der Ausgabe auf dem Bildschirm\n"
           "  --spool         die Liste als Druck- oder PDF-Auftrag in den Ausgabespooler (SPOOLER beim\n"
           "                  Programm); gibt die Auftragsnummer und beim PDF den Pfad der Datei aus\n"
           "  --xlsx          die Liste als Excel-Arbeitsmappe DATEI (Titel und Bereich darüber, Beträge und\n"
           "                  Daten als Werte, mit Summenzeile)\n"
           "  --chart         die Grafik als Bild DATEI (.png oder .svg); --lines als Linien, --size BxH in\n"
           "                  Pixeln (Vorgabe die Grafik des Fensters in doppelter Größe)\n"
           "  --output        alle verlangten Ausgaben in den ORDNER, benannt nach dem Zeitraum: GEWINN-2026-11,\n"
           "                  GEWINN-2026-Q4, GEWINN-2026, im Geschäftsjahr ab Juli GEWINN-2026-27-Q2-Okt-Dez\n"
           "                  und GEWINN-2026-27-Jul-Jun; Dateien desselben Zeitraums werden ersetzt\n"
           "  --group-by      die Gruppentabelle nach Kunde, Vertreter, Dokumentart oder Monat statt der\n"
           "                  Dokumentliste (JSON: zusätzlich \"groups\")\n"
           "  --filter        nur die Dokumente einer Gruppe: Kundennummer, Vertreternummer (0: ohne\n"
           "                  Vertreter), Dokumentart 1 (Rechnung) oder 5 (Gutschrift), Monat JJJJ-MM\n"
           "  DATEI \"-\" schreibt die PDF-Datei, die Arbeitsmappe oder die Grafik (PNG) auf die Standardausgabe;\n"
           "  nur gewöhnliche Dateien werden ersetzt, nie Verzeichnisse, Geräte, Pipes oder Verknüpfungen.\n"
           "  Rückgabewert: 0 gelungen, 1 Auswertung oder Ausgabe fehlgeschlagen, 2 Befehlszeile fehlerhaft,\n"
           "  3 Start fehlgeschlagen (Datenbank nicht erreichbar)\n";
}

} // namespace gs
