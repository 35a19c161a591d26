#pragma once
// Failures of the database layer. Every error raised for a table names its file; an error about a
// column also carries the column's name. Texts are German, as the module shows them to the user:
// "Spalte nicht gefunden: ZZL (Tabelle Auftraege.ADT)".
// Values that cannot be converted to the requested type (text that is no number, a broken date)
// raise gs::FieldConvertError (a gs::ConvertError) instead, with the same naming of column and table.
#include "base/Error.h"

#include <string>

namespace gs {

class AdsError : public Error {
public:
    // text: what failed; table: the table file ("Auftraege.ADT"), empty for connection errors;
    // engineCode: SQLite's extended result code when the storage engine failed, else 0.
    AdsError(const std::string& text, std::string table, std::string column = {}, int engineCode = 0)
        : Error(Compose(text, table)), table_(std::move(table)), column_(std::move(column)),
          engineCode_(engineCode)
    {
    }

    const std::string& Table() const { return table_; }
    const std::string& Column() const { return column_; }
    int EngineCode() const { return engineCode_; }

    // "<text> (Tabelle <table>)", or the text alone without a table.
    static std::string Compose(const std::string& text, const std::string& table)
    {
        return table.empty() ? text : text + " (Tabelle " + table + ")";
    }

private:
    std::string table_;
    std::string column_;
    int engineCode_ = 0;
};

// A stored value that does not convert to the type asked for; the text names the column and the
// table, and so does the error itself.
class FieldConvertError : public ConvertError {
public:
    FieldConvertError(const std::string& text, std::string table, std::string column)
        : ConvertError(text), table_(std::move(table)), column_(std::move(column))
    {
    }
    const std::string& Table() const { return table_; }
    const std::string& Column() const { return column_; }

private:
    std::string table_;
    std::string column_;
};

} // namespace gs
