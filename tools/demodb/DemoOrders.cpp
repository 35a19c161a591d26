#include "DemoOrders.h"

#include "DemoNames.h"
#include "DemoTexts.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/FormatFloat.h"
#include "base/Text.h"
#include "db/AdsConnection.h"
#include "db/AdsTable.h"
#include "orders/AdressExInfo.h"
#include "orders/OrdersTable.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace gs::demo {

namespace {

constexpr double kDmRate = 1.95583;

double Cents(double v) { return std::round(v * 100.0) / 100.0; }

// One document as it goes into the table.
struct DemoOrder {
    int idOrder = 0, pot = 1, status = 3, adressId = 0, pid = 0, parentType = 1;
    double date = 0, zzd = 0, fromDate = 0, netto = 0, brutto = 0, open = 0, taxLow = 7, taxHigh = 19;
    bool dm = false, protect = false;
    std::string endtext, footer, header, internText, gzs, adress, extb, order2, columnsFormat, datas;
    std::string zzl, zzr, typ, gtyp, statustext, fromText, knr, adressName, printName, parentName, info;
    std::string infos[5];
};

// Pre-made blob contents, compressed once and picked per document.
struct Pools {
    std::vector<std::string> headers, footers, datas, columns, order2, endtexts, notes, destinations, interns;
    Pools(std::uint64_t seed, Deflater& z)
    {
        for (int i = 0; i < 256; ++i) {
            Random r = Random::For(seed, 10, static_cast<std::uint64_t>(i));
            headers.push_back(z.compress(MakeHeaderText(r)));
            footers.push_back(z.compress(MakeFooterText(r)));
        }
        for (int i = 0; i < 1024; ++i) {
            Random r = Random::For(seed, 11, static_cast<std::uint64_t>(i));
            datas.push_back(z.compress(MakeItemData(r)));
            endtexts.push_back(MakeAddInfoLines(r));
            notes.push_back(MakeStatusNotes(r, false));
        }
        for (int i = 0; i < 256; ++i) {
            Random r = Random::For(seed, 12, static_cast<std::uint64_t>(i));
            destinations.push_back(MakeStatusNotes(r, true));
        }
        for (int i = 0; i < 16; ++i) {
            Random r = Random::For(seed, 13, static_cast<std::uint64_t>(i));
            columns.push_back(z.compress(MakeColumnsFormat(r)));
            order2.push_back(z.compress(MakeOrder2(r)));
            interns.push_back(MakeInternNote(r));
            interns.push_back(z.compress(MakeInternNote(r) + "\r\n" + MakeInternNote(r)));
        }
    }
    template <typename T>
    static const T& Pick(Random& r, const std::vector<T>& v)
    {
        return v[static_cast<size_t>(r.next() % v.size())];
    }
};

// Extended order information, made once per variant: the stream (compressed and plain), the profit
// and the margin it was made for. A document picks a variant and gets a net value that fits.
struct ExtbVariant {
    std::string compressed, plain;
    double profit = 0;
    double margin = 0;
};

struct CustomerRow {
    int id = 0;
    std::string number, listName, adress;
};

class OrderGenerator {
public:
    explicit OrderGenerator(const DemoOrdersOptions& o)
        : options_(o), rng_(Random::For(o.seed, 0, 0)), pools_(o.seed, deflater_),
          firstDay_(EncodeDate(o.firstYear, 1, 1)), lastDay_(EncodeDate(o.lastYear, 12, 31))
    {
        const int customers = static_cast<int>(std::clamp<long long>(o.documents / 8, 50, 20000));
        for (int id = 1; id <= customers; ++id) {
            const Customer c = MakeCustomer(o.seed, id);
            customers_.push_back(CustomerRow{c.id, c.number, c.listName, Utf8ToCp1252(JoinLinesCrLf(c.addressLines()))});
        }
        const int variants = static_cast<int>(std::clamp<long long>(o.documents, 64, 16384));
        Random r = Random::For(o.seed, 20, 0);
        for (int i = 0; i < variants; ++i)
            sales_.push_back(makeVariant(r, false, 1.0));
        for (int i = 0; i < std::max(16, variants / 8); ++i)
            credits_.push_back(makeVariant(r, true, 1.0));
        for (int i = 0; i < std::max(16, variants / 16); ++i)
            salesDm_.push_back(makeVariant(r, false, kDmRate));
    }

    void make(long long i, DemoOrder& d)
    {
        Random& r = rng_;
        d.idOrder = static_cast<int>(100000 + i);
        // Documents come in date order, a few days out of step.
        const double span = lastDay_ - firstDay_;
        const double day = firstDay_ +
                           std::floor(span * static_cast<double>(i) / static_cast<double>(options_.documents)) +
                           static_cast<double>(r.between(-2, 2));
        d.date = std::clamp(day, firstDay_, lastDay_);
        if (options_.mix == DemoMix::Realistic)
            d.pot = r.weighted<int>({{dtRechnung, 30}, {dtGutschrift, 3}, {dtAngebot, 25}, {dtBestellung, 8},
                                     {dtBrief, 6}, {dtLieferschein, 14}, {dtAuftragsbestaetigung, 9},
                                     {dtFreierTyp1, 1}, {dtFreierTyp2, 1}, {dtFreierTyp3, 1}, {dtFreierTyp4, 1},
                                     {dtFreierTyp5, 1}, {dtMulti, 2}});
        else
            d.pot = r.weighted<int>({{dtRechnung, 50}, {dtGutschrift, 9}, {dtAngebot, 12}, {dtBestellung, 3},
                                     {dtBrief, 4}, {dtLieferschein, 7}, {dtAuftragsbestaetigung, 7}, {dtFreierTyp1, 1},
                                     {dtFreierTyp2, 1}, {dtFreierTyp3, 1}, {dtFreierTyp4, 1}, {dtFreierTyp5, 1},
                                     {dtMulti, 2}});
        const bool billing = d.pot == dtRechnung || d.pot == dtGutschrift;
        d.status = billing ? r.weighted<int>({{stBezahlt, 55}, {stAbgeschlossen, 25}, {stUnbezahlt, 8}, {stUnfertig, 3},
                                              {stNeu, 3}, {stDuplikat, 2}, {stStorniert, 3}, {stStornovermerk, 1}})
                           : r.weighted<int>({{stNeu, 60}, {stUnfertig, 10}, {stAbgeschlossen, 15}, {stUnbezahlt, 3},
                                              {stBezahlt, 3}, {stDuplikat, 4}, {stStorniert, 4}, {stStornovermerk, 1}});
        // Thirteen documents spread over the period carry every type and every status, so that even
        // a small database has them all.
        const long long n = options_.documents;
        const long long k = n >= DocTypeCount ? i * DocTypeCount / n : i;
        if (n < DocTypeCount || k * n / DocTypeCount == i) {
            d.pot = static_cast<int>(k % DocTypeCount) + 1;
            d.status = static_cast<int>(k % 8);
        }
        // Regular customers order more often.
        const double u = r.unit();
        const CustomerRow& c =
            customers_[std::min(customers_.size() - 1, static_cast<size_t>(std::floor(u * u * static_cast<double>(customers_.size()))))];
        d.adressId = c.id;
        d.knr = c.number;
        d.adressName = c.listName;
        d.adress = c.adress;

        // Amounts from a few euros to tens of thousands; credit notes give money back; a few
        // documents are kept in the second currency (all their amounts in it).
        const bool letter = d.pot == dtBrief;
        d.dm = !letter && r.chance(0.05);
        const std::vector<ExtbVariant>& pool = d.pot == dtGutschrift ? credits_ : d.dm ? salesDm_ : sales_;
        const ExtbVariant& x = Pools::Pick(r, pool);
        d.netto = letter ? 0 : Cents(x.profit / x.margin * (0.97 + 0.06 * r.unit()));
        d.taxHigh = 19;
        d.taxLow = 7;
        const double tax = r.chance(0.85) ? d.taxHigh : d.taxLow;
        d.brutto = Cents(d.netto * (1 + tax / 100));
        d.open = (d.status == stUnbezahlt || d.status == stNeu || d.status == stUnfertig) ? d.brutto : 0;
        // Most compressed, some plain, some missing.
        const double kind = r.unit();
        d.extb = kind < 0.08 ? std::string() : kind < 0.18 ? x.plain : x.compressed;

        d.endtext = r.chance(0.45) ? Pools::Pick(r, pools_.endtexts) : std::string();
        d.header = Pools::Pick(r, pools_.headers);
        const DocTypeSwitches& s = DocTypeDefaults(d.pot);
        d.footer = s.Footer ? Pools::Pick(r, pools_.footers) : std::string();
        d.datas = s.DataGrid ? Pools::Pick(r, pools_.datas) : std::string();
        d.columnsFormat = (s.DataGrid && r.chance(0.7)) ? Pools::Pick(r, pools_.columns) : std::string();
        d.order2 = r.chance(0.1) ? Pools::Pick(r, pools_.order2) : std::string();
        d.internText = r.chance(0.15) ? Pools::Pick(r, pools_.interns) : std::string();
        const double gzsRoll = r.unit();
        d.gzs = gzsRoll < 0.12  ? Pools::Pick(r, pools_.destinations)
                : gzsRoll < 0.7 ? Pools::Pick(r, pools_.notes)
                                : std::string();

        const int days = r.chance(0.5) ? 14 : 30;
        d.zzl = "Zahlbar innerhalb von " + std::to_string(days) + " Tagen ohne Abzug.";
        d.zzr = r.chance(0.4) ? "Bei Zahlung innerhalb von 7 Tagen 2 % Skonto." : "";
        d.zzd = d.date + days;
        d.typ = DocTypeName(d.pot);
        d.gtyp = d.pot == dtBestellung ? "EINKAUF" : letter ? "SCHRIFTVERKEHR" : "VERKAUF";
        d.printName = (d.pot == dtRechnung && r.chance(0.03)) ? "PROFORMA-RECHNUNG" : d.typ;
        d.statustext = StatusTexts[static_cast<size_t>(d.status)];
        if (r.chance(0.4)) {
            d.fromText = "Ihre Bestellung Nr. " + std::to_string(r.between(1000, 99999));
            d.fromDate = d.date - static_cast<double>(r.between(1, 20));
        } else {
            d.fromText.clear();
            d.fromDate = 0;
        }
        d.parentType = d.pot == dtBestellung ? 2 : 1;
        d.parentName = d.parentType == 2 ? "Lieferant" : "Kunde";
        d.pid = (i > 0 && r.chance(0.2)) ? static_cast<int>(r.between(1, i)) : 0;
        d.protect = d.status == stBezahlt || d.status == stAbgeschlossen;
        d.info = r.chance(0.05) ? "Import" : "";
        for (std::string& t : d.infos)
            t.clear();
        if (r.chance(0.3))
            d.infos[0] = "Projekt " + std::to_string(DecodeDateTime(d.date).year) + "-" + std::to_string(r.between(1, 60));
        if (r.chance(0.1))
            d.infos[1] = "Bauvorhaben " + PickLastName(r);
        if (r.chance(0.05))
            d.infos[4] = "Kostenstelle " + std::to_string(r.between(100, 999));
    }

private:
    // Profit and commission as the host stores them with a document; factor: amounts in the second
    // currency.
    ExtbVariant makeVariant(Random& r, bool credit, double factor)
    {
        ExtbVariant v;
        const double net = (credit ? -r.logUniform(4, 5000) : r.logUniform(4, 60000)) * factor;
        const bool loss = !credit && r.chance(0.07);
        v.margin = loss ? -r.logUniform(0.02, 0.3) : 0.08 + 0.34 * r.unit();
        TAdressExInfo& x = info_;
        x.Clear();
        x.CurrencyInfo_2EURO = kDmRate;
        x.CurrentGewinn = Cents(net * v.margin);
        if (x.CurrentGewinn == 0)
            x.CurrentGewinn = loss ? -0.01 : (credit ? -0.01 : 0.01);
        v.profit = x.CurrentGewinn;
        if (r.chance(0.55)) {
            const Representative& rep = r.pick(Representatives());
            x.Vertreter = rep.name;
            x.VertreterID = rep.id;
            double provision = 0;
            switch (rep.mode) {
            case 2: provision = net * rep.value / 100; break;
            case 3: provision = std::max(x.CurrentGewinn, 0.0) * rep.value / 100; break;
            default: provision = (net < 0 ? -rep.value : rep.value) * factor; break;
            }
            x.Vertreter_Provision = Cents(provision);
            x.Vertreter_Provision_IsClose = r.chance(0.4);
            x.ProvisionsInfo = {std::string(CommissionModeTexts[static_cast<size_t>(rep.mode)]) + " " +
                                FloatToText(rep.value, ',')};
            x.Vertreter_Print = r.chance(0.8);
        }
        x.DetailGewinn = {"Wareneinsatz: " + FloatToText(Cents(net - x.CurrentGewinn), ','),
                          "Rohertrag: " + FloatToText(x.CurrentGewinn, ',')};
        if (r.chance(0.4)) {
            x.SkontoProz = r.chance(0.5) ? 2 : 3;
            x.SkontoDay = r.chance(0.5) ? 7 : 10;
        }
        x.ZZDays = r.chance(0.5) ? 14 : 30;
        x.ZConditionIndex = r.weighted<int>({{1, 50}, {0, 15}, {2, 12}, {3, 8}, {7, 3}, {8, 3}, {9, 3}, {10, 3}, {11, 3}});
        x.Default_Worker = r.pick(Clerks());
        if (r.chance(0.2)) {
            const Customer to = MakeDeliveryAddress(r, MakeCustomer(options_.seed, static_cast<int>(r.between(1, 20000))));
            x.Lieferanschrift.Abt = to.company ? to.companyName : "";
            x.Lieferanschrift.Anrede1 = to.salutation;
            x.Lieferanschrift.VName = to.firstName;
            x.Lieferanschrift.NName = to.lastName;
            x.Lieferanschrift.Strasse = to.street;
            x.Lieferanschrift.Ort = to.place.city;
            x.Lieferanschrift.PLZ = to.place.plz;
            x.Lieferanschrift.Region = to.place.countryName;
            x.Lieferanschrift.Use = true;
        }
        if (r.chance(0.1))
            x.AdressExInfoCareOfAdress = {PickLastName(r) + " Verwaltung", static_cast<int>(r.between(1, 20000))};
        if (!credit && r.chance(0.3))
            x.ForeDoc = "AB " + std::to_string(r.between(10000, 99999));
        if (r.chance(0.02))
            x.Warnings = "Kreditlimit überschritten";
        if (r.chance(0.04)) {
            // Written by an older host version: only a few items.
            x.Datas.Clear();
            auto add = [&x](int type, std::string text) {
                TAdressExInfoData& item = x.Datas.Add();
                item.DataType = type;
                item.SimpleData = std::move(text);
            };
            add(edVertreter, x.Vertreter);
            add(edCurrentGewinn, FloatToText(x.CurrentGewinn, ','));
            add(edVertreterProvision, FloatToText(x.Vertreter_Provision, ','));
            add(edZConditionIndex, std::to_string(x.ZConditionIndex));
            v.plain = x.Datas.SaveToStream();
        } else {
            x.SaveToStream(v.plain);
        }
        v.compressed = deflater_.compress(v.plain);
        return v;
    }

    DemoOrdersOptions options_;
    Random rng_;
    Deflater deflater_;
    Pools pools_;
    double firstDay_, lastDay_;
    std::vector<CustomerRow> customers_;
    std::vector<ExtbVariant> sales_, credits_, salesDm_;
    TAdressExInfo info_;
};

// Writes documents through the database layer, the columns looked up once.
class OrderWriter {
public:
    explicit OrderWriter(TAdsTable& t) : t_(t)
    {
        for (const AdsFieldDef& f : OrdersTableFields())
            fields_.push_back(&t.FieldByName(f.name));
    }

    void write(const DemoOrder& d)
    {
        t_.Append();
        int k = 1; // field 0 is the AUTOINC ID
        auto next = [&]() -> Field& { return *fields_[static_cast<size_t>(k++)]; };
        auto blob = [&](std::string_view v) {
            Field& f = next();
            if (!v.empty())
                f.SetBytes(v);
        };
        auto text = [&](const std::string& v) {
            Field& f = next();
            if (!v.empty())
                f.SetString(v);
        };
        auto date = [&](double v) {
            Field& f = next();
            if (v != 0)
                f.SetDateTime(v);
        };
        const DocTypeSwitches& s = DocTypeDefaults(d.pot);
        next().SetInteger(d.idOrder);         // ID_ORDER
        blob(d.endtext);                      // Endtext
        blob(d.footer);                       // Footertext
        blob(d.header);                       // Headertext
        blob(d.columnsFormat);                // ColumnsFormat
        blob(d.datas);                        // Datas
        text(d.zzl);                          // ZZL
        text(d.zzr);                          // ZZR
        date(d.zzd);                          // ZZD
        next().SetInteger(d.pot);             // POT
        next().SetInteger(0);                 // COT
        text(d.typ);                          // Typ
        text(d.gtyp);                         // GTyp
        next().SetInteger(d.status);          // Status
        text(d.statustext);                   // Statustext
        blob(d.internText);                   // InternText
        text(d.fromText);                     // FromText
        date(d.fromDate);                     // FromDate
        date(d.date);                         // Date
        text(d.knr);                          // KNR
        blob(d.adress);                       // Adress
        text(d.adressName);                   // AdressName
        next().SetInteger(d.adressId);        // AdressID
        next().SetFloat(d.netto);             // WW_NETTO
        next().SetFloat(d.brutto);            // WW_BRUTTO
        next().SetFloat(d.open);              // OPEN_
        text(d.typ);                          // Caption
        text(d.printName);                    // PrintName
        next().SetBoolean(s.DataGrid);        // DataGrid
        next().SetBoolean(d.dm);              // DataGrid_DM
        next().SetBoolean(s.InfoSumme);       // InfoSumme
        next().SetBoolean(s.Summe);           // Summe
        next().SetBoolean(s.Header);          // Header
        next().SetBoolean(s.Footer);          // Footer
        next().SetBoolean(s.Endt);            // Endt
        next().SetBoolean(s.ZZ);              // ZZ
        next().SetBoolean(s.Enabled);         // Enabled
        next().SetBoolean(s.data_netto);      // data_netto
        text(d.parentName);                   // ParentName
        next().SetInteger(d.parentType);      // Parenttype
        next().SetBoolean(d.protect);         // protect
        next().SetBoolean(true);              // gridedit
        next().SetBoolean(s.DataGrid);        // dataingrid
        next().SetFloat(d.taxLow);            // steuer_low_set
        next().SetFloat(d.taxHigh);           // steuer_high_set
        blob(d.gzs);                          // GZS
        next().SetInteger(0);                 // MS
        date(d.date);                         // MD
        blob(d.extb);                         // EXTB
        blob(d.order2);                       // ORDER2
        next().SetInteger(d.pid);             // PID
        text(d.info);                         // Info
        for (const std::string& info : d.infos)
            text(info);                       // INFO1 .. INFO5
        t_.Post();
    }

private:
    TAdsTable& t_;
    std::vector<Field*> fields_;
};

// Documents are made on a second thread in chunks while the first writes the previous chunk; the
// chunks come in order, so the result depends only on the seed.
class ChunkQueue {
public:
    using Chunk = std::vector<DemoOrder>;
    void push(Chunk c)
    {
        std::unique_lock lock(m_);
        notFull_.wait(lock, [&] { return q_.size() < 3 || stop_; });
        q_.push_back(std::move(c));
        notEmpty_.notify_one();
    }
    bool pop(Chunk& c)
    {
        std::unique_lock lock(m_);
        notEmpty_.wait(lock, [&] { return !q_.empty() || done_; });
        if (q_.empty())
            return false;
        c = std::move(q_.front());
        q_.pop_front();
        notFull_.notify_one();
        return true;
    }
    void finish(std::exception_ptr error = nullptr)
    {
        std::lock_guard lock(m_);
        done_ = true;
        error_ = error;
        notEmpty_.notify_all();
    }
    void stop()
    {
        std::lock_guard lock(m_);
        stop_ = true;
        notFull_.notify_all();
    }
    bool stopped()
    {
        std::lock_guard lock(m_);
        return stop_;
    }
    std::exception_ptr error()
    {
        std::lock_guard lock(m_);
        return error_;
    }

private:
    std::mutex m_;
    std::condition_variable notEmpty_, notFull_;
    std::deque<Chunk> q_;
    bool done_ = false, stop_ = false;
    std::exception_ptr error_;
};

} // namespace

void WriteDemoOrders(const std::filesystem::path& dir, const DemoOrdersOptions& options)
{
    TAdsConnection conn;
    conn.SetAdsServerTypes({stADS_LOCAL});
    conn.SetConnectPath(dir.string());
    conn.Connect();
    WriteDemoOrders(conn, options);
}

void WriteDemoOrders(TAdsConnection& conn, const DemoOrdersOptions& options)
{
    TAdsTable t(&conn, OrdersTableName);
    t.CreateTable(OrdersTableFields(), OrdersTableIndexes());
    t.Open();
    t.BeginBulkLoad();
    OrderWriter writer(t);

    constexpr long long kChunk = 2048;
    ChunkQueue queue;
    std::thread maker([&] {
        try {
            OrderGenerator gen(options);
            for (long long i = 0; i < options.documents && !queue.stopped();) {
                ChunkQueue::Chunk chunk(static_cast<size_t>(std::min(kChunk, options.documents - i)));
                for (DemoOrder& d : chunk)
                    gen.make(i++, d);
                queue.push(std::move(chunk));
            }
            queue.finish();
        } catch (...) {
            queue.finish(std::current_exception());
        }
    });
    try {
        conn.BeginTransaction();
        ChunkQueue::Chunk chunk;
        while (queue.pop(chunk)) {
            for (const DemoOrder& d : chunk)
                writer.write(d);
        }
        if (std::exception_ptr e = queue.error())
            std::rethrow_exception(e);
        conn.Commit();
        t.EndBulkLoad();
    } catch (...) {
        queue.stop();
        maker.join();
        throw;
    }
    maker.join();
}

} // namespace gs::demo
