#include "app/PlanFile.h"

#include "base/AmountText.h"
#include "base/AtomicFile.h"
#include "base/Cp1252.h"
#include "base/Error.h"
#include "base/FindFile.h"
#include "base/FormatFloat.h"
#include "base/IniFile.h"
#include "base/Text.h"

#include <cstdio>
#include <system_error>

namespace gs {

namespace {

constexpr const char* TraceSite = "PLAN.INI";
constexpr const char* NetKey = "Netto";
constexpr const char* ProfitKey = "Gewinn";
constexpr const char* FileComment =
    "; Planwerte der Gewinn-Statistik: Netto und Gewinn je Kalendermonat in Euro (Dezimalpunkt)";

// The file's numbers: decimal point, no grouping, whatever the process's number format.
NumberFormats FileFormats()
{
    NumberFormats f;
    f.decimalSeparator = '.';
    f.thousandSeparator = '\0';
    return f;
}

std::string MonthKey(int month, const char* value)
{
    char key[16];
    std::snprintf(key, sizeof key, "%02d.%s", month, value);
    return key;
}

void Trace(const std::string& what) { TraceSwallowedError(TraceSite, ConvertError(what)); }

// The calendar year a section names; none for anything else (traced).
std::optional<int> SectionYear(const std::string& section)
{
    int year = 0;
    if (section.find_first_not_of("0123456789") == std::string::npos && TryParseInt32(section, year) && year >= 1 &&
        year <= 9999)
        return year;
    Trace("Abschnitt [" + section + "] ist kein Jahr");
    return std::nullopt;
}

// The month and the value a key names ("03.Netto"); false for anything else (traced).
bool ReadKey(const std::string& section, const std::string& key, int& month, bool& net)
{
    const size_t dot = key.find('.');
    if (dot != std::string::npos) {
        const std::string number = key.substr(0, dot);
        const std::string name = key.substr(dot + 1);
        net = EqualsNoCase(name, NetKey);
        if (number.size() == 2 && number.find_first_not_of("0123456789") == std::string::npos &&
            TryParseInt32(number, month) && month >= 1 && month <= 12 && (net || EqualsNoCase(name, ProfitKey)))
            return true;
    }
    Trace("[" + section + "] " + key + ": kein Monatswert (erwartet z. B. 03.Netto oder 03.Gewinn)");
    return false;
}

void ReadFile(const std::filesystem::path& file, PlanBook& book)
{
    const IniFile ini(file);
    const NumberFormats formats = FileFormats();
    for (const std::string& section : ini.ReadSections()) {
        const std::optional<int> year = SectionYear(section);
        if (!year)
            continue;
        for (const std::string& key : ini.ReadSection(section)) {
            int month = 0;
            bool net = false;
            if (!ReadKey(section, key, month, net))
                continue;
            const std::string text = ini.ReadString(section, key, "");
            const AmountReading amount = ReadAmount(text, formats);
            if (!amount.value) {
                Trace("[" + section + "] " + key + ": \xE2\x80\x9E" + text + "\xE2\x80\x9C " + amount.cause);
                continue;
            }
            MonthPlan plan = book.At({*year, month});
            (net ? plan.net : plan.profit) = *amount.value;
            book.Load({*year, month}, plan);
        }
    }
}

void WriteMonth(IniFile& ini, YearMonth month, const MonthPlan& plan)
{
    const std::string section = std::to_string(month.year);
    const NumberFormats formats = FileFormats();
    const auto write = [&](const char* name, const std::optional<double>& value) {
        const std::string key = MonthKey(month.month, name);
        if (value)
            ini.WriteString(section, key, FormatFloat("0.00", *value, formats));
        else
            ini.DeleteKey(section, key);
    };
    write(NetKey, plan.net);
    write(ProfitKey, plan.profit);
    if (ini.SectionExists(section) && ini.ReadSection(section).empty())
        ini.EraseSection(section);
}

} // namespace

std::filesystem::path PlanFileIn(const std::filesystem::path& directory)
{
    return FindFileNoCase(directory, PlanFileName);
}

PlanBook LoadPlanBook(const std::filesystem::path& file)
{
    PlanBook book;
    Guarded(TraceSite, [&] { ReadFile(file, book); });
    return book;
}

void SavePlanBook(PlanBook& book, const std::filesystem::path& file)
{
    if (book.Changed().empty())
        return;
    try {
        std::error_code ec;
        if (!std::filesystem::exists(file, ec) && !ec)
            WriteFileAtomically(file, Utf8ToCp1252(std::string(FileComment) + "\r\n"));
        IniFile ini(file);
        for (const YearMonth& month : book.Changed())
            WriteMonth(ini, month, book.At(month));
        ini.UpdateFile();
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        throw Error("Die Planwerte können nicht gespeichert werden: " + std::string(e.what()));
    }
    book.MarkSaved();
}

} // namespace gs
