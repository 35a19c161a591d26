// libFuzzer target: the EXTB column path (DecompressOrCopy, then TAdressExInfo::LoadFromStream and
// the address form TAdressExInfo2), the Endtext path (TAddInfoLines::LoadFromStream on the raw
// bytes), and the fast scan of the common stream form against the full component stream reader:
// whatever the scan accepts, the full reader must read to the same properties and values.
#include "base/Cp1252.h"
#include "base/Numbers.h"
#include "app/Runtime.h"
#include "db/ComponentStream.h"
#include "orders/AddInfoLines.h"
#include "orders/AdressExInfo.h"
#include "db/BlobFields.h"
#include "orders/CollectionScan.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "extb_fuzz: %s\n", what);
        std::abort();
    }
}

bool SameValue(const gs::ScanValue& s, const gs::StreamValue& v)
{
    switch (s.kind) {
    case gs::ScanValue::Kind::Text:
        return v.ValueKind() == gs::StreamValue::Kind::Text && v.AsText() == gs::Cp1252ToUtf8(s.bytes);
    case gs::ScanValue::Kind::Integer:
        return v.ValueKind() == gs::StreamValue::Kind::Integer && v.AsInteger() == s.integer;
    case gs::ScanValue::Kind::Boolean:
        return v.ValueKind() == gs::StreamValue::Kind::Boolean && v.AsBoolean() == (s.integer != 0);
    case gs::ScanValue::Kind::Collection: return v.ValueKind() == gs::StreamValue::Kind::Collection;
    }
    return false;
}

bool SameProperties(std::span<const gs::ScanProperty> scanned, const std::vector<gs::StreamProperty>& read)
{
    if (scanned.size() != read.size())
        return false;
    for (size_t i = 0; i < read.size(); ++i) {
        if (gs::Cp1252ToUtf8(scanned[i].name) != read[i].name || !SameValue(scanned[i].value, read[i].value))
            return false;
    }
    return true;
}

// The scan must agree with the full reader wherever it accepts a stream.
void CompareScan(std::string_view bytes, std::string_view collection)
{
    static gs::CollectionScan scan;
    if (!scan.scan(bytes, collection))
        return;
    gs::StreamComponent c;
    try {
        c = gs::ReadComponentStream(bytes);
    } catch (const gs::StreamError&) {
        Check(false, "the scan accepted a stream the full reader rejects");
    }
    Check(c.children.empty(), "the scan accepted child components");
    Check(SameProperties(scan.root(), c.properties), "root properties differ");
    const std::vector<gs::StreamItem> items = c.Collection(collection);
    Check(items.size() == scan.itemCount(), "item counts differ");
    for (size_t i = 0; i < items.size(); ++i)
        Check(SameProperties(scan.item(i), items[i].properties), "item properties differ");
}

gs::Runtime& Rt()
{
    static gs::Runtime rt("/tmp/extb_fuzz");
    return rt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Rt();
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    // EXTB as the pattern load reads it. A small cap keeps decompression bombs from slowing the
    // fuzzer; the fallback path is the same.
    const std::string content = gs::DecompressOrCopy(input, 1 << 20);
    gs::TAdressExInfo info;
    info.LoadFromStream(content);
    gs::TAdressExInfo2 address;
    address.LoadFromStream(content);
    std::string saved;
    info.SaveToStream(saved);
    gs::TAdressExInfo again;
    again.LoadFromStream(saved);
    // Numbers come back as their 15-digit text reads.
    Check(again.CurrentGewinn == gs::ParseNumber(gs::FloatToText(info.CurrentGewinn)),
          "profit changed after saving and loading again");
    Check(again.Vertreter == info.Vertreter, "representative changed after saving and loading again");
    CompareScan(content, "AdressExInfoDatas");

    // Endtext as stored: never inflated.
    gs::TAddInfoLines lines;
    lines.LoadFromStream(input);
    gs::TAddInfoLines linesAgain;
    linesAgain.LoadFromStream(lines.SaveToStream());
    Check(linesAgain.Count() == lines.Count() && linesAgain.Info1 == lines.Info1 && linesAgain.Info2 == lines.Info2,
          "additional info lines changed after saving and loading again");
    CompareScan(input, "AddInfoLines");
    return 0;
}
