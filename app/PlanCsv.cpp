#include "app/PlanCsv.h"

#include "app/MonthText.h"
#include "base/AmountText.h"
#include "base/AtomicFile.h"
#include "base/Cp1252.h"
#include "base/FormatFloat.h"
#include "base/Text.h"
#include "spool/CsvFormat.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace gs {

namespace {

constexpr const char* Open = "\xE2\x80\x9E";  // „
constexpr const char* Close = "\xE2\x80\x9C"; // “
constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::array<const char*, 3> Captions = {"Monat", "Netto", "Gewinn"};

std::string Quoted(std::string_view text) { return Open + std::string(text) + Close; }

std::string AmountText(const std::optional<double>& value, const NumberFormats& formats)
{
    return value ? FormatFloat(",0.00", *value, formats) : std::string();
}

[[noreturn]] void Fail(int line, const std::string& cause)
{
    throw PlanCsvError(line, "Zeile " + std::to_string(line) + ": " + cause);
}

// The values of one line: ";" outside double quotes separates them; a quoted value may hold ";" and
// doubled quotes; blanks around a quoted value are ignored.
std::vector<std::string> SplitCsvLine(std::string_view line, int number)
{
    std::vector<std::string> values;
    size_t i = 0;
    for (;;) {
        std::string value;
        size_t start = i;
        while (i < line.size() && line[i] == ' ')
            ++i;
        if (i < line.size() && line[i] == '"') {
            for (++i;; ++i) {
                if (i >= line.size())
                    Fail(number, "Ein Anführungszeichen wird nicht geschlossen");
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        value += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += line[i];
            }
            while (i < line.size() && line[i] == ' ')
                ++i;
            if (i < line.size() && line[i] != ';')
                Fail(number, "Nach dem schließenden Anführungszeichen folgt Text statt " + Quoted(";"));
        } else {
            i = start;
            while (i < line.size() && line[i] != ';')
                value += line[i++];
        }
        values.push_back(std::move(value));
        if (i >= line.size())
            return values;
        ++i; // the ";"
    }
}

bool AllEmpty(const std::vector<std::string>& values)
{
    for (const std::string& v : values)
        if (!Trim(v).empty())
            return false;
    return true;
}

// Where each of Monat, Netto and Gewinn stands.
using ColumnPlaces = std::array<size_t, 3>;

ColumnPlaces PlacesFromHeader(const std::vector<std::string>& header, int number)
{
    ColumnPlaces places{};
    for (size_t c = 0; c < Captions.size(); ++c) {
        size_t at = header.size();
        for (size_t i = 0; i < header.size() && at == header.size(); ++i)
            if (EqualsNoCase(Trim(header[i]), Captions[c]))
                at = i;
        if (at == header.size())
            Fail(number, std::string("Die Kopfzeile hat keine Spalte ") + Quoted(Captions[c]));
        places[c] = at;
    }
    return places;
}

std::optional<double> ReadValue(const std::string& text, const char* column, int number, const NumberFormats& formats)
{
    const AmountReading amount = ReadAmount(text, formats);
    if (amount.empty)
        return std::nullopt;
    if (!amount.value)
        throw PlanCsvError(number, "Zeile " + std::to_string(number) + ", Spalte " + column + ": " + Quoted(Trim(text)) +
                                       " " + amount.cause);
    return amount.value;
}

} // namespace

PlanCsvError::PlanCsvError(int line, const std::string& message) : Error(message), line_(line) {}

std::string PlanCsvText(const YearPlan& plan, const NumberFormats& formats)
{
    std::string text = CsvLine({Captions.begin(), Captions.end()});
    for (int i = 0; i < 12; ++i) {
        const MonthPlan& month = plan.months[static_cast<size_t>(i)];
        text += CsvLine({IsoMonthText(plan.year.Month(i)), AmountText(month.net, formats),
                         AmountText(month.profit, formats)});
    }
    return text;
}

void ExportPlanCsv(const YearPlan& plan, const std::filesystem::path& file)
{
    WriteFileAtomically(file, Utf8ToCp1252(PlanCsvText(plan, CurrentFormats())));
}

YearPlan ParsePlanCsv(std::string_view bytes, const YearSpan& year, const NumberFormats& formats)
{
    if (bytes.size() > PlanCsvMaxBytes)
        throw PlanCsvError(0, "Die Datei ist mit " + std::to_string(bytes.size()) +
                                  " Bytes zu groß für Planwerte (höchstens 1 MB)");
    const std::string text = bytes.substr(0, Utf8Bom.size()) == Utf8Bom ? std::string(bytes.substr(Utf8Bom.size()))
                                                                         : Cp1252ToUtf8(bytes);
    YearPlan plan;
    plan.year = year;
    std::optional<ColumnPlaces> places;
    std::map<int, int> lineOfMonth; // month index -> line that set it
    int number = 0;
    for (size_t at = 0; at < text.size();) {
        // One line, ended by CR LF, a lone CR or a lone LF.
        const size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        const std::string_view line = std::string_view(text).substr(at, end - at);
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        ++number;
        if (line.find_first_not_of(" \t") == std::string_view::npos)
            continue;
        const std::vector<std::string> values = SplitCsvLine(line, number);
        if (AllEmpty(values))
            continue;
        if (!places) {
            // The first line is the header when it names the month's column anywhere.
            const bool header = std::any_of(values.begin(), values.end(),
                                            [](const std::string& v) { return EqualsNoCase(Trim(v), Captions[0]); });
            if (header) {
                places = PlacesFromHeader(values, number);
                continue;
            }
            places = ColumnPlaces{0, 1, 2};
        }
        const size_t needed = std::max({(*places)[0], (*places)[1], (*places)[2]}) + 1;
        if (values.size() < needed)
            Fail(number, std::to_string(values.size()) + (values.size() == 1 ? " Spalte" : " Spalten") + " statt " +
                             std::to_string(needed) + " (Trennzeichen ist " + Quoted(";") + ")");
        const MonthReading month = ReadMonthText(values[(*places)[0]], year);
        if (!month.month)
            Fail(number, month.cause);
        const std::optional<int> index = year.IndexOf(*month.month);
        if (!index)
            Fail(number, "Der Monat " + IsoMonthText(*month.month) + " gehört nicht zum Jahr " + year.Text());
        if (const auto seen = lineOfMonth.find(*index); seen != lineOfMonth.end())
            Fail(number, "Der Monat " + IsoMonthText(*month.month) + " steht schon in Zeile " +
                             std::to_string(seen->second));
        lineOfMonth[*index] = number;
        MonthPlan& target = plan.months[static_cast<size_t>(*index)];
        target.net = ReadValue(values[(*places)[1]], Captions[1], number, formats);
        target.profit = ReadValue(values[(*places)[2]], Captions[2], number, formats);
    }
    return plan;
}

YearPlan ImportPlanCsv(const std::filesystem::path& file, const YearSpan& year)
{
    const auto unreadable = [&](int error) {
        return Error("Planwerte aus " + file.string() + " nicht lesbar: " + SystemErrorText(error));
    };
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw unreadable(errno);
    std::string bytes;
    char buffer[65536];
    // One byte beyond the largest file is enough to say that it is too large.
    while (bytes.size() <= PlanCsvMaxBytes) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            throw unreadable(error);
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    try {
        return ParsePlanCsv(bytes, year, CurrentFormats());
    } catch (const PlanCsvError& e) {
        throw PlanCsvError(e.line(), "Planwerte aus " + file.filename().string() + ", " + e.what());
    }
}

} // namespace gs
