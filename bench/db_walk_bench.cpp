// Walking the orders table: the database layer against a plain SQLite loop over the same query.
// The table (1,000,000 rows shaped like the host's orders, memo blobs before the plain columns) is
// built once with the layer itself and kept in the temporary directory; its build time is printed.
#include "base/Dates.h"
#include "db/AdsConnection.h"
#include "db/AdsTable.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

using namespace gs;

namespace {

constexpr int kRows = 1000000;
const char* const kFilter = "(POT=1 OR POT=5 ) AND (STATUS=4 OR STATUS=1) AND ((DATE<=\"31.12.2005\") and "
                            "(DATE>=\"01.01.2005\"))";
const char* const kPlainSql =
    "SELECT ID_ORDER, ADRESSNAME, \"DATE\", WW_NETTO FROM Auftraege WHERE (POT=1 OR POT=5) AND (STATUS=4 OR STATUS=1)"
    " AND \"DATE\" <= '2005-12-31' AND \"DATE\" >= '2005-01-01' ORDER BY \"DATE\" DESC";

std::filesystem::path BenchDir() { return std::filesystem::temp_directory_path() / "gs-db-walk-bench"; }

struct Rng {
    std::uint64_t s = 0x9E3779B97F4A7C15ULL;
    std::uint64_t next()
    {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    }
    int between(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1)); }
};

// Text and bytes cut from a fixed random pool, so the blobs do not compress or repeat by page.
struct Pool {
    std::string text, bytes;
    explicit Pool(Rng& r)
    {
        const char letters[] = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789.,;\xE4\xF6\xFC\xDF";
        for (int i = 0; i < (1 << 16); ++i) {
            text += letters[r.next() % (sizeof letters - 1)];
            bytes += static_cast<char>(r.next() & 0xFF);
        }
    }
    std::string_view cut(const std::string& from, Rng& r, int lo, int hi)
    {
        const int n = r.between(lo, hi);
        return std::string_view(from).substr(r.next() % (from.size() - static_cast<size_t>(n)), static_cast<size_t>(n));
    }
};

int Pick(Rng& r, std::initializer_list<std::pair<int, int>> weighted) // (value, percent)
{
    int roll = r.between(0, 99);
    for (const auto& [value, percent] : weighted) {
        if (roll < percent)
            return value;
        roll -= percent;
    }
    return weighted.begin()->first;
}

std::vector<AdsFieldDef> OrderFields()
{
    return {{"ID", TAdsFieldType::AutoInc},
            {"ID_ORDER", TAdsFieldType::Integer},
            {"Endtext", TAdsFieldType::Memo},
            {"Footertext", TAdsFieldType::Memo},
            {"Headertext", TAdsFieldType::Memo},
            {"ColumnsFormat", TAdsFieldType::Binary},
            {"Datas", TAdsFieldType::Memo},
            {"POT", TAdsFieldType::ShortInt},
            {"STATUS", TAdsFieldType::ShortInt},
            {"DATE", TAdsFieldType::Date},
            {"ADRESSNAME", TAdsFieldType::Char, 50},
            {"ADRESSID", TAdsFieldType::Integer},
            {"WW_NETTO", TAdsFieldType::Double},
            {"EXTB", TAdsFieldType::Binary}};
}
const std::vector<AdsIndexDef> kOrderIndexes{{"ID", "ID", ADS_UNIQUE}, {"DATE", "DATE", ADS_DESCENDING}};

// The values of one generated order row; blob values view the pool.
struct OrderRow {
    int idOrder = 0, pot = 0, status = 0, adressId = 0;
    double date = 0, netto = 0;
    std::string_view endtext, footer, header, columns, datas, extb, name;
};

class OrderGenerator {
public:
    explicit OrderGenerator(bool blobs) : pool_(rng_), blobs_(blobs) {}

    OrderRow row(int i)
    {
        OrderRow r;
        r.idOrder = 100000 + i;
        if (blobs_) {
            r.endtext = pool_.cut(pool_.text, rng_, 150, 400);
            r.footer = pool_.cut(pool_.text, rng_, 100, 300);
            r.header = pool_.cut(pool_.text, rng_, 100, 300);
            r.columns = pool_.cut(pool_.bytes, rng_, 200, 500);
            r.datas = pool_.cut(pool_.bytes, rng_, 300, 3000);
        }
        r.pot = Pick(rng_, {{1, 55}, {5, 10}, {2, 15}, {4, 10}, {6, 10}});
        r.status = Pick(rng_, {{4, 60}, {1, 30}, {2, 6}, {6, 4}});
        // Documents are written in date order, a few days out of step.
        const int days = 1096; // 2004 to 2006
        const int day =
            std::clamp(static_cast<int>(static_cast<long long>(i) * days / kRows) + rng_.between(-3, 3), 0, days - 1);
        r.date = first_ + day;
        r.name = pool_.cut(pool_.text, rng_, 8, 50);
        r.adressId = rng_.between(1, 20000);
        r.netto = rng_.between(-50000, 500000) / 100.0;
        if (blobs_)
            r.extb = pool_.cut(pool_.bytes, rng_, 200, 800);
        return r;
    }

private:
    Rng rng_;
    Pool pool_;
    bool blobs_;
    double first_ = EncodeDate(2004, 1, 1);
};

// Writes rows through the layer; the table is open on its connection.
class LayerWriter {
public:
    explicit LayerWriter(TAdsTable& t)
        : t_(t), idOrder_(t.FieldByName("ID_ORDER")), endtext_(t.FieldByName("Endtext")),
          footer_(t.FieldByName("Footertext")), header_(t.FieldByName("Headertext")),
          columns_(t.FieldByName("ColumnsFormat")), datas_(t.FieldByName("Datas")), pot_(t.FieldByName("POT")),
          status_(t.FieldByName("STATUS")), date_(t.FieldByName("DATE")), name_(t.FieldByName("ADRESSNAME")),
          adressId_(t.FieldByName("ADRESSID")), netto_(t.FieldByName("WW_NETTO")), extb_(t.FieldByName("EXTB"))
    {
    }

    void write(const OrderRow& r)
    {
        t_.Append();
        idOrder_.SetInteger(r.idOrder);
        if (!r.endtext.empty()) {
            endtext_.SetBytes(r.endtext);
            footer_.SetBytes(r.footer);
            header_.SetBytes(r.header);
            columns_.SetBytes(r.columns);
            datas_.SetBytes(r.datas);
        }
        pot_.SetInteger(r.pot);
        status_.SetInteger(r.status);
        date_.SetDateTime(r.date);
        name_.SetString(r.name);
        adressId_.SetInteger(r.adressId);
        netto_.SetFloat(r.netto);
        if (!r.extb.empty())
            extb_.SetBytes(r.extb);
        t_.Post();
    }

private:
    TAdsTable& t_;
    Field &idOrder_, &endtext_, &footer_, &header_, &columns_, &datas_, &pot_, &status_, &date_, &name_, &adressId_,
        &netto_, &extb_;
};

void BuildTable(const std::filesystem::path& dir)
{
    std::filesystem::create_directories(dir);
    TAdsConnection conn;
    conn.SetAdsServerTypes({stADS_LOCAL});
    conn.SetConnectPath(dir.string());
    conn.Connect();
    TAdsTable t(&conn, "Auftraege.ADT");
    if (t.TableExists())
        t.DeleteTable();
    t.CreateTable(OrderFields(), kOrderIndexes);
    t.Open();
    LayerWriter writer(t);
    OrderGenerator gen(true);
    const auto start = std::chrono::steady_clock::now();
    conn.BeginTransaction();
    for (int i = 0; i < kRows; ++i) {
        if (i % 50000 == 0 && i > 0) {
            conn.Commit();
            conn.BeginTransaction();
        }
        writer.write(gen.row(i));
    }
    conn.Commit();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "built %d rows with the layer in %.1f s (%.0f rows/s), file %.0f MB\n", kRows, seconds,
                 kRows / seconds, static_cast<double>(std::filesystem::file_size(dir / "Auftraege.ADT")) / 1e6);
}

const std::filesystem::path& TableDir()
{
    static const std::filesystem::path dir = [] {
        const auto d = BenchDir();
        const auto done = d / "complete";
        if (!std::filesystem::exists(done)) {
            BuildTable(d);
            std::FILE* f = std::fopen(done.c_str(), "w");
            if (f)
                std::fclose(f);
        }
        // Read the file once, so that no walk pays for a cold page cache.
        if (std::FILE* f = std::fopen((d / "Auftraege.ADT").c_str(), "rb")) {
            std::vector<char> buf(1 << 20);
            while (std::fread(buf.data(), 1, buf.size(), f) == buf.size()) {
            }
            std::fclose(f);
        }
        return d;
    }();
    return dir;
}

// refresh: RefreshRecord on every row, as the statistics run's order loader does.
void LayerWalk(benchmark::State& state, bool refresh)
{
    TAdsConnection conn;
    conn.SetAdsServerTypes({stADS_LOCAL});
    conn.SetConnectPath(TableDir().string());
    conn.Connect();
    TAdsTable t(&conn, "Auftraege.ADT");
    t.SetIndexName("DATE");
    t.SetFilter(kFilter);
    t.SetFiltered(true);
    t.Open();
    Field& idOrder = t.FieldByName("ID_ORDER");
    Field& name = t.FieldByName("ADRESSNAME");
    Field& date = t.FieldByName("DATE");
    Field& netto = t.FieldByName("WW_NETTO");
    std::int64_t rows = 0;
    for (auto _ : state) {
        double sum = 0;
        for (t.First(); !t.Eof(); t.Next()) {
            if (refresh)
                t.RefreshRecord();
            sum += idOrder.AsInteger();
            const std::string n = name.AsString();
            sum += static_cast<double>(n.size()) + date.AsDateTime() + netto.AsFloat();
            ++rows;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(rows);
    state.counters["rows_per_walk"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

void BM_LayerWalk(benchmark::State& state) { LayerWalk(state, false); }
void BM_LayerWalkRefresh(benchmark::State& state) { LayerWalk(state, true); }

void PlainWalk(benchmark::State& state, bool tuned)
{
    sqlite3* db = nullptr;
    const std::string file = (TableDir() / "Auftraege.ADT").string();
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open the bench table");
    if (tuned) // the same page cache as the layer's connections
        sqlite3_exec(db, "PRAGMA cache_size=-16384", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, kPlainSql, -1, &st, nullptr);
    std::int64_t rows = 0;
    for (auto _ : state) {
        double sum = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            sum += sqlite3_column_int(st, 0);
            const std::string n(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)),
                                static_cast<size_t>(sqlite3_column_bytes(st, 1)));
            TDateTime d = 0;
            IsoToDateTime(std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(st, 2)),
                                           static_cast<size_t>(sqlite3_column_bytes(st, 2))),
                          d);
            sum += static_cast<double>(n.size()) + d + sqlite3_column_double(st, 3);
            ++rows;
        }
        sqlite3_reset(st);
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    state.SetItemsProcessed(rows);
    state.counters["rows_per_walk"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

void BM_PlainSqliteWalk(benchmark::State& state) { PlainWalk(state, false); }
void BM_PlainSqliteWalkTuned(benchmark::State& state) { PlainWalk(state, true); }

// Bulk writing: batches of 20,000 rows, one transaction each, into a fresh table.
constexpr int kInsertBatch = 20000;

void BM_LayerInsert(benchmark::State& state)
{
    const bool blobs = state.range(0) != 0;
    const auto dir = BenchDir() / "insert";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    {
        TAdsConnection conn;
        conn.SetAdsServerTypes({stADS_LOCAL});
        conn.SetConnectPath(dir.string());
        conn.Connect();
        TAdsTable t(&conn, "Auftraege.ADT");
        t.CreateTable(OrderFields(), kOrderIndexes);
        t.Open();
        LayerWriter writer(t);
        OrderGenerator gen(blobs);
        int i = 0;
        for (auto _ : state) {
            conn.BeginTransaction();
            for (int n = 0; n < kInsertBatch; ++n)
                writer.write(gen.row(i++));
            conn.Commit();
        }
        state.SetItemsProcessed(i);
    }
    std::filesystem::remove_all(dir);
}

void BM_PlainSqliteInsert(benchmark::State& state)
{
    const bool blobs = state.range(0) != 0;
    const auto dir = BenchDir() / "insert";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    {
        TAdsConnection conn; // the same table file layout, created by the layer
        conn.SetAdsServerTypes({stADS_LOCAL});
        conn.SetConnectPath(dir.string());
        conn.Connect();
        TAdsTable(&conn, "Auftraege.ADT").CreateTable(OrderFields(), kOrderIndexes);
    }
    sqlite3* db = nullptr;
    sqlite3_open_v2((dir / "Auftraege.ADT").string().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO Auftraege (ID, ID_ORDER, Endtext, Footertext, Headertext, ColumnsFormat, Datas,"
                       " POT, STATUS, \"DATE\", ADRESSNAME, ADRESSID, WW_NETTO, EXTB)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &st, nullptr);
    OrderGenerator gen(blobs);
    auto blob = [&](int index, std::string_view v) {
        if (v.empty())
            sqlite3_bind_null(st, index);
        else
            sqlite3_bind_blob(st, index, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
    };
    int i = 0;
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (int n = 0; n < kInsertBatch; ++n, ++i) {
            const OrderRow r = gen.row(i);
            sqlite3_bind_int(st, 1, i + 1);
            sqlite3_bind_int(st, 2, r.idOrder);
            blob(3, r.endtext);
            blob(4, r.footer);
            blob(5, r.header);
            blob(6, r.columns);
            blob(7, r.datas);
            sqlite3_bind_int(st, 8, r.pot);
            sqlite3_bind_int(st, 9, r.status);
            const std::string date = DateToIso(r.date);
            sqlite3_bind_text(st, 10, date.c_str(), static_cast<int>(date.size()), SQLITE_STATIC);
            sqlite3_bind_text(st, 11, r.name.data(), static_cast<int>(r.name.size()), SQLITE_STATIC);
            sqlite3_bind_int(st, 12, r.adressId);
            sqlite3_bind_double(st, 13, r.netto);
            blob(14, r.extb);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    state.SetItemsProcessed(i);
    sqlite3_finalize(st);
    sqlite3_close(db);
    std::filesystem::remove_all(dir);
}

} // namespace

BENCHMARK(BM_LayerInsert)->ArgName("blobs")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainSqliteInsert)->ArgName("blobs")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LayerWalk)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
BENCHMARK(BM_LayerWalkRefresh)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
BENCHMARK(BM_PlainSqliteWalk)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
BENCHMARK(BM_PlainSqliteWalkTuned)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
BENCHMARK_MAIN();
