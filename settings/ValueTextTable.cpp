#include "settings/ValueTextTable.h"

#include "base/FormatFloat.h"
#include "base/Numbers.h"
#include "base/Text.h"

#include <array>

namespace gs {

namespace {

constexpr std::array<std::string_view, 6> kFieldNames = {"Text", "Text2", "Text1Netto", "Text2Netto", "Steuer",
                                                         "Value"};

using Record = std::vector<std::string>;

// Splits CSV text into records of fields (";" separated, double-quoted fields with "" inside).
std::vector<Record> ParseCsv(std::string_view text)
{
    std::vector<Record> records;
    Record record;
    std::string field;
    bool quoted = false, fieldStarted = false;
    auto endField = [&] {
        record.push_back(std::move(field));
        field.clear();
        fieldStarted = false;
    };
    auto endRecord = [&] {
        if (fieldStarted || !record.empty())
            endField();
        const bool empty = record.size() == 1 && record[0].empty();
        if (!record.empty() && !empty)
            records.push_back(std::move(record));
        record.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            fieldStarted = true;
        } else if (c == ';') {
            endField();
        } else if (c == '\r' || c == '\n') {
            endRecord();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    endRecord();
    return records;
}

// Column positions of the six fields (-1: not present) when the record is a header.
bool HeaderColumns(const Record& record, std::array<int, 6>& columns)
{
    columns.fill(-1);
    bool any = false;
    for (size_t c = 0; c < record.size(); ++c)
        for (size_t f = 0; f < kFieldNames.size(); ++f)
            if (columns[f] < 0 && EqualsNoCase(Trim(record[c]), kFieldNames[f])) {
                columns[f] = static_cast<int>(c);
                any = true;
            }
    return any;
}

std::string QuoteCsv(std::string_view text)
{
    std::string r = "\"";
    for (char c : text) {
        if (c == '"')
            r += '"';
        r += c;
    }
    return r + '"';
}

} // namespace

void TVSOBJ::LoadFromCsv(std::string_view text)
{
    std::vector<Record> records = ParseCsv(text);
    std::array<int, 6> columns{0, 1, 2, 3, 4, 5};
    size_t first = 0;
    if (!records.empty() && HeaderColumns(records[0], columns))
        first = 1;
    else
        columns = {0, 1, 2, 3, 4, 5};

    std::vector<VSOBJRow> rows;
    rows.reserve(records.size() - first);
    for (size_t r = first; r < records.size(); ++r) {
        const Record& rec = records[r];
        auto field = [&](size_t f) -> std::string {
            const int c = columns[f];
            return c >= 0 && static_cast<size_t>(c) < rec.size() ? rec[static_cast<size_t>(c)] : std::string();
        };
        VSOBJRow row;
        row.Text = Utf8Left(field(0), kTextLength);
        row.Text2 = Utf8Left(field(1), kTextLength);
        row.Text1Netto = Utf8Left(field(2), kTextLength);
        row.Text2Netto = Utf8Left(field(3), kTextLength);
        row.Steuer = StrToIntDef(Trim(field(4)), 0);
        row.Value = ParseNumber(field(5));
        rows.push_back(std::move(row));
    }
    Rows = std::move(rows);
}

std::string TVSOBJ::SaveToCsv() const
{
    std::string out;
    for (size_t f = 0; f < kFieldNames.size(); ++f) {
        if (f)
            out += ';';
        out += kFieldNames[f];
    }
    out += "\r\n";
    for (const VSOBJRow& row : Rows) {
        out += QuoteCsv(row.Text) + ';' + QuoteCsv(row.Text2) + ';' + QuoteCsv(row.Text1Netto) + ';' +
               QuoteCsv(row.Text2Netto) + ';' + std::to_string(row.Steuer) + ';' + FloatToText(row.Value) + "\r\n";
    }
    return out;
}

} // namespace gs
