#pragma once
// A column of an open table. Obtain it once by name (TAdsTable::FieldByName) and keep the
// reference while the table is open: reading it gives the current row's value without a lookup.
// Values convert as the host's client converts them (numbers as text with the connection's decimal
// separator); NULL is the empty value (0, "", day 0, false).
// Text that does not convert raises gs::ConvertError naming the column and the table.
#include "base/Dates.h"
#include "db/AdsTypes.h"
#include "db/DbValue.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace gs {

class TAdsTable;

class Field {
public:
    Field(TAdsTable& table, int index, std::string name, TAdsFieldType type, int size);
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    const std::string& FieldName() const { return name_; }
    TAdsFieldType DataType() const { return type_; }
    int Size() const { return size_; }        // characters of a CHAR field, else 0
    int Index() const { return index_; }      // 0-based position in the table
    bool IsBlob() const { return IsBlobType(type_); }
    TAdsTable& Table() const { return table_; }

    bool IsNull() const;
    // Text: CHAR as stored; MEMO decoded from Windows-1252; BINARY the raw bytes; numbers in the
    // process's number format; DATE "DD.MM.YYYY"; TIMESTAMP "DD.MM.YYYY HH:MM:SS"; LOGICAL
    // "True"/"False".
    std::string AsString() const;
    int AsInteger() const;
    std::int64_t AsLargeInt() const;
    double AsFloat() const;
    TDateTime AsDateTime() const;
    bool AsBoolean() const;
    // The stored bytes (MEMO: Windows-1252; other types: the text form).
    std::string AsBytes() const;
    // True when reading the field as read asks can fail for no value of it, so that a reader that
    // only checks the value need not read it: text always reads (AsString converts every value);
    // the other conversions where the table's store keeps only values of the column's own type and
    // every value of that type converts (a server's boolean, whole-number and floating-point
    // columns; never dates, whose range on a server is wider).
    bool ReadsWithoutFail(FieldRead read) const;

    // Setters need the table in edit or insert state; the value is stored with the next Post.
    void SetString(std::string_view text);
    void SetInteger(std::int64_t value);
    void SetFloat(double value);
    void SetDateTime(TDateTime value);
    void SetBoolean(bool value);
    // MEMO/BINARY: the blob becomes exactly these bytes; other types: as SetString.
    void SetBytes(std::string_view bytes);
    void Clear();

    // The raw stored value of the current row (views stay valid until the row changes).
    ValueRef Value() const;

private:
    char DecimalSeparator() const; // the connection's, for numbers shown as text
    [[noreturn]] void ConversionError(const std::string& what, const ValueRef& v) const;
    std::string StoredText(const ValueRef& v) const;
    void Store(DbValue v);

    TAdsTable& table_;
    int index_;
    std::string name_;
    TAdsFieldType type_;
    int size_;
};

} // namespace gs
