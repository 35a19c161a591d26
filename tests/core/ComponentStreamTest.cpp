#include "db/ComponentStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace gs;
using namespace std::string_literals;

namespace {

std::string Short(std::string_view s) { return std::string(1, static_cast<char>(s.size())) + std::string(s); }

std::string Le32(std::uint32_t v)
{
    std::string s;
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

// A stream of one component "TX" named "" whose only property "P" holds the given value bytes.
std::string WithValue(const std::string& valueBytes) { return "TPF0"s + Short("TX") + Short("") + Short("P") + valueBytes + '\0' + '\0'; }

StreamValue ReadValue(const std::string& valueBytes)
{
    const StreamComponent c = ReadComponentStream(WithValue(valueBytes));
    EXPECT_EQ(c.properties.size(), 1u);
    return c.properties.at(0).value;
}

std::string ValueBytes(const StreamValue& v)
{
    StreamComponent c;
    c.className = "TX";
    c.properties.push_back({"P", v});
    const std::string all = WriteComponentStream(c);
    const std::string head = "TPF0"s + Short("TX") + Short("") + Short("P");
    EXPECT_EQ(all.substr(0, head.size()), head);
    EXPECT_EQ(all.substr(all.size() - 2), "\0\0"s);
    return all.substr(head.size(), all.size() - head.size() - 2);
}

StreamComponent EveryKind()
{
    StreamItem first;
    first.Add("SimpleData", StreamValue::Text("x")).Add("DataType", StreamValue::Integer(9));
    StreamItem empty;
    StreamComponent child;
    child.className = "TChild";
    child.name = "Kind1";
    child.properties.push_back({"Tag", StreamValue::Integer(-1)});

    StreamComponent c;
    c.flags = StreamComponent::kFlagChildPosition | 0x01;
    c.childPosition = 3;
    c.className = "TAllKinds";
    c.name = "Alles";
    auto add = [&](const char* name, StreamValue v) { c.properties.push_back({name, std::move(v)}); };
    add("Nil", StreamValue::Nil());
    add("F", StreamValue::Boolean(false));
    add("T", StreamValue::Boolean(true));
    for (long long i : {0LL, 127LL, -128LL, 128LL, -129LL, 32767LL, -32768LL, 32768LL, 2147483647LL,
                        -2147483648LL, 2147483648LL, std::numeric_limits<long long>::min()})
        add("I", StreamValue::Integer(i));
    for (double d : {0.0, -0.0, -1.5, 1234.5, 1e300, -1e-300, 4.9406564584124654e-324, 2.2250738585072014e-308,
                     std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(), 0.1})
        add("X", StreamValue::Float(d));
    add("Cur", StreamValue::CurrencyRaw(-123456789012345LL));
    add("Dat", StreamValue::Date(38808.75));
    add("Empty", StreamValue::Text(""));
    add("Umlaut", StreamValue::Text("Grüße, 10 € – „gut“"));
    add("Long", StreamValue::Text(std::string(300, 'a') + "ä"));
    add("Utf8", StreamValue::Text("Zhōngwén 中文 😀"));
    add("Ident", StreamValue::Identifier("aa_manual"));
    add("Bin", StreamValue::Binary("\0\x01\xFF\x80 bytes"s));
    add("Set", StreamValue::Set({"fsBold", "fsItalic"}));
    add("EmptySet", StreamValue::Set({}));
    add("List", StreamValue::List({StreamValue::Integer(1), StreamValue::List({StreamValue::Text("in")}), StreamValue::List({})}));
    add("Coll", StreamValue::Collection({first, empty}));
    add("EmptyColl", StreamValue::Collection({}));
    c.children = {child, child};
    return c;
}

} // namespace

TEST(ComponentStream, EveryValueKindRoundTrips)
{
    const StreamComponent original = EveryKind();
    const std::string bytes = WriteComponentStream(original);
    const StreamComponent back = ReadComponentStream(bytes);
    EXPECT_EQ(back, original);
    EXPECT_EQ(WriteComponentStream(back), bytes);
    // Trailing bytes after the component are ignored.
    EXPECT_EQ(ReadComponentStream(bytes + "junk"), original);
}

TEST(ComponentStream, WriterChoosesTheSmallestForms)
{
    struct Case {
        StreamValue value;
        std::string bytes;
    };
    const Case cases[] = {
        {StreamValue::Integer(5), "\x02\x05"s},
        {StreamValue::Integer(-1), "\x02\xFF"s},
        {StreamValue::Integer(200), "\x03\xC8\x00"s},
        {StreamValue::Integer(-32769), "\x04\xFF\x7F\xFF\xFF"s},
        {StreamValue::Integer(1LL << 40), "\x13\x00\x00\x00\x00\x00\x01\x00\x00"s},
        {StreamValue::Float(1.0), "\x05\x00\x00\x00\x00\x00\x00\x00\x80\xFF\x3F"s},
        {StreamValue::Float(1234.5), "\x05\x00\x00\x00\x00\x00\x00\x50\x9A\x09\x40"s},
        {StreamValue::Float(-0.0), "\x05\x00\x00\x00\x00\x00\x00\x00\x00\x00\x80"s},
        {StreamValue::Text("Grüße €"), "\x06\x07Gr\xFC\xDF" "e \x80"s},
        {StreamValue::Text(std::string(256, 'z')), "\x0C\x00\x01\x00\x00"s + std::string(256, 'z')},
        {StreamValue::Text(std::string(255, 'z')), "\x06\xFF"s + std::string(255, 'z')},
        {StreamValue::Text("中"), "\x14\x03\x00\x00\x00\xE4\xB8\xAD"s},
        {StreamValue::Identifier("aa_none"), "\x07\x07" "aa_none"s},
        {StreamValue::Set({"a", "bc"}), "\x0B\x01" "a\x02" "bc\x00"s},
        {StreamValue::Collection({StreamItem{}.Add("A", StreamValue::Boolean(true))}), "\x0E\x01\x01" "A\x09\x00\x00"s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValueBytes(c.value), c.bytes) << testing::PrintToString(c.bytes);
}

TEST(ComponentStream, ReadsFormsTheWriterDoesNotUse)
{
    struct Case {
        std::string bytes;
        StreamValue value;
    };
    const Case cases[] = {
        {"\x13\x05\x00\x00\x00\x00\x00\x00\x00"s, StreamValue::Integer(5)},
        {"\x04\xFE\xFF\xFF\xFF"s, StreamValue::Integer(-2)},
        {"\x0C\x02\x00\x00\x00\xE4\xFC"s, StreamValue::Text("äü")},
        {"\x0F\x00\x00\xC0\x3F"s, StreamValue::Float(1.5)},
        // UTF-16: "A", a surrogate pair (U+1F600), an unpaired low and an unpaired high surrogate.
        {"\x12\x05\x00\x00\x00\x41\x00\x3D\xD8\x00\xDE\x00\xDC\x3D\xD8"s, StreamValue::Text("A😀\uFFFD\uFFFD")},
        // UTF-8 with a stray continuation byte, an overlong form and a cut sequence.
        {"\x14\x07\x00\x00\x00" "a\x80" "\xC0\xAF" "b\xE2\x82"s, StreamValue::Text("a\uFFFD\uFFFD\uFFFDb\uFFFD\uFFFD")},
        // 80-bit values a double cannot hold exactly: a denormal, beyond range, an unnormal zero.
        {"\x05\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00"s, StreamValue::Float(0.0)},
        {"\x05\x00\x00\x00\x00\x00\x00\x00\x80\xFE\x7F"s, StreamValue::Float(std::numeric_limits<double>::infinity())},
        {"\x05\x00\x00\x00\x00\x00\x00\x00\xC0\xFF\xFF"s, StreamValue::Float(-std::numeric_limits<double>::quiet_NaN())},
        {"\x05\x00\x00\x00\x00\x00\x00\x00\x00\x05\x40"s, StreamValue::Float(0.0)},
    };
    for (const Case& c : cases) {
        const StreamValue v = ReadValue(c.bytes);
        if (c.value.ValueKind() == StreamValue::Kind::Float && std::isnan(c.value.AsDouble()))
            EXPECT_TRUE(std::isnan(v.AsDouble()));
        else
            EXPECT_EQ(v, c.value) << testing::PrintToString(c.bytes);
    }
}

TEST(ComponentStream, ExtendedFloatsRoundTripExactly)
{
    for (double d : {0.0, -2.5, 1234.5, 1e300, -1e-310, 4.9406564584124654e-324, 3.141592653589793,
                     std::numeric_limits<double>::max(), std::numeric_limits<double>::min()}) {
        unsigned char b[10];
        EncodeExtended(d, b);
        const double back = DecodeExtended(b);
        EXPECT_EQ(std::memcmp(&back, &d, sizeof d), 0) << d;
    }
}

TEST(ComponentStream, ReadsAHandAssembledWrapperWithItemOrder)
{
    // Item 1: order value 0 (int8) before the list byte, SimpleData then DataType.
    // Item 2: order value 1 as int16, DataType only. Item 3: no order value, DataType 300 as int16.
    const std::string bytes = "TPF0"s + Short("TAdressExInfoDatasWrapper") + Short("") + Short("AdressExInfoDatas") +
                              "\x0E" + "\x02\x00\x01"s + Short("SimpleData") + "\x06" + Short("1234,5") +
                              Short("DataType") + "\x02\x09" + '\0' + "\x03\x01\x00\x01"s + Short("DataType") +
                              "\x02\x10" + '\0' + "\x01" + Short("datatype") + "\x03\x2C\x01" + '\0' + '\0' + '\0' + '\0';
    const std::vector<StreamItem> items = ReadCollectionProperty(bytes, "AdressExInfoDatas");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].Text("SimpleData"), "1234,5");
    EXPECT_EQ(items[0].Integer("DataType"), 9);
    EXPECT_EQ(items[1].Text("SimpleData", "leer"), "leer");
    EXPECT_EQ(items[1].Integer("DataType"), 16);
    EXPECT_EQ(items[2].Integer("DataType"), 300); // names match without regard to case
    EXPECT_EQ(items[2].Boolean("Missing", true), true);

    // The writer produces the same layout (without order values).
    std::vector<StreamItem> written(3);
    written[0].Add("SimpleData", StreamValue::Text("1234,5")).Add("DataType", StreamValue::Integer(9));
    written[1].Add("DataType", StreamValue::Integer(16));
    written[2].Add("datatype", StreamValue::Integer(300));
    const std::string expected = "TPF0"s + Short("TAdressExInfoDatasWrapper") + Short("") + Short("AdressExInfoDatas") +
                                 "\x0E" + "\x01" + Short("SimpleData") + "\x06" + Short("1234,5") + Short("DataType") +
                                 "\x02\x09" + '\0' + "\x01" + Short("DataType") + "\x02\x10" + '\0' + "\x01" +
                                 Short("datatype") + "\x03\x2C\x01" + '\0' + '\0' + '\0' + '\0';
    EXPECT_EQ(WriteCollectionComponent("TAdressExInfoDatasWrapper", "AdressExInfoDatas", written), expected);
}

TEST(ComponentStream, CollectionWrapperWithFurtherProperties)
{
    StreamItem line;
    line.Add("ORG_ID", StreamValue::Integer(7)).Add("_1", StreamValue::Text("Zeile")).Add("Forcedelete", StreamValue::Boolean(true));
    const std::string bytes = WriteCollectionComponent("TAddInfoLinesWrapper", "AddInfoLines", {line, line},
                                                       {{"Info1", StreamValue::Text("Info")}, {"Info2", StreamValue::Integer(70000)}});
    const StreamComponent c = ReadComponentStream(bytes);
    EXPECT_EQ(c.className, "TAddInfoLinesWrapper");
    EXPECT_EQ(c.name, "");
    EXPECT_EQ(c.Collection("AddInfoLines"), (std::vector<StreamItem>{line, line}));
    EXPECT_EQ(c.Find("Info1")->AsText(), "Info");
    EXPECT_EQ(c.Find("Info2")->AsInteger(), 70000);
    EXPECT_TRUE(c.Collection("Absent").empty());
    EXPECT_TRUE(ReadCollectionProperty("", "AddInfoLines").empty());

    // Asking for a property as the wrong kind is a damaged stream.
    EXPECT_THROW(c.Collection("Info1"), StreamError);
    EXPECT_THROW(line.Text("ORG_ID"), StreamError);
    EXPECT_THROW(line.Integer("_1"), StreamError);
    EXPECT_THROW(line.Boolean("_1"), StreamError);
    EXPECT_THROW(line.Identifier("_1"), StreamError);
}

TEST(ComponentStream, EveryCutOfAValidStreamIsAnError)
{
    const std::string bytes = WriteComponentStream(EveryKind());
    for (size_t n = 0; n < bytes.size(); ++n)
        EXPECT_THROW(ReadComponentStream(std::string_view(bytes).substr(0, n)), StreamError) << "cut at " << n;
}

TEST(ComponentStream, MalformedStreamsRaiseStreamError)
{
    const std::string head = "TPF0"s + Short("TX") + Short("");
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"no signature", "TPF1"s + Short("TX") + Short("") + '\0' + '\0'},
        {"empty class name", "TPF0\0\0\0\0"s},
        {"unknown type byte", WithValue("\x15")},
        {"end of list as a value", WithValue("\x00"s)},
        {"long string longer than the input", WithValue("\x0C" + Le32(0xFFFFFFFF) + "abc")},
        {"binary longer than the input", WithValue("\x0A" + Le32(0x7FFFFFFF))},
        {"wide string whose byte count overflows", WithValue("\x12" + Le32(0x80000001) + "ab")},
        {"utf-8 string longer than the input", WithValue("\x14" + Le32(50) + "abcd")},
        {"collection item without list byte", WithValue("\x0E\x02\x01\x06"s)},
        {"collection order value not followed by list", WithValue("\x0E\x02\x01\x02\x00"s)},
        {"child position that is no integer", "TPF0\xF2\x06\x01" "a"s + Short("TX") + Short("") + '\0' + '\0'},
        {"lists nested too deep", WithValue(std::string(1000, '\x01') + std::string(1000, '\0'))},
        {"collections nested too deep", [] {
             std::string v;
             for (int i = 0; i < 100; ++i)
                 v += "\x0E\x01"s + Short("C");
             return WithValue(v);
         }()},
        {"children nested too deep", [&] {
             std::string s = "TPF0";
             for (int i = 0; i < 100; ++i)
                 s += Short("TX") + Short("") + '\0';
             return s;
         }()},
        {"too many values", WithValue("\x01" + std::string(kMaxStreamValues + 1, '\x0D') + '\0')},
    };
    for (const Case& c : cases)
        EXPECT_THROW(ReadComponentStream(c.bytes), StreamError) << c.what;
}

TEST(ComponentStream, WriterRefusesWhatCannotBeRead)
{
    auto withProperty = [](std::string name, StreamValue v) {
        StreamComponent c;
        c.className = "TX";
        c.properties.push_back({std::move(name), std::move(v)});
        return c;
    };
    StreamValue deep = StreamValue::Integer(1);
    for (int i = 0; i < kMaxStreamDepth + 2; ++i)
        deep = StreamValue::List({deep});
    const StreamComponent cases[] = {
        StreamComponent{},                                             // no class name
        withProperty(std::string(256, 'n'), StreamValue::Nil()),        // name too long
        withProperty("", StreamValue::Nil()),                           // empty name
        withProperty("中", StreamValue::Nil()),                          // name outside Windows-1252
        withProperty("P", StreamValue::Identifier("中")),
        withProperty("P", StreamValue::Set({"a", ""})),
        withProperty("P", deep),
    };
    for (const StreamComponent& c : cases)
        EXPECT_THROW(WriteComponentStream(c), StreamError);

    // A class name of 240 bytes or more gets an empty prefix so it does not read as one.
    StreamComponent longClass;
    longClass.className = std::string(250, 'T');
    EXPECT_EQ(ReadComponentStream(WriteComponentStream(longClass)), longClass);
}
