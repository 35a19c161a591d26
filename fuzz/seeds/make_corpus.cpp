// Writes the seed corpus of component_stream_fuzz with the module's own writer (see ../README.md).
// Usage: make_corpus OUTPUT_DIR
#include "db/ComponentStream.h"
#include "orders/AdressExInfo.h"
#include "db/BlobFields.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

using namespace gs;
using namespace std::string_literals;

namespace {

std::filesystem::path outDir;

void Save(const std::string& name, const std::string& bytes)
{
    std::ofstream(outDir / name, std::ios::binary) << bytes;
}

StreamItem ExtItem(int type, const std::string& text)
{
    StreamItem item;
    if (!text.empty())
        item.Add("SimpleData", StreamValue::Text(text));
    item.Add("DataType", StreamValue::Integer(type));
    return item;
}

std::string Extb()
{
    const std::vector<StreamItem> items = {
        ExtItem(1, "Einkauf\r\nHerr\r\n\r\nJörg\r\nMüller\r\nHauptstraße 1\r\nKöln\r\n50667\r\nA-\r\n\r\n1\r\n"),
        ExtItem(2, "2,5"), ExtItem(4, "14"), ExtItem(3, "30"), ExtItem(6, "Vertreter Süd"), ExtItem(12, "4711"),
        ExtItem(9, "1234,5"), ExtItem(10, std::string(300, 'x') + "\r\n"), ExtItem(16, "100,25"), ExtItem(15, "1"),
        ExtItem(17, "0"), ExtItem(24, "7"), ExtItem(28, "a*b\r\nc\r\n0.00\r\n"), ExtItem(110, "1,95583"),
        ExtItem(140, ""), ExtItem(99, "unbekannt")};
    return WriteCollectionComponent("TAdressExInfoDatasWrapper", "AdressExInfoDatas", items);
}

std::string Endtext()
{
    std::vector<StreamItem> lines;
    for (int i = 0; i < 3; ++i) {
        StreamItem line;
        line.Add("ORG_ID", StreamValue::Integer(3 - i));
        for (int k = 1; k <= 8; ++k)
            line.Add("_" + std::to_string(k), StreamValue::Text(k == 1 ? "Zusatz " + std::to_string(i) + " €" : ""));
        line.Add("Forcedelete", StreamValue::Boolean(i == 1));
        lines.push_back(line);
    }
    return WriteCollectionComponent("TAddInfoLinesWrapper", "AddInfoLines", lines,
                                    {{"Info1", StreamValue::Text("Hinweis")}, {"Info2", StreamValue::Integer(70000)}});
}

std::string AutoActions()
{
    const char* modes[] = {"aa_none", "aa_manual", "aa_auto"};
    const char* mails[] = {"aa_html", "aa_pdf", "aa_text"};
    std::vector<StreamItem> items;
    for (int i = 0; i < 14; ++i) {
        StreamItem item;
        item.Add("PDFFileAfterClose", StreamValue::Identifier(modes[i % 3]))
            .Add("PDFFileAfterSave", StreamValue::Identifier(modes[(i + 1) % 3]))
            .Add("WVLAfterSave", StreamValue::Identifier(modes[0]))
            .Add("WVLAfterClose", StreamValue::Identifier(modes[2]))
            .Add("PrintAfterSendClose", StreamValue::Identifier(modes[1]))
            .Add("SendAfterPrintClose", StreamValue::Boolean(i % 2 == 0))
            .Add("DefaultMailType", StreamValue::Identifier(mails[i % 3]))
            .Add("BCC", StreamValue::Text(i == 3 ? "a@example.org\r\nb@example.org" : ""))
            .Add("SLayout", StreamValue::Boolean(false))
            .Add("NextDocByClose", StreamValue::Boolean(true));
        items.push_back(item);
    }
    return WriteCollectionComponent("TAutoActionItemsWrapper", "AutoActionItems", items);
}

std::string CellInfos()
{
    std::vector<StreamItem> cells;
    for (int i = 0; i < 4; ++i) {
        StreamItem cell;
        cell.Add("Col", StreamValue::Integer(i)).Add("Row", StreamValue::Integer(i * 200));
        cell.Add("Gray", StreamValue::Text(i == 2 ? "E-Mail" : "Fax"));
        cell.Add("Readonly", StreamValue::Boolean(i == 0));
        cells.push_back(cell);
    }
    return WriteCollectionComponent("TAdressExCellInfosWrapper", "AdressExCellInfos", cells);
}

// Every value kind the writer produces, with a prefix and child components.
std::string EveryKind()
{
    StreamComponent child;
    child.className = "TChild";
    child.name = "Kind";
    child.properties.push_back({"Tag", StreamValue::Integer(-5)});
    StreamComponent c;
    c.flags = StreamComponent::kFlagChildPosition;
    c.childPosition = 2;
    c.className = "TAllKinds";
    c.name = "Alles";
    auto add = [&](const char* name, StreamValue v) { c.properties.push_back({name, std::move(v)}); };
    add("Nil", StreamValue::Nil());
    add("B", StreamValue::Boolean(true));
    add("I16", StreamValue::Integer(-300));
    add("I32", StreamValue::Integer(100000));
    add("I64", StreamValue::Integer(1LL << 40));
    add("X", StreamValue::Float(1234.5));
    add("Tiny", StreamValue::Float(4.9406564584124654e-324));
    add("Inf", StreamValue::Float(std::numeric_limits<double>::infinity()));
    add("Cur", StreamValue::CurrencyRaw(125000));
    add("Dat", StreamValue::Date(38808.5));
    add("Long", StreamValue::Text(std::string(260, 'L')));
    add("Utf8", StreamValue::Text("中文 😀"));
    add("Bin", StreamValue::Binary("\0\1\2\3"s));
    add("Set", StreamValue::Set({"fsBold", "fsItalic"}));
    add("List", StreamValue::List({StreamValue::Integer(1), StreamValue::List({StreamValue::Text("x")})}));
    c.children = {child, child};
    return WriteComponentStream(c);
}

// Forms only other writers produce: order values before items, wide strings, singles, int64.
std::string OtherForms()
{
    auto s = [](std::string_view t) { return std::string(1, static_cast<char>(t.size())) + std::string(t); };
    return "TPF0"s + s("TAdressExInfoDatasWrapper") + s("") + s("AdressExInfoDatas") + "\x0E" + "\x02\x00\x01"s +
           s("SimpleData") + "\x12\x03\x00\x00\x00" "A\x00\xE4\x00\x3D\xD8"s + s("DataType") +
           "\x13\x09\x00\x00\x00\x00\x00\x00\x00"s + '\0' + "\x03\x01\x00\x01"s + s("SimpleData") +
           "\x14\x02\x00\x00\x00\xC3\xA4"s + s("F") + "\x0F\x00\x00\xC0\x3F"s + s("DataType") + "\x04\x10\x00\x00\x00"s +
           '\0' + '\0' + '\0' + '\0';
}

// Every item of the extended order information, as the module's own writer stores them.
std::string ExtbFull()
{
    TAdressExInfo x;
    x.Lieferanschrift.NName = "Müller";
    x.Lieferanschrift.Ort = "Köln";
    x.Lieferanschrift.Use = true;
    x.CurrentGewinn = 1234.5;
    x.Vertreter_Provision = -12.25;
    x.Vertreter = "Jörg Weiß";
    x.DetailGewinn = {"Wareneinsatz: 100", "Rohertrag: 50"};
    x.ZConditionIndex = 8;
    x.Expression.Source = "VK*1,2";
    std::string s;
    x.SaveToStream(s);
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus OUTPUT_DIR\n");
        return 2;
    }
    outDir = argv[1];
    std::filesystem::create_directories(outDir);
    Save("extb.bin", Extb());
    Save("extb.z", CompressBlob(Extb()));
    Save("endtext.bin", Endtext());
    Save("autoactions_1511.bin", AutoActions());
    Save("cellinfos_754.z", CompressBlob(CellInfos()));
    Save("every_kind.bin", EveryKind());
    Save("every_kind.z", CompressBlob(EveryKind()));
    Save("other_forms.bin", OtherForms());
    Save("extb_full.z", CompressBlob(ExtbFull()));
    // Check that each seed reads.
    for (const auto& entry : std::filesystem::directory_iterator(outDir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        (void)ReadComponentStream(DecompressOrCopy(bytes));
    }
    return 0;
}
