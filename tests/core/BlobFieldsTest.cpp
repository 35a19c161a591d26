#include "db/ComponentStream.h"
#include "db/BlobFields.h"

#include <gtest/gtest.h>

using namespace gs;
using namespace std::string_literals;

namespace {

// Text that compresses but is not trivial, larger than one 64 KB buffer.
std::string OrderText(size_t lines)
{
    std::string s;
    for (size_t i = 0; i < lines; ++i)
        s += "Position " + std::to_string(i) + ": Artikel " + std::to_string(i * 7919 % 1000) + " zu 12,50 €\r\n";
    return s;
}

} // namespace

TEST(BlobFields, ColumnValuesReadAsTheHostWroteThem)
{
    const std::string text = OrderText(5000); // ~200 KB, several buffers each way
    const std::string z = CompressBlob(text);
    std::string badChecksum = z;
    badChecksum.back() = static_cast<char>(badChecksum.back() ^ 0x01);
    std::string badBlockType = z.substr(0, 2) + "\xFF\xFF\xFF\xFF"s;

    struct Case {
        const char* what;
        std::string source;
        std::string expected;
    };
    const Case cases[] = {
        {"empty value", "", ""},
        {"plain text", "Hallo Welt\r\nZeile 2", "Hallo Welt\r\nZeile 2"},
        {"plain binary", "\x00\x01\x02\xFF"s, "\x00\x01\x02\xFF"s},
        {"round trip", z, text},
        {"bytes after the stream", z + "Nachspann", text},
        {"stream cut inside the checksum", z.substr(0, z.size() - 2), text},
        {"empty stream", CompressBlob(""), ""},
        {"wrong checksum", badChecksum, badChecksum},
        {"corrupt data before any output", badBlockType, badBlockType},
        {"header needing a preset dictionary", "\x78\xBB\x00\x00\x00\x01\x03\x00"s, "\x78\xBB\x00\x00\x00\x01\x03\x00"s},
        {"zlib header alone", "\x78\x9C"s, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecompressOrCopy(c.source), c.expected) << c.what;

    EXPECT_EQ(CompressBlob(""), "\x78\x9C\x03\x00\x00\x00\x00\x01"s);
}

TEST(BlobFields, CutStreamYieldsWhatInflatedUpToTheCut)
{
    const std::string text = OrderText(5000);
    const std::string z = CompressBlob(text);
    const std::string got = DecompressOrCopy(std::string_view(z).substr(0, z.size() / 2));
    EXPECT_GT(got.size(), 65536u);
    EXPECT_LT(got.size(), text.size());
    EXPECT_EQ(got, text.substr(0, got.size()));
}

TEST(BlobFields, ContentBeyondTheLimitIsTakenAsPlainBytes)
{
    const std::string z = CompressBlob(std::string(300000, 'a'));
    EXPECT_EQ(DecompressOrCopy(z, 100000), z);
    EXPECT_EQ(DecompressOrCopy(z, 300000), std::string(300000, 'a'));
}

TEST(BlobFields, CompressedComponentStreamReadsBack)
{
    std::vector<StreamItem> items(2);
    items[0].Add("SimpleData", StreamValue::Text("1234,5")).Add("DataType", StreamValue::Integer(9));
    items[1].Add("DataType", StreamValue::Integer(16));
    const std::string stream = WriteCollectionComponent("TAdressExInfoDatasWrapper", "AdressExInfoDatas", items);
    for (const std::string& stored : {CompressBlob(stream), stream})
        EXPECT_EQ(ReadCollectionProperty(DecompressOrCopy(stored), "AdressExInfoDatas"), items);
}
