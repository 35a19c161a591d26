// Extended order information: the stored EXTB format, its load rules and edge cases, Assign,
// ClearOrderpart, the address text and the country codes.
#include "app/ProcessObjects.h"
#include "db/ComponentStream.h"
#include "orders/AdressExInfo.h"
#include "db/BlobFields.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace gs;
using namespace gs::test;
using namespace std::string_literals;

namespace {

StreamItem Item(int type, const std::string& text)
{
    StreamItem item;
    if (!text.empty())
        item.Add("SimpleData", StreamValue::Text(text));
    item.Add("DataType", StreamValue::Integer(type));
    return item;
}

std::string Extb(const std::vector<StreamItem>& items)
{
    return WriteCollectionComponent("TAdressExInfoDatasWrapper", "AdressExInfoDatas", items);
}

// Every property with a value other than its default.
void Fill(TAdressExInfo& x)
{
    x.Lieferanschrift.Abt = "Einkauf";
    x.Lieferanschrift.Anrede1 = "Frau";
    x.Lieferanschrift.Anrede2 = "Dr.";
    x.Lieferanschrift.VName = "Käthe";
    x.Lieferanschrift.NName = "Müller-Lüdenscheidt";
    x.Lieferanschrift.Strasse = "Schloßallee 7";
    x.Lieferanschrift.Ort = "Würzburg";
    x.Lieferanschrift.PLZ = "97070";
    x.Lieferanschrift.Region = "Unterfranken";
    x.Lieferanschrift.Use = true;
    x.SkontoProz = 2.5;
    x.SkontoDay = 10;
    x.ZZDays = 30;
    x.Default_Worker = "A. Schäfer";
    x.SuperLayoutname = "Layout 2";
    x.Vertreter = "Jörg Weiß";
    x.VertreterID = 4711;
    x.Vertreter_DirectProvsion = -12.75;
    x.Vertreter_Print = false;
    x.Vertreter_Provision = 100.2;
    x.Vertreter_Provision_IsClose = true;
    x.ProvisionsPayInfo = "bezahlt am 01.04.2006";
    x.ArtikelRabatt = {"4711: 5 %", "", "0815: 10 %"};
    x.ProvisionsInfo = {"Provision in % auf Umsatz. 5"};
    x.CurrentGewinn = 1234.5;
    x.DetailGewinn = {std::string(300, 'x'), "Rohertrag: 1234,5 €"}; // a line beyond a short string
    x.AdressExInfoCareOfAdress.Name = "Hausverwaltung Nußbaum";
    x.AdressExInfoCareOfAdress.ID = -7;
    x.ZConditionIndex = 9;
    x.ForeDoc = "AB 10234";
    x.Expression.Source = "a*b";
    x.Expression.Dest = "c";
    x.Expression.DestFormatA = "0.00";
    x.Expression.DestFormatB = "#";
    x.CurrencyInfo_2EURO = 1.95583;
    x.ExtraCalcProvider().ExtraCalcText = "Zuschlag";
    x.ExternalPriceProvider = "Preisdienst";
    x.Warnings = "Kreditlimit überschritten";
}

// Every property but the item list, as "name=value" lines, so a mismatch names the property.
std::string Describe(const TAdressExInfo& x)
{
    std::string s;
    auto add = [&](const char* name, const std::string& v) { s += std::string(name) + "=" + v + "\n"; };
    auto num = [](double d) { return std::to_string(d); };
    auto lines = [](const std::vector<std::string>& l) {
        std::string r;
        for (const std::string& t : l)
            r += "[" + t + "]";
        return r;
    };
    const TLieferAnschrift& a = x.Lieferanschrift;
    add("Lieferanschrift", a.Abt + "|" + a.Anrede1 + "|" + a.Anrede2 + "|" + a.VName + "|" + a.NName + "|" +
                               a.Strasse + "|" + a.Ort + "|" + a.PLZ + "|" + a.Country + "|" + a.Region + "|" +
                               (a.Use ? "1" : "0"));
    add("SkontoProz", num(x.SkontoProz));
    add("SkontoDay", std::to_string(x.SkontoDay));
    add("ZZDays", std::to_string(x.ZZDays));
    add("Default_Worker", x.Default_Worker);
    add("SuperLayoutname", x.SuperLayoutname);
    add("Vertreter", x.Vertreter);
    add("VertreterID", std::to_string(x.VertreterID));
    add("Vertreter_DirectProvsion", num(x.Vertreter_DirectProvsion));
    add("Vertreter_Print", std::to_string(x.Vertreter_Print));
    add("Vertreter_Provision", num(x.Vertreter_Provision));
    add("Vertreter_Provision_IsClose", std::to_string(x.Vertreter_Provision_IsClose));
    add("ProvisionsPayInfo", x.ProvisionsPayInfo);
    add("ArtikelRabatt", lines(x.ArtikelRabatt));
    add("ProvisionsInfo", lines(x.ProvisionsInfo));
    add("CurrentGewinn", num(x.CurrentGewinn));
    add("DetailGewinn", lines(x.DetailGewinn));
    add("CareOf", x.AdressExInfoCareOfAdress.Name + "|" + std::to_string(x.AdressExInfoCareOfAdress.ID));
    add("ZConditionIndex", std::to_string(x.ZConditionIndex));
    add("ForeDoc", x.ForeDoc);
    add("Expression", x.Expression.Source + "|" + x.Expression.Dest + "|" + x.Expression.DestFormatA + "|" +
                          x.Expression.DestFormatB);
    add("CurrencyInfo_2EURO", num(x.CurrencyInfo_2EURO));
    add("ExtraCalcText", x.ExtraCalcProvider().ExtraCalcText);
    add("ExternalPriceProvider", x.ExternalPriceProvider);
    add("Warnings", x.Warnings);
    return s;
}

class AdressExInfoTest : public ::testing::Test {
protected:
    TestRuntime rt;
};

} // namespace

TEST_F(AdressExInfoTest, SaveAndLoadReproduceEveryProperty)
{
    TAdressExInfo a;
    Fill(a);
    std::string stream;
    a.SaveToStream(stream);

    // Items in the host's order, SimpleData left out when empty.
    std::vector<int> order;
    for (const TAdressExInfoData& d : a.Datas.items())
        order.push_back(d.DataType);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 4, 3, 5, 6, 12, 8, 20, 27, 9, 10, 14, 16, 15, 17, 18, 19, 21, 24, 28, 30,
                                       110, 120, 130, 140}));

    for (const std::string& stored : {stream, CompressBlob(stream)}) {
        TAdressExInfo b;
        b.LoadFromStream(DecompressOrCopy(stored));
        EXPECT_EQ(Describe(b), Describe(a));
        EXPECT_EQ(b.Datas.Count(), 26u);
    }
    // Empty texts are left out of the stream; the number is always there.
    TAdressExInfo empty;
    empty.SaveToStream(stream);
    const std::vector<StreamItem> items = ReadCollectionProperty(stream, "AdressExInfoDatas");
    ASSERT_EQ(items.size(), 26u);
    EXPECT_EQ(items[4].Integer("DataType"), 5);
    EXPECT_EQ(items[4].Find("SimpleData"), nullptr);
    EXPECT_EQ(items[1].Text("SimpleData"), "0");
}

TEST_F(AdressExInfoTest, RoundTripExceptions)
{
    TAdressExInfo a;
    a.Lieferanschrift.Country = "DEUTSCHLAND";      // not stored
    a.ZConditionIndex = 5;                          // outside the valid ranges
    a.Expression.Source = "  a + b\t";              // outer blanks and controls
    a.CurrentGewinn = 0.1234567890123456789;        // beyond 15 significant digits
    std::string stream;
    a.SaveToStream(stream);
    TAdressExInfo b;
    b.LoadFromStream(stream);
    EXPECT_EQ(b.Lieferanschrift.Country, "");
    EXPECT_EQ(b.ZConditionIndex, -1);
    EXPECT_EQ(b.Expression.Source, "a + b");
    EXPECT_EQ(b.CurrentGewinn, 0.123456789012346);
}

TEST_F(AdressExInfoTest, ItemRules)
{
    struct Case {
        const char* what;
        std::vector<StreamItem> items;
        std::function<void(const TAdressExInfo&)> check;
    };
    const Case cases[] = {
        {"item 9 alone with the locale's decimal separator",
         {Item(9, "1234,5")},
         [](const TAdressExInfo& x) {
             EXPECT_EQ(x.CurrentGewinn, 1234.5);
             EXPECT_EQ(x.Vertreter_Provision, 0);
         }},
        {"a later item of a number overrides", {Item(16, "1"), Item(16, "2,25")},
         [](const TAdressExInfo& x) { EXPECT_EQ(x.Vertreter_Provision, 2.25); }},
        {"items 7 and 99 are ignored", {Item(7, "77"), Item(99, "x")},
         [](const TAdressExInfo& x) { EXPECT_EQ(Describe(x), Describe(TAdressExInfo())); }},
        {"numbers in another separator or with grouping give 0", {Item(9, "1234.5"), Item(16, "1.234,5")},
         [](const TAdressExInfo& x) {
             EXPECT_EQ(x.CurrentGewinn, 0);
             EXPECT_EQ(x.Vertreter_Provision, 0);
         }},
        {"integer fallbacks", {Item(3, "x"), Item(12, "12a"), Item(15, "ja"), Item(17, "nein"), Item(19, "")},
         [](const TAdressExInfo& x) {
             EXPECT_EQ(x.ZZDays, 0);
             EXPECT_EQ(x.VertreterID, 0);
             EXPECT_TRUE(x.Vertreter_Print);
             EXPECT_FALSE(x.Vertreter_Provision_IsClose);
             EXPECT_EQ(x.AdressExInfoCareOfAdress.ID, 0);
         }},
        {"booleans", {Item(15, "0"), Item(17, "1")},
         [](const TAdressExInfo& x) {
             EXPECT_FALSE(x.Vertreter_Print);
             EXPECT_TRUE(x.Vertreter_Provision_IsClose);
         }},
        {"lines split at CR LF, CR or LF", {Item(10, "a\r\nb\rc\nd\r\n")},
         [](const TAdressExInfo& x) { EXPECT_EQ(x.DetailGewinn, (std::vector<std::string>{"a", "b", "c", "d"})); }},
        {"expression of fewer than four lines", {Item(28, "x+y")},
         [](const TAdressExInfo& x) {
             EXPECT_EQ(x.Expression.Source, "x+y");
             EXPECT_EQ(x.Expression.DestFormatB, "");
         }},
        {"item 100 belongs to the address form only", {Item(100, "a@|@b")},
         [](const TAdressExInfo& x) { EXPECT_EQ(Describe(x), Describe(TAdressExInfo())); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TAdressExInfo x;
        x.LoadFromStream(Extb(c.items));
        c.check(x);
    }
}

TEST_F(AdressExInfoTest, ZConditionIndexKeepsOnlyValidIndexes)
{
    const std::pair<const char*, int> cases[] = {{"0", 0},  {"3", 3},   {"4", -1},  {"5", -1}, {"6", -1},
                                                 {"7", 7},  {"11", 11}, {"12", -1}, {"-2", -1}, {"x", -1},
                                                 {"", -1}};
    for (const auto& [text, expected] : cases) {
        TAdressExInfo x;
        x.ZConditionIndex = 2;
        x.LoadFromStream(Extb({Item(24, text)}));
        EXPECT_EQ(x.ZConditionIndex, expected) << text;
    }
}

TEST_F(AdressExInfoTest, DeliveryAddressText)
{
    struct Case {
        std::string text;
        std::string region;
        bool use;
    };
    const std::string eight = "Einkauf\r\nHerr\r\n\r\nJörg\r\nMüller\r\nHauptstraße 1\r\nWien\r\n1010\r\n";
    const Case cases[] = {
        {eight + "A-\r\nBayern\r\n1\r\n", "ÖSTERREICH", true},
        {eight + "F\r\nBayern\r\n\r\n", "F", false},
        {eight + "\r\nBayern\r\n1", "Bayern", true},
        {eight + "de\r\nX\r\n", "de", false}, // codes are compared with case
        {eight + "LI-\r\n\r\n", "LIECHTENSTEIN", false},
    };
    for (const Case& c : cases) {
        TLieferAnschrift a;
        a.Country = "alt";
        a.LoadFromText(c.text);
        EXPECT_EQ(a.Region, c.region) << c.text;
        EXPECT_EQ(a.Use, c.use) << c.text;
        EXPECT_EQ(a.Country, "");
        EXPECT_EQ(a.Ort, "Wien");
        EXPECT_EQ(a.PLZ, "1010");
        EXPECT_TRUE(a.Valid());
    }
    TLieferAnschrift three;
    three.Use = true;
    three.LoadFromText("Einkauf\r\nHerr\r\nDr.");
    EXPECT_EQ(three.Anrede2, "Dr.");
    EXPECT_EQ(three.PLZ, "");
    EXPECT_EQ(three.Region, "");
    EXPECT_FALSE(three.Use);
    EXPECT_FALSE(three.Valid());

    EXPECT_EQ(CountryNameForCode("D-"), "DEUTSCHLAND");
    EXPECT_EQ(CountryNameForCode("CH"), "SCHWEIZ");
    EXPECT_EQ(CountryNameForCode("I"), "ITALIEN");
    EXPECT_EQ(CountryNameForCode("LU-"), "LUXEMBURG");
    EXPECT_EQ(CountryNameForCode("NL"), "NL");
}

TEST_F(AdressExInfoTest, DamagedStreamsKeepTheDefaults)
{
    const std::string good = Extb({Item(9, "5"), Item(16, "1")});
    StreamItem wrongKind;
    wrongKind.Add("SimpleData", StreamValue::Integer(5)).Add("DataType", StreamValue::Integer(9));
    StreamItem wrongType;
    wrongType.Add("SimpleData", StreamValue::Text("5")).Add("DataType", StreamValue::Text("9"));
    StreamItem wrongKindElsewhere; // in an item the profit load does not take
    wrongKindElsewhere.Add("SimpleData", StreamValue::Integer(5)).Add("DataType", StreamValue::Integer(6));
    const std::string z = CompressBlob(good);
    const std::string inputs[] = {
        "",
        "garbage that is no stream",
        good.substr(0, good.size() - 3),                                 // cut short
        z,                                                               // compressed, not inflated
        Extb({Item(16, "7"), wrongKind}),                                // a text of the wrong kind
        Extb({Item(16, "7"), wrongType}),                                // a number of the wrong kind
        Extb({Item(9, "7"), wrongKindElsewhere, Item(16, "1")}),         // the same in another item
        WriteCollectionComponent("X", "AdressExInfoDatas", {}, {{"AdressExInfoDatas", StreamValue::Text("x")}}),
        "TPF0\x00\x00\x00"s,                                             // no class name
    };
    TAdressExInfo defaults;
    for (const std::string& in : inputs) {
        TAdressExInfo x;
        Fill(x);
        x.CurrencyInfo_2EURO = 0; // without settings a clear leaves the rate as it is
        x.LoadFromStream(in);
        EXPECT_EQ(Describe(x), Describe(defaults)) << in.size();
        EXPECT_EQ(x.Datas.Count(), 0u);
        TAdressExInfo profit;
        Fill(profit);
        profit.CurrencyInfo_2EURO = 0;
        profit.LoadProfitFromStream(in);
        EXPECT_EQ(Describe(profit), Describe(defaults)) << "profit only, " << in.size();
    }
}

TEST_F(AdressExInfoTest, TheProfitLoadTakesProfitCommissionAndRepresentativeAsTheFullLoadAndNothingElse)
{
    TAdressExInfo filled;
    Fill(filled);
    std::string everything;
    filled.SaveToStream(everything);
    // The other stream form goes through the full reader; later items override earlier ones.
    StreamComponent other;
    other.className = "TAdressExInfoDatasWrapper";
    other.properties.push_back({"Tag", StreamValue::Integer(1)});
    other.properties.push_back({"AdressExInfoDatas", StreamValue::Collection({Item(9, "1,5"), Item(16, "2")})});
    const std::string inputs[] = {everything, WriteComponentStream(other),
                                  Extb({Item(9, "1"), Item(6, "Weiß"), Item(16, "3"), Item(12, "7"), Item(9, "-2,25"),
                                        Item(6, "Jörg Weiß"), Item(5, "Bearbeiter")})};
    for (const std::string& in : inputs) {
        TAdressExInfo full, profit, expected;
        full.LoadFromStream(in);
        profit.LoadProfitFromStream(in);
        expected.CurrentGewinn = full.CurrentGewinn;
        expected.Vertreter_Provision = full.Vertreter_Provision;
        expected.Vertreter = full.Vertreter;
        expected.VertreterID = full.VertreterID;
        EXPECT_EQ(Describe(profit), Describe(expected));
        for (const TAdressExInfoData& item : profit.Datas.items())
            EXPECT_TRUE(item.DataType == edCurrentGewinn || item.DataType == edVertreterProvision ||
                        item.DataType == edVertreter || item.DataType == edVertreterID)
                << item.DataType;
    }
    TAdressExInfo last;
    last.LoadProfitFromStream(inputs[2]);
    EXPECT_EQ(last.CurrentGewinn, -2.25);
    EXPECT_EQ(last.Vertreter_Provision, 3);
    EXPECT_EQ(last.Vertreter, "Jörg Weiß");
    EXPECT_EQ(last.VertreterID, 7);
    EXPECT_EQ(last.Default_Worker, "");
}

TEST_F(AdressExInfoTest, OtherStreamFormsReadLikeTheHostsOwn)
{
    // Item order values, a wide string, a 64-bit number and an unknown property: the full reader's
    // forms, read the same as the common one.
    StreamItem wide;
    wide.Add("SimpleData", StreamValue::Text("Jürgen Weiß ₤")).Add("DataType", StreamValue::Integer(6));
    StreamComponent c;
    c.className = "TAdressExInfoDatasWrapper";
    c.properties.push_back({"Tag", StreamValue::Integer(1)});
    c.properties.push_back({"AdressExInfoDatas", StreamValue::Collection({Item(9, "1,5"), wide})});
    std::string bytes = WriteComponentStream(c); // the ₤ makes the writer use a UTF-8 string
    TAdressExInfo x;
    x.LoadFromStream(bytes);
    EXPECT_EQ(x.CurrentGewinn, 1.5);
    EXPECT_EQ(x.Vertreter, "Jürgen Weiß ₤");

    // Item order values in front of each item (other writers put them there).
    std::string ordered = "TPF0\x19TAdressExInfoDatasWrapper\x00\x11" "AdressExInfoDatas\x0E"s;
    ordered += "\x02\x00\x01\x0ASimpleData\x06\x03" "7,5\x08" "DataType\x02\x09\x00"s;
    ordered += "\x02\x01\x01\x08" "DataType\x03\x10\x00\x0ASimpleData\x0C\x01\x00\x00\x00" "2\x00"s;
    ordered += "\x00\x00\x00"s;
    TAdressExInfo y;
    y.LoadFromStream(ordered);
    EXPECT_EQ(y.CurrentGewinn, 7.5);
    EXPECT_EQ(y.Vertreter_Provision, 2);
}

TEST_F(AdressExInfoTest, AssignCopiesValuesNotItems)
{
    TAdressExInfo a;
    Fill(a);
    a.Lieferanschrift.Country = "ÖSTERREICH";
    std::string stream;
    a.SaveToStream(stream);
    TAdressExInfo b;
    b.Assign(a);
    EXPECT_EQ(Describe(b), Describe(a));
    EXPECT_EQ(b.Datas.Count(), 0u);
}

TEST_F(AdressExInfoTest, ClearOrderpartResetsOnlyTheDocumentsValues)
{
    CreateSettings(rt.runtime()); // the settings object, with the second currency's terms it installs
    rt.runtime().settings->SecondCurrency.Enabled = true;
    rt.runtime().settings->SecondCurrency.Rate = 2.5;
    TAdressExInfo kept;
    Fill(kept);
    for (bool resetProvider : {false, true}) {
        TAdressExInfo x;
        Fill(x);
        x.ClearOrderpart(resetProvider);
        EXPECT_EQ(x.CurrentGewinn, 0);
        EXPECT_TRUE(x.DetailGewinn.empty());
        EXPECT_EQ(x.Vertreter_DirectProvsion, 0);
        EXPECT_TRUE(x.Vertreter_Print);
        EXPECT_EQ(x.Vertreter_Provision, 0);
        EXPECT_FALSE(x.Vertreter_Provision_IsClose);
        EXPECT_TRUE(x.ProvisionsInfo.empty());
        EXPECT_EQ(x.ForeDoc, "");
        EXPECT_EQ(x.Expression.Save(), "\r\n\r\n\r\n");
        EXPECT_EQ(x.CurrencyInfo_2EURO, 2.5);
        EXPECT_EQ(x.ExternalPriceProvider, resetProvider ? "" : "Preisdienst");
        // Address, payment, representative and the rest stay.
        EXPECT_EQ(x.Lieferanschrift.NName, kept.Lieferanschrift.NName);
        EXPECT_TRUE(x.Lieferanschrift.Use);
        EXPECT_EQ(x.SkontoProz, kept.SkontoProz);
        EXPECT_EQ(x.ZZDays, kept.ZZDays);
        EXPECT_EQ(x.ZConditionIndex, kept.ZConditionIndex);
        EXPECT_EQ(x.Vertreter, kept.Vertreter);
        EXPECT_EQ(x.VertreterID, kept.VertreterID);
        EXPECT_EQ(x.ProvisionsPayInfo, kept.ProvisionsPayInfo);
        EXPECT_EQ(x.ArtikelRabatt, kept.ArtikelRabatt);
        EXPECT_EQ(x.Warnings, kept.Warnings);
        EXPECT_EQ(x.ExtraCalcProvider().ExtraCalcText, "Zuschlag");
    }
}

TEST_F(AdressExInfoTest, ClearTakesTheSecondCurrencyRateOfTheSettings)
{
    TAdressExInfo without;
    without.CurrencyInfo_2EURO = 3;
    without.Clear();
    EXPECT_EQ(without.CurrencyInfo_2EURO, 3) << "no settings object: unchanged";

    CreateSettings(rt.runtime()); // the settings object, with the second currency's terms it installs
    TAdressExInfo disabled;
    EXPECT_EQ(disabled.CurrencyInfo_2EURO, 1.5) << "a disabled second currency answers 1.5";
    rt.runtime().settings->SecondCurrency.Enabled = true;
    rt.runtime().settings->SecondCurrency.Rate = 1.95583;
    disabled.CurrencyInfo_2EURO = 0;
    disabled.LoadFromStream("");
    EXPECT_EQ(disabled.CurrencyInfo_2EURO, 1.95583);
    // A clear also forgets the delivery address's Use of an earlier document.
    TAdressExInfo x;
    x.Lieferanschrift.Use = true;
    x.LoadFromStream(Extb({Item(9, "1")}));
    EXPECT_FALSE(x.Lieferanschrift.Use);
}

TEST_F(AdressExInfoTest, AddressFormCarriesMoreData)
{
    TAdressExInfo2 a;
    Fill(a);
    a.MoreData = {"1@|@Kunde seit 1998", "2@|@Rabattgruppe B"};
    std::string stream;
    a.SaveToStream(stream);
    ASSERT_GT(a.Datas.Count(), 0u);
    EXPECT_EQ(a.Datas.Items(0).DataType, 100);
    TAdressExInfo2 b;
    b.LoadFromStream(stream);
    EXPECT_EQ(b.MoreData, a.MoreData);
    EXPECT_EQ(Describe(b), Describe(a));

    TAdressExInfo2 first;
    first.LoadFromStream(Extb({Item(100, "erste"), Item(100, "zweite")}));
    EXPECT_EQ(first.MoreData, std::vector<std::string>{"erste"}) << "the first item 100 counts";
    first.LoadFromStream("kaputt");
    EXPECT_TRUE(first.MoreData.empty());

    TAdressExInfo2 copy;
    copy.Assign(a);
    EXPECT_EQ(copy.MoreData, a.MoreData);
    TAdressExInfo plain;
    copy.Assign(plain);
    EXPECT_EQ(copy.MoreData, a.MoreData) << "a plain source has no MoreData to copy";
}

TEST_F(AdressExInfoTest, RegisteredExtraCalcProviderClassIsUsed)
{
    struct Provider : TCustomExtraCalcProvider {
        double ExtraValue(int, double base) const override { return base * 2; }
    };
    EXPECT_EQ(TAdressExInfo().ExtraCalcProvider().ExtraValue(0, 5), 0);
    RegisterExtraCalcProviderClass("TExtraCalcProvider", [] { return std::make_unique<Provider>(); });
    TAdressExInfo x;
    UnregisterExtraCalcProviderClass("TExtraCalcProvider");
    EXPECT_EQ(x.ExtraCalcProvider().ExtraValue(0, 5), 10);
    x.LoadFromStream(Extb({Item(120, "Aufschlag")}));
    EXPECT_EQ(x.ExtraCalcProvider().ExtraCalcText, "Aufschlag");
}
