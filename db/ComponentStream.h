#pragma once
// The binary component stream ("TPF0"): one component with its class name, component name, typed
// property values, collections and child components. The host stores several objects this way
// (extended order information in EXTB, additional info lines in Endtext, some settings items).
//
// Texts in the model are UTF-8. On disk short strings, long strings, identifiers and names are
// Windows-1252; wide strings (UTF-16) and UTF-8 strings are read into UTF-8 as well. The reader never
// reads past its input: truncated, garbage or hostile input raises StreamError.
#include "base/Error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// A component stream that cannot be read or written.
class StreamError : public Error {
public:
    using Error::Error;
};

// The type byte in front of every value on disk.
enum class StreamTag : std::uint8_t {
    EndOfList = 0,
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    String = 6,
    Identifier = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LongString = 12,
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WideString = 18,
    Int64 = 19,
    Utf8String = 20
};

class StreamValue;
struct StreamProperty;

// The properties of one collection item, in stream order. Lookups ignore the case of the name, as
// the host's property names do; the last property of a name wins.
struct StreamItem {
    std::vector<StreamProperty> properties;

    const StreamValue* Find(std::string_view name) const;
    // The property as the given kind; the default when the item does not carry it. A property of
    // another kind is a damaged stream and raises StreamError.
    std::string Text(std::string_view name, std::string_view fallback = {}) const;
    std::string Identifier(std::string_view name, std::string_view fallback = {}) const;
    long long Integer(std::string_view name, long long fallback = 0) const;
    bool Boolean(std::string_view name, bool fallback = false) const;

    StreamItem& Add(std::string name, StreamValue value);
};

class StreamValue {
public:
    // What a value means; the on-disk type byte is chosen by the writer (see WriteComponentStream).
    enum class Kind : std::uint8_t {
        Nil,        // 13
        Boolean,    // 8, 9
        Integer,    // 2, 3, 4, 19
        Float,      // 5 (80-bit), 15 (32-bit); written as 80-bit
        Currency,   // 16: a 64-bit count of 1/10000
        Date,       // 17: day number with fraction
        Text,       // 6, 12, 18, 20
        Identifier, // 7: the name of an enumeration value
        Binary,     // 10: raw bytes
        Set,        // 11: identifiers
        List,       // 1: values
        Collection  // 14: items
    };

    StreamValue() = default; // Nil

    static StreamValue Nil();
    static StreamValue Boolean(bool b);
    static StreamValue Integer(long long i);
    static StreamValue Float(double d);
    static StreamValue CurrencyRaw(long long tenThousandths);
    static StreamValue Date(double dayNumber);
    static StreamValue Text(std::string utf8);
    static StreamValue Identifier(std::string utf8);
    static StreamValue Binary(std::string bytes);
    static StreamValue Set(std::vector<std::string> identifiers);
    static StreamValue List(std::vector<StreamValue> values);
    static StreamValue Collection(std::vector<StreamItem> items);

    Kind ValueKind() const { return kind_; }
    bool IsNil() const { return kind_ == Kind::Nil; }

    // Typed access; the wrong kind raises StreamError.
    bool AsBoolean() const;
    long long AsInteger() const;
    // Float, Date, Currency (divided by 10000) or Integer as a double.
    double AsDouble() const;
    long long CurrencyRaw() const;
    // Text, Identifier and Binary.
    const std::string& AsText() const;
    // Set members.
    const std::vector<std::string>& SetMembers() const;
    const std::vector<StreamValue>& AsList() const;
    const std::vector<StreamItem>& AsCollection() const;

    bool operator==(const StreamValue& other) const;

private:
    void Expect(Kind kind, const char* what) const;

    Kind kind_ = Kind::Nil;
    long long integer_ = 0; // Boolean (0/1), Integer, Currency
    double number_ = 0;     // Float, Date
    std::string text_;      // Text, Identifier, Binary
    std::vector<std::string> set_;
    std::vector<StreamValue> list_;
    std::vector<StreamItem> items_;
};

struct StreamProperty {
    std::string name;
    StreamValue value;
    bool operator==(const StreamProperty& other) const = default;
};

inline bool operator==(const StreamItem& a, const StreamItem& b) { return a.properties == b.properties; }

struct StreamComponent {
    // Prefix flags (the low nibble of a prefix byte 0xF?); 0 writes no prefix. Flag 2 carries
    // childPosition.
    std::uint8_t flags = 0;
    std::optional<long long> childPosition;
    std::string className;
    std::string name;
    std::vector<StreamProperty> properties;
    std::vector<StreamComponent> children;

    static constexpr std::uint8_t kFlagChildPosition = 0x02;

    const StreamValue* Find(std::string_view propertyName) const;
    // The items of the collection property; empty when the component does not carry it. A property
    // of that name that is no collection raises StreamError.
    std::vector<StreamItem> Collection(std::string_view propertyName) const;

    bool operator==(const StreamComponent& other) const = default;
};

// Limits of the reader, far above anything the host writes.
inline constexpr int kMaxStreamDepth = 64;             // nested lists, collections, children
inline constexpr std::size_t kMaxStreamValues = 1u << 18; // values, properties, items per stream

// Reads one component from the start of bytes ("TPF0" first). Bytes after the component are
// ignored. Raises StreamError for anything malformed.
StreamComponent ReadComponentStream(std::string_view bytes);

// Writes one component: texts of up to 255 Windows-1252 bytes as short strings, longer ones as long
// strings, texts with characters the code page lacks as UTF-8 strings; integers in the smallest of
// the 8-, 16- and 32-bit forms (64-bit beyond); floats as 80-bit. Names and identifiers must fit a
// short string in Windows-1252, otherwise StreamError.
std::string WriteComponentStream(const StreamComponent& component);

// The items of the collection property of the one component in bytes; empty bytes give no items.
std::vector<StreamItem> ReadCollectionProperty(std::string_view bytes, std::string_view propertyName);

// One component of the class, empty name, with the collection property holding the items, followed
// by the further properties.
std::string WriteCollectionComponent(std::string_view className, std::string_view propertyName,
                                     const std::vector<StreamItem>& items,
                                     const std::vector<StreamProperty>& furtherProperties = {});

// The 80-bit x87 extended format, little-endian, as 10 bytes. Decoding rounds to the nearest double
// (values beyond its range become infinities or zeros); encoding is exact.
double DecodeExtended(const unsigned char bytes[10]);
void EncodeExtended(double value, unsigned char bytes[10]);

} // namespace gs
