#pragma once
// The value text table of the host (settings item 20): rows of captions with a tax key and a
// value, kept as an in-memory table and stored as a CSV text.
//
// Stored form: records separated by line breaks (CR LF written; CR LF, LF or CR read); the first
// record names the fields "Text;Text2;Text1Netto;Text2Netto;Steuer;Value"; each further record is
// one row. Fields are separated by ";". Texts are written in double quotes with an inner double
// quote doubled, and may then hold ";" and line breaks. Steuer is a decimal integer, Value a number
// in the process's number format (decimal "," in euro mode). When reading, a first record that
// names known fields maps the columns by name (in any order, unknown columns ignored); without
// such a record the columns are taken in the order above. Empty records are skipped; numbers that
// do not read give 0; texts are cut to 50 characters.
#include <string>
#include <string_view>
#include <vector>

namespace gs {

struct VSOBJRow {
    std::string Text, Text2, Text1Netto, Text2Netto; // 50 characters each
    int Steuer = 0;
    double Value = 0;

    bool operator==(const VSOBJRow&) const = default;
};

class TVSOBJ {
public:
    std::vector<VSOBJRow> Rows;

    static constexpr size_t kTextLength = 50;

    void Clear() { Rows.clear(); }
    // Replaces the rows with those of the stored text; never raises for malformed text.
    void LoadFromCsv(std::string_view text);
    std::string SaveToCsv() const;
};

} // namespace gs
