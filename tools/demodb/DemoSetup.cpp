#include "DemoSetup.h"
#include "base/FindFile.h"
#include "base/AtomicFile.h"

#include "base/Cp1252.h"
#include "db/AdsConnection.h"
#include "db/AdsTable.h"
#include "db/BlobFields.h"
#include "settings/AdressExtraGrid.h"
#include "settings/AutoActions.h"
#include "settings/ValueTextTable.h"

namespace gs::demo {

namespace {

using Lines = std::vector<std::string>;

SettingItem Text(int ident, std::string text) { return SettingItem{ident, std::move(text), {}, {}, {}}; }

SettingItem Memo(int ident, const Lines& lines, std::string text = {})
{
    return SettingItem{ident, std::move(text), MemoOfLines(lines), {}, {}};
}

SettingItem Bytes(int ident, std::string bytes) { return SettingItem{ident, {}, {}, std::move(bytes), {}}; }

SettingItem Logo(int ident, const Lines& lines)
{
    return SettingItem{ident, {}, {}, {}, CompressBlob(Utf8ToCp1252(MemoOfLines(lines)))};
}

std::vector<TAutoActionItem> DemoAutoActions()
{
    std::vector<TAutoActionItem> items(14);
    // 1 invoices, 2 offers, 5 credit notes: PDF copy when closed, mail as PDF.
    for (int kind : {1, 2, 5}) {
        items[static_cast<size_t>(kind)].PDFFileAfterClose = TAutoActionMode::aa_auto;
        items[static_cast<size_t>(kind)].DefaultMailType = TAutoActionMailType::aa_pdf;
    }
    items[1].BCC = "buchhaltung@beispiel-handel.de\r\narchiv@beispiel-handel.de";
    items[1].PrintAfterSendClose = TAutoActionMode::aa_manual;
    items[3].WVLAfterSave = TAutoActionMode::aa_manual;
    items[4].SendAfterPrintClose = true;
    items[4].SLayout = true;
    items[6].NextDocByClose = true;
    return items;
}

TVSOBJ DemoValueTexts()
{
    TVSOBJ t;
    t.Rows = {{"Porto und Verpackung", "", "Porto netto", "", 1, 5.9},
              {"Nachnahmegebühr", "", "Nachnahme netto", "", 1, 4.5},
              {"Mindermengenzuschlag", "bis 50 €", "Zuschlag netto", "", 1, 10},
              {"Gutschein", "", "", "", 0, -10}};
    return t;
}

} // namespace

std::vector<SettingItem> DemoSetupItems()
{
    std::vector<SettingItem> items;
    auto text = [&](int ident, std::string value) { items.push_back(Text(ident, std::move(value))); };
    auto lines = [&](int ident, const Lines& value) { items.push_back(Memo(ident, value)); };
    // Texts by type: stringItem for type 1, memo lines for the types 2 to 13.
    auto byType = [&](int ident, std::string type1, const std::string& others) {
        items.push_back(Memo(ident, Lines(12, others), std::move(type1)));
    };

    // Second currency: in use, the old national currency.
    text(20012, "1");
    text(20010, "1,95583");
    text(200011, " DM");
    text(200030, "0");
    text(200031, "0");

    // Tax rates: full and reduced.
    text(949, "19");
    text(950, "7");

    // Totals-block texts of the documents (slots 1 to 8) and the header captions.
    byType(21002, "Warenwert:", "Warenwert:");
    byType(29002, "Zwischensumme:", "Zwischensumme:");
    byType(21003, "+Steuer [ST1]%:", "+MwSt. [ST1]%:");
    byType(21004, "Rechnungsbetrag:", "Gesamtbetrag:");
    byType(21005, "Warenwert:", "Warenwert:");
    byType(29005, "Zwischensumme:", "Zwischensumme:");
    byType(21006, "enthaltene Steuer [ST1]%:", "enthaltene MwSt. [ST1]%:");
    byType(21007, "Rechnungsbetrag:", "Gesamtbetrag:");
    text(21009, "Nr:");
    text(21010, "Datum ");
    text(21011, "Kundennummer ");
    text(21012, "Auftrag ");
    text(21013, "vom ");
    // The same in the second currency.
    byType(20004, "Warenwert DM:", "Warenwert DM:");
    byType(20007, "Rechnungsbetrag DM:", "Gesamtbetrag DM:");
    text(31009, "Nr:");
    text(31010, "Datum ");

    // Parts groups: names (a "#" number sets the order), price modifiers, formulas, text lines.
    lines(650, {"#10Werkzeug", "#20Befestigung", "#30Elektro", "#40Sanitär & Heizung", "Dienstleistung",
                "#5Zubehör"});
    lines(651, {"10 %", "*15", "+2,5", "-5,5", "", "12"});
    lines(660, {"vk * 1,2", "VKEK*1,35", "1,5", "vkek-vk", "", "VK+2"});
    lines(663, {"Handwerkzeug\tElektrowerkzeug", "Schrauben\tDübel\tNägel", "Kabel\tSchalter", "Rohre\tArmaturen",
                "Montage\tBeratung", "Kleinteile"});
    text(964, "2");
    text(219, "0");
    text(661, "5");
    text(662, "benutzer");

    // Free document type names and a few options of the host.
    items.push_back(Memo(201, {"Reparaturauftrag", "Wartung", "Mahnung", "Musterrechnung"}, "Kostenvoranschlag"));
    lines(202, {"Nicht ändern", "LIEFERSCHEIN", "AUFTRAGSBESTÄTIGUNG", "PROFORMA-RECHNUNG"});
    lines(16011, {"1", "Kunde", "2", "Lieferant", "3", "Interessent"});
    lines(1501, {"Sehr geehrte Damen und Herren,", "Sehr geehrte Frau,", "Sehr geehrter Herr,"});

    // Everything else the settings object carries: option flags, further second-currency texts,
    // stored streams, the value text table, the HTML mail template, single values, the number
    // template, address-field roles, coded texts, text lists, automatic actions, article captions,
    // the text block layout, the address extra-data grid and the list layouts.
    const TVSOBJ valueTexts = DemoValueTexts();
    const std::vector<SettingItem> more = {
        Memo(1530, {"1", "0", "1", "0", "0", "1"}),
        Text(29004, "Zwischensumme DM:"),
        Text(20006, "Rechnungsbetrag DM:"),
        Bytes(8101, CompressBlob("{\\rtf1\\ansi Briefkopf Beispiel-Handel GmbH\\par}")),
        Bytes(8102, CompressBlob("{\\rtf1\\ansi Fußzeile: Amtsgericht Musterstadt HRB 1234\\par}")),
        SettingItem{20, {}, valueTexts.SaveToCsv(), {}, {}},
        Memo(14500, {"<html><body>", "<p>Sehr geehrte Damen und Herren,</p>", "<p>[TEXT]</p>",
                     "<p>Mit freundlichen Grüßen<br>Beispiel-Handel GmbH</p>", "</body></html>"}),
        Memo(14501, {"1", "1,5", "0", "1", "0", "2"}),
        Text(8201, "Beispiel-Handel GmbH"),
        Text(8202, "Hauptstraße 12"),
        Text(8203, "12345 Musterstadt"),
        Text(16000, "info@beispiel-handel.de"),
        Text(904, "1"),
        Text(903, "0"),
        Text(10000, "1"),
        Text(12000, "2"),
        Text(12010, "0"),
        Text(12011, "10"),
        Text(12013, "2"),
        Text(212, " Lager 1 "),
        Text(12014, "1"),
        Text(213, "0"),
        Text(51003, "Musterbank"),
        Text(51004, "3"),
        Text(51000, "DE02 1203 0000 0000 2020 51"),
        Text(51002, "BYLADEM1001"),
        Text(51001, "Beispiel-Handel GmbH"),
        Text(214, "1"),
        Text(9214, "1"),
        Text(9215, "14"),
        Text(218, "0"),
        Text(215, "1"),
        Text(216, "0"),
        Text(13031, "1"),
        Text(13030, "21"),
        Text(15000, "100"),
        Text(15001, "100042"),
        Memo(16009, {"000000", "/2024", "1042"}, "RE-"),
        Text(23001, "1"),
        Text(23002, "0"),
        Text(23003, "1"),
        Text(250, "0"),
        Text(76, "2"),
        Text(951, "1"),
        Text(4000, "0"),
        Text(1400, "0"),
        Text(1401, "1"),
        Text(16003, "1"),
        Text(5024, "01.01.2024"),
        Text(4999, "0"),
        Text(5000, "10"),
        Text(4998, "30"),
        Text(4997, "Mahnung"),
        Text(5001, "30"),
        Text(5002, "50"),
        Text(5023, "1"),
        Text(5021, "20,0"),
        Text(5022, "0"),
        Text(5025, "0"),
        Text(5026, "1"),
        Text(2001, "Telefon"),
        Text(2002, "Telefax"),
        Text(2003, "E-Mail"),
        Text(2004, "Mobil"),
        Text(2005, "Internet"),
        Text(3001, "1"),
        Text(3002, "1"),
        Text(3003, "2"),
        Text(3004, "1"),
        Text(3005, "0"),
        Memo(920, {"AAbholung durch den Kunden", "VVersand per Paketdienst", "SSpedition", "BBote"}),
        Memo(1500, {"Stück", "Karton", "Palette", "Meter", "Stunde"}),
        Memo(1510, {"Barzahlung", "Überweisung", "Lastschrift", "PayPal"}),
        Memo(1502, {"Herr", "Frau", "Firma", "Familie"}),
        Memo(1506, {"Kunden", "Lieferanten", "Interessenten", "Partner"}),
        Memo(1505, {"Deutschland", "Österreich", "Schweiz"}),
        Memo(1509, {"sofort", "2 Tage", "1 Woche"}),
        Bytes(1511, WriteAutoActionItems(DemoAutoActions())),
        Memo(1507, {"bei Zahlung bis zum ", " erhalten Sie 2% Skonto, das entspricht: ", "bei Zahlung bis zum ",
                    " erhalten Sie 2% Skonto, das entspricht: ", "10"}),
        Memo(1512, {"Artikel", "Zusatz", "Art.-Nr.", "Farbe=", "Gewicht=kg", "", "Hersteller=", "Lagerort=Halle 2"}),
        Memo(12019, {"5", "10", "14", "30", "60"}),
        Memo(12018, {"sofort lieferbar", "lieferbar in 1 Woche", "nicht lieferbar"}),
        Memo(1508, {"Der Betrag ist bis zum ", " ohne Abzug zu bezahlen.", "Der Betrag ist bis zum ",
                    " ohne Abzug zu bezahlen.", "14"}),
        Text(960, "10"),
        Memo(16002, {"Telefonat", "Besuch", "Brief"}),
        Memo(16001, {"offen", "erledigt"}),
        Memo(16010, {"Vertrieb", "Einkauf", "Verwaltung"}),
        Memo(16045, {"Normal", "Wichtig", "Sehr Wichtig", "Sofort"}),
        Memo(16046, {"Rückruf", "Termin"}),
        Memo(652, {"20", "20", "150", "ARIAL", "24", "8421504", "20", "20", "150", "Tahoma", "8", "0"}),
        Bytes(754, CompressBlob(WriteAdressExCellInfos({{1, 0, "E-Mail Buchhaltung", false},
                                                        {2, 0, "Fax Zentrale", false},
                                                        {0, 1, "", true}}))),
        Memo(751, {"Buchhaltung", "Einkauf"}),
        Memo(752, {"E-Mail", "Fax", "Ansprechpartner"}),
        Memo(753, {"150", "150", "200"}),
        Logo(31, {"[LAYOUT]", "Titel=Gewinn-Statistik", "Schrift=ARIAL", "Groesse=10"}),
        Logo(32, {"[GRID]", "Spalten=7", "Breiten=80,200,80,40,90,90,90"}),
    };
    items.insert(items.end(), more.begin(), more.end());
    return items;
}

void WriteDemoSetup(const std::filesystem::path& dir)
{
    TAdsConnection conn;
    conn.SetAdsServerTypes({stADS_LOCAL});
    conn.SetConnectPath(dir.string());
    conn.Connect();
    WriteDemoSetup(conn);
}

void WriteDemoSetup(TAdsConnection& conn)
{
    TAdsTable t(&conn, SetupTableName);
    CreateSettingsTable(t);
    PutSettingItems(t, DemoSetupItems());
}

std::string DemoPrinterIni(const std::string& pdfDirectory)
{
    return Utf8ToCp1252("[OTHER]\r\nGLOBAL1=Kvelt\r\nGLOBAL2=Ambrel\r\n"
                        "[PRINTERS]\r\nDEFAULT=Büro-Laser\r\nFAX=Fax-Drucker\r\nDuplexType=1\r\n"
                        "Copies_Caption_op1=Original|Kopie\r\nCopies_Count_op1=2\r\n"
                        "[V4]\r\nDBIN=\"\"\r\nUsePrinterDialog=0\r\nDefaultMailtypeprivat=pdf\r\n"
                        "[PDF]\r\nBackupDir=" + pdfDirectory + "\r\n"
                        "[MAIL]\r\nmailMAPI=0\r\n"
                        "[COPIES]\r\nList=1\r\n"
                        "[EF]\r\nDefaultFontRTF_Name=ARIAL\r\nDefaultFontRTF_Size=10\r\nDefaultFontRTF_color=clBlack\r\n"
                        "[PRIVATCONTACTMANDANTUSE]\r\nUSE=1\r\n");
}

void WriteDemoProgramFiles(const std::filesystem::path& programDir)
{
    std::filesystem::create_directories(programDir);
    // A demo installation keeps its PDFs in a folder of its own, so that the first PDF needs no
    // folder choice and the user finds it beside the program.
    const std::filesystem::path pdfDir = std::filesystem::absolute(programDir) / "PDF";
    std::filesystem::create_directories(pdfDir);
    const std::pair<const char*, std::string> files[] = {
        {"TOVIK.INI", DemoPrinterIni(pdfDir.string() + "/")},
        {"ALTEURO.INI", "[COUNTRY]\r\nEURO=1\r\nNACHKOMMA3=0\r\n"},
    };
    for (const auto& [name, bytes] : files) {
        const auto path = FindFileNoCase(programDir, name);
        if (!std::filesystem::exists(path))
            WriteFileAtomically(path, bytes);
    }
}

} // namespace gs::demo
