#include "DemoTexts.h"

#include "DemoNames.h"
#include "base/Cp1252.h"
#include "base/FormatFloat.h"
#include "orders/AddInfoLines.h"

#include <zlib.h>

#include <cstdio>
#include <stdexcept>

namespace gs::demo {

namespace {

std::string Digits(Random& r, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>('0' + r.between(0, 9));
    return s;
}

std::string Money(double v) { return FloatToText(v, ','); }

std::string DateText(Random& r, int firstYear = 2019, int lastYear = 2026)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", static_cast<int>(r.between(1, 28)),
                  static_cast<int>(r.between(1, 12)), static_cast<int>(r.between(firstYear, lastYear)));
    return buf;
}

const char* const kHeaderSentences[] = {
    "vielen Dank für Ihren Auftrag. Wir erlauben uns, Ihnen folgende Leistungen in Rechnung zu stellen:",
    "wie telefonisch besprochen, erhalten Sie nachstehend unser Angebot für die gewünschten Arbeiten.",
    "für die am {DATE} ausgeführten Arbeiten berechnen wir Ihnen:",
    "Bauvorhaben: {STREET}, {CITY}",
    "Ihre Bestellung Nr. {NUM} vom {DATE}, Lieferung gemäß Lieferschein {NUM}.",
    "Die Leistungen wurden im Zeitraum vom {DATE} bis {DATE} erbracht.",
    "Objekt: Wohnanlage {LAST}, Haus {SMALL}, {SMALL}. Obergeschoss",
    "Auf Ihren Wunsch haben wir die Positionen nach Gewerken gegliedert.",
    "Bitte prüfen Sie die Aufstellung und geben Sie uns bei Rückfragen kurz Bescheid.",
    "Gemäß unserem Rahmenvertrag Nr. {NUM} gelten die vereinbarten Sonderkonditionen.",
    "Ansprechpartner vor Ort: {FIRST} {LAST}, Telefon 0{SMALL}{NUM}",
    "Die Materialpreise sind Tagespreise und freibleibend bis zum {DATE}.",
    "Wir danken für die angenehme Zusammenarbeit und freuen uns auf weitere Aufträge.",
    "Die Lieferung erfolgt frei Baustelle, Abladen mit Kran nach Absprache.",
    "Kommission: {LAST} / Lager {SMALL}, Stellplatz {NUM}",
    "Für Rückfragen stehen wir Ihnen montags bis freitags von 8 bis 17 Uhr gern zur Verfügung.",
    "Hinweis: Änderungen der Ausführung bedürfen der Schriftform.",
    "Grundlage ist Ihre Anfrage vom {DATE} sowie die Besichtigung durch Herrn {LAST}."};

const char* const kFooterSentences[] = {
    "Zahlbar innerhalb von {SMALL} Tagen ohne Abzug.",
    "Bei Zahlung innerhalb von 7 Tagen gewähren wir 2 % Skonto.",
    "Die Ware bleibt bis zur vollständigen Bezahlung unser Eigentum.",
    "Leistungsdatum entspricht Rechnungsdatum, sofern nicht anders angegeben.",
    "Bitte geben Sie bei Zahlung die Rechnungsnummer an.",
    "Es gelten unsere Allgemeinen Geschäftsbedingungen in der Fassung vom {DATE}.",
    "Reklamationen können nur innerhalb von 8 Tagen nach Erhalt der Ware berücksichtigt werden.",
    "Vielen Dank für Ihr Vertrauen!",
    "Gemäß § 14 UStG sind Sie verpflichtet, diese Rechnung zwei Jahre aufzubewahren.",
    "Unser Büro ist vom {DATE} bis {DATE} wegen Betriebsurlaub geschlossen."};

// Replaces the placeholders of a sentence with random values.
std::string Fill(Random& r, std::string s)
{
    const std::pair<const char*, int> keys[] = {{"{DATE}", 0}, {"{NUM}", 1}, {"{SMALL}", 2}, {"{LAST}", 3},
                                                {"{FIRST}", 4}, {"{STREET}", 5}, {"{CITY}", 6}};
    for (const auto& [key, kind] : keys) {
        for (size_t p = s.find(key); p != std::string::npos; p = s.find(key, p)) {
            std::string v;
            switch (kind) {
            case 0: v = DateText(r); break;
            case 1: v = std::to_string(r.between(1000, 99999)); break;
            case 2: v = std::to_string(r.between(2, 30)); break;
            case 3: v = PickLastName(r); break;
            case 4: v = PickFirstName(r); break;
            case 5: v = PickStreet(r); break;
            default: v = PickPlace(r).city; break;
            }
            s.replace(p, std::string_view(key).size(), v);
            p += v.size();
        }
    }
    return s;
}

} // namespace

std::string MakeHeaderText(Random& r)
{
    std::string s = r.chance(0.8) ? "Sehr geehrte Damen und Herren,\r\n\r\n" : "Sehr geehrter Herr " + PickLastName(r) + ",\r\n\r\n";
    const int n = static_cast<int>(r.between(1, 3));
    for (int i = 0; i < n; ++i)
        s += Fill(r, r.pick(kHeaderSentences)) + "\r\n";
    return Utf8ToCp1252(s);
}

std::string MakeFooterText(Random& r)
{
    std::string s;
    const int n = static_cast<int>(r.between(1, 2));
    for (int i = 0; i < n; ++i)
        s += Fill(r, r.pick(kFooterSentences)) + "\r\n";
    const Place& p = PickPlace(r);
    s += "\r\nBankverbindung: Sparkasse " + p.city + " - IBAN DE" + Digits(r, 2) + " " + Digits(r, 4) + " " +
         Digits(r, 4) + " " + Digits(r, 4) + " " + Digits(r, 4) + " " + Digits(r, 2) + " - BIC " +
         (r.chance(0.5) ? "COLSDE33XXX" : "BYLADEM1001") + "\r\n";
    s += "Geschäftsführer: " + PickFirstName(r) + " " + PickLastName(r) + " - Amtsgericht " + PickPlace(r).city +
         " HRB " + Digits(r, 5) + " - USt-IdNr. DE" + Digits(r, 9) + "\r\n";
    return Utf8ToCp1252(s);
}

std::string MakeItemData(Random& r)
{
    std::string s = "POS|ARTNR|BEZEICHNUNG|MENGE|EINHEIT|EINZELPREIS|GESAMT|STEUER\r\n";
    const int n = static_cast<int>(r.between(1, 6));
    const char* const units[] = {"Stk", "m", "Std", "kg", "Pausch", "m²", "l"};
    for (int i = 1; i <= n; ++i) {
        const double qty = static_cast<double>(r.between(1, 40));
        const double price = static_cast<double>(r.between(50, 250000)) / 100.0;
        s += std::to_string(i) + "|" + std::to_string(r.between(1000, 99999)) + "-" +
             static_cast<char>('A' + r.between(0, 5)) + "|" + r.pick(Articles()) + "|" + Money(qty) + "|" +
             r.pick(units) + "|" + Money(price) + "|" + Money(qty * price) + "|" + (r.chance(0.9) ? "19" : "7") +
             "\r\n";
    }
    return Utf8ToCp1252(s);
}

std::string MakeColumnsFormat(Random& r)
{
    std::string s = "COLS";
    s += static_cast<char>(2);
    const char* const columns[] = {"POS", "ARTNR", "BEZEICHNUNG", "MENGE", "EINHEIT", "EINZELPREIS", "GESAMT", "STEUER"};
    for (const char* c : columns) {
        s += static_cast<char>(std::string_view(c).size());
        s += c;
        const int width = static_cast<int>(r.between(30, 400));
        s += static_cast<char>(width & 0xFF);
        s += static_cast<char>(width >> 8);
        s += static_cast<char>(r.chance(0.9) ? 1 : 0); // visible
    }
    return s;
}

std::string MakeOrder2(Random& r)
{
    return "ORDER2;VERSION=3;LAGER=" + std::to_string(r.between(1, 9)) + ";VERSAND=" +
           (r.chance(0.5) ? "DHL" : "Spedition") + ";GEWICHT=" + Money(static_cast<double>(r.between(1, 50000)) / 100) +
           ";PAKETE=" + std::to_string(r.between(1, 12)) + ";\r\n";
}

std::string MakeStatusNotes(Random& r, bool withDestination)
{
    std::string s;
    if (!withDestination) {
        const char* const notes[] = {"Telefonisch bestätigt", "Per E-Mail versandt", "Kunde ruft zurück",
                                     "Zahlungserinnerung versandt", "Teillieferung erfolgt", "Ware reserviert",
                                     "Skonto gewährt", "Montagetermin vereinbart"};
        const int n = static_cast<int>(r.between(1, 4));
        for (int i = 0; i < n; ++i)
            s += std::string(r.pick(notes)) + " am " + DateText(r) + "\r\n";
        return Utf8ToCp1252(s);
    }
    // Lines 1 to 14 are the host's working notes; 15 and 16 name the destination.
    for (int i = 1; i <= 14; ++i)
        s += "Vermerk " + std::to_string(i) + ": " + (r.chance(0.5) ? "erledigt" : "offen") + "\r\n";
    const Place& p = PickPlace(r);
    s += "Lieferung an: " + PickLastName(r) + " " + (r.chance(0.5) ? "Lager Nord" : "Baustelle") + "\r\n";
    s += PickStreet(r) + ", " + p.countryCode + p.plz + " " + p.city + "\r\n";
    if (r.chance(0.3))
        s += "Anlieferung werktags 7 bis 15 Uhr\r\n";
    return Utf8ToCp1252(s);
}

std::string MakeInternNote(Random& r)
{
    const char* const notes[] = {"Kunde wünscht Lieferung vormittags.", "Achtung: abweichende Rechnungsanschrift!",
                                 "Rabatt mit Herrn Geschäftsführer abgestimmt.", "Nur gegen Vorkasse liefern.",
                                 "Reklamation vom Vormonat berücksichtigt.", "Schlüssel beim Hausmeister abholen."};
    return Utf8ToCp1252(r.pick(notes));
}

std::string MakeAddInfoLines(Random& r)
{
    TAddInfoLines lines;
    const int n = static_cast<int>(r.between(1, 3));
    for (int i = 0; i < n; ++i) {
        TAddInfoLine l;
        l.ORG_ID = static_cast<int>(r.between(1, 40));
        l._1 = r.chance(0.5) ? "Lieferzeit" : "Zusatzinfo";
        l._2 = r.chance(0.5) ? "ca. " + std::to_string(r.between(1, 6)) + " Wochen" : "nach Vereinbarung";
        l._3 = r.chance(0.3) ? "Frachtfrei ab " + Money(static_cast<double>(r.between(100, 500))) + " €" : "";
        l.Forcedelete = r.chance(0.05);
        lines.Lines.push_back(std::move(l));
    }
    lines.Info1 = r.chance(0.3) ? "Positionen geprüft" : "";
    lines.Info2 = static_cast<int>(r.between(0, 3));
    return lines.SaveToStream();
}

// --- Deflater --------------------------------------------------------------------------------------

struct Deflater::State {
    z_stream zs{};
};

Deflater::Deflater() : state_(std::make_unique<State>())
{
    if (deflateInit(&state_->zs, Z_DEFAULT_COMPRESSION) != Z_OK)
        throw std::runtime_error("zlib: Kompression kann nicht beginnen");
}

Deflater::~Deflater() { deflateEnd(&state_->zs); }

std::string Deflater::compress(std::string_view source)
{
    z_stream& zs = state_->zs;
    deflateReset(&zs);
    std::string out(deflateBound(&zs, static_cast<uLong>(source.size())), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(source.data()));
    zs.avail_in = static_cast<uInt>(source.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    if (deflate(&zs, Z_FINISH) != Z_STREAM_END)
        throw std::runtime_error("zlib: Kompression fehlgeschlagen");
    out.resize(out.size() - zs.avail_out);
    return out;
}

} // namespace gs::demo
