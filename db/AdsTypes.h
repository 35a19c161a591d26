#pragma once
// Plain types of the database client: server kinds, field and index definitions, dataset states.
#include <cstdint>
#include <initializer_list>
#include <string>

namespace gs {

// Server kinds of a connection; local and remote both work on the directory's table files.
enum TAdsServerType { stADS_REMOTE = 0, stADS_LOCAL = 1, stADS_AIS = 2 };

// A set of server kinds.
class TAdsServerTypes {
public:
    constexpr TAdsServerTypes() = default;
    constexpr TAdsServerTypes(std::initializer_list<TAdsServerType> kinds)
    {
        for (TAdsServerType k : kinds)
            bits_ |= Bit(k);
    }
    constexpr bool Contains(TAdsServerType k) const { return (bits_ & Bit(k)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr void Include(TAdsServerType k) { bits_ |= Bit(k); }
    constexpr void Exclude(TAdsServerType k) { bits_ &= static_cast<std::uint8_t>(~Bit(k)); }
    friend constexpr bool operator==(TAdsServerTypes a, TAdsServerTypes b) { return a.bits_ == b.bits_; }

private:
    static constexpr std::uint8_t Bit(TAdsServerType k) { return static_cast<std::uint8_t>(1u << k); }
    std::uint8_t bits_ = 0;
};

// Character type of a new table (the tables store UTF-8 text either way).
enum class TAdsCharType { ANSI, OEM };

// Field types; the stored column's declared SQL type is given behind each.
enum class TAdsFieldType {
    Char,      // CHAR(n): text of at most n characters
    Memo,      // MEMO: text of any length, stored as Windows-1252 bytes
    Binary,    // BINARY: bytes of any length
    ShortInt,  // SHORTINT: 16-bit integer
    Integer,   // INTEGER: 32-bit integer
    AutoInc,   // AUTOINC: 32-bit number assigned on insert, never reused
    Double,    // DOUBLE
    Logical,   // LOGICAL: 0 or 1
    Date,      // DATE: "YYYY-MM-DD"
    Timestamp, // TIMESTAMP: "YYYY-MM-DD HH:MM:SS.SSS"
};

// The conversions of a field's value (Field::AsString, AsInteger, ...), for asking whether one can
// fail (Field::ReadsWithoutFail).
enum class FieldRead { Text, Integer, LargeInt, Float, DateTime, Boolean };

// The declared SQL type of a field ("CHAR(50)", "MEMO", ...).
std::string SqlTypeName(TAdsFieldType type, int size);
// True for MEMO and BINARY.
constexpr bool IsBlobType(TAdsFieldType t) { return t == TAdsFieldType::Memo || t == TAdsFieldType::Binary; }

struct AdsFieldDef {
    std::string name;
    TAdsFieldType type = TAdsFieldType::Char;
    int size = 0; // characters of a Char field; unused otherwise
};

// Index options.
constexpr int ADS_UNIQUE = 1;
constexpr int ADS_DESCENDING = 2;

struct AdsIndexDef {
    std::string tag;        // index name ("DATE", "IDENT")
    std::string expression; // the field the index is on
    int options = 0;        // ADS_UNIQUE | ADS_DESCENDING
};

enum class TDataSetState { Inactive, Browse, Edit, Insert };

// Position of a row; 0 is no row.
struct Bookmark {
    std::int64_t rowId = 0;
    bool Valid() const { return rowId != 0; }
    friend bool operator==(Bookmark a, Bookmark b) { return a.rowId == b.rowId; }
};

} // namespace gs
