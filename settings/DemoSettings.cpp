#include "settings/DemoSettings.h"

#include "app/Cp1252.h"
#include "orders/BlobFields.h"
#include "settings/AdressExtraGrid.h"
#include "settings/AutoActions.h"
#include "settings/ValueTextTable.h"

namespace gs {

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

// Texts of types 2 to 13 for one slot.
Lines TypeTexts(const std::string& text) { return Lines(12, text); }

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

} // namespace

std::vector<SettingItem> DemoSettingItems()
{
    TVSOBJ valueTexts;
    valueTexts.Rows = {{"Porto und Verpackung", "", "Porto netto", "", 1, 5.9},
                       {"Nachnahmegebühr", "", "Nachnahme netto", "", 1, 4.5},
                       {"Mindermengenzuschlag", "bis 50 €", "Zuschlag netto", "", 1, 10},
                       {"Gutschein", "", "", "", 0, -10}};

    return {
        Memo(1530, {"1", "0", "1", "0", "0", "1"}),
        Memo(21002, TypeTexts("Warenwert:"), "Warenwert:"),
        Memo(29002, TypeTexts("Zwischensumme:"), "Zwischensumme:"),
        Memo(21003, TypeTexts("+ MwSt. [ST1]%:"), "+ MwSt. [ST1]%:"),
        Memo(21004, {"Angebotssumme:", "Auftragssumme:", "Lieferwert:", "Gutschrift:"}, "Rechnungsbetrag:"),
        Text(21005, "Warenwert:"),
        Text(29005, "Zwischensumme:"),
        Memo(21006, TypeTexts("enthaltene MwSt. [ST1]%:"), "enthaltene MwSt. [ST1]%:"),
        Text(21007, "Rechnungsbetrag:"),
        Text(21009, "Nr.:"),
        Text(21010, "Datum: "),
        Text(21011, "Kunden-Nr.: "),
        Text(21012, ""),
        Text(21013, "vom "),
        // The second currency (the old national currency) is kept but switched off.
        Text(20004, "Warenwert DM:"),
        Text(29004, "Zwischensumme DM:"),
        Text(20006, "Rechnungsbetrag DM:"),
        Text(31009, "Nr.:"),
        Text(20010, "1,95583"),
        Text(200011, " DM"),
        Text(20012, "0"),
        Text(200030, "0"),
        Text(200031, "0"),
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
        Memo(16011, {"1", "Kunde", "2", "Lieferant", "3", "Interessent", "4", "Mitarbeiter"}),
        Text(23001, "1"),
        Text(23002, "0"),
        Text(23003, "1"),
        Text(250, "0"),
        Text(76, "2"),
        Memo(202, {"LIEFERSCHEIN", "AUFTRAGSBESTÄTIGUNG", "PROFORMA-RECHNUNG"}),
        Memo(201, {"Reparaturauftrag", "Leihschein", "", "Muster"}, "Kostenvoranschlag"),
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
        Text(949, "19"),
        Text(950, "7"),
        Memo(1500, {"Stück", "Karton", "Palette", "Meter", "Stunde"}),
        Memo(1510, {"Barzahlung", "Überweisung", "Lastschrift", "PayPal"}),
        Memo(1502, {"Herr", "Frau", "Firma", "Familie"}),
        Memo(1501, {"Sehr geehrter Herr,", "Sehr geehrte Frau,", "Sehr geehrte Damen und Herren,", "Hallo"}),
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
        Text(964, "2"),
        Text(219, "1"),
        Memo(650, {"#10Werkzeug", "#20Schrauben", "#30Elektro", "Zubehör", "#5Kleinteile"}),
        Memo(651, {"30", "+25", "*1.4", "-5", "40 %"}),
        Memo(660, {"vkek*1,3", "vk", "", "VKEK * 1.15", "vkek+0,50"}),
        Text(661, "2"),
        Text(662, "benutzer"),
        Memo(663, {"Handwerkzeug\tElektrowerkzeug", "", "Kabel\tStecker\tSchalter"}),
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
}

std::string DemoPrinterIni()
{
    return Utf8ToCp1252("[OTHER]\r\nGLOBAL1=Kvelt\r\nGLOBAL2=Ambrel\r\n"
                        "[PRINTERS]\r\nDEFAULT=Büro-Laser\r\nFAX=Fax-Drucker\r\nDuplexType=1\r\n"
                        "Copies_Caption_op1=Original|Kopie\r\nCopies_Count_op1=2\r\n"
                        "[V4]\r\nDBIN=\"\"\r\nUsePrinterDialog=0\r\nDefaultMailtypeprivat=pdf\r\n"
                        "[PDF]\r\nBackupDir=\r\n"
                        "[MAIL]\r\nmailMAPI=0\r\n"
                        "[COPIES]\r\nList=1\r\n"
                        "[EF]\r\nDefaultFontRTF_Name=ARIAL\r\nDefaultFontRTF_Size=10\r\nDefaultFontRTF_color=clBlack\r\n"
                        "[PRIVATCONTACTMANDANTUSE]\r\nUSE=1\r\n");
}

} // namespace gs
