// Loading order patterns as the statistics run does, against the bare minimum the run needs.
// A demo database of 100,000 documents (2022 to 2026) is built once in the temporary directory (its
// build time is printed). Both benchmarks walk the run's rows (invoices and credit notes, paid or
// completed, on index DATE) year by year with the run's filter, all five years per iteration:
// - BM_PatternLoadFull: LoadPatternFromOrder in full mode for every row;
// - BM_BareMinimum: the row's columns the run reads (ID_ORDER, AdressName, AdressID, Date,
//   DataGrid_DM, WW_NETTO) and EXTB inflated and parsed into a TAdressExInfo, nothing else.
// The summary line gives patterns per second of both and their ratio.
#include "DemoDatabase.h"
#include "app/ProcessObjects.h"
#include "app/Runtime.h"
#include "db/AdsConnection.h"
#include "db/AdsTable.h"
#include "db/BlobFields.h"
#include "orders/DefaultPatterns.h"
#include "orders/OrdersTable.h"
#include "orders/Pattern.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

using namespace gs;

namespace {

constexpr long long kDocuments = 100000;
constexpr int kFirstYear = 2022, kLastYear = 2026;

std::string RunFilter(int year)
{
    const std::string y = std::to_string(year);
    return "(POT=1 OR POT=5 ) AND (STATUS=4 OR STATUS=1) AND ((DATE<=\"31.12." + y + "\") and (DATE>=\"01.01." + y +
           "\"))";
}

const std::filesystem::path& DemoDir()
{
    static const std::filesystem::path dir = [] {
        const auto d = std::filesystem::temp_directory_path() / "gs-pattern-load-bench";
        const auto done = d / "complete";
        if (!std::filesystem::exists(done)) {
            std::filesystem::remove_all(d);
            demo::DemoOptions o;
            o.dir = d;
            o.orders.documents = kDocuments;
            o.orders.seed = 42;
            o.orders.firstYear = kFirstYear;
            o.orders.lastYear = kLastYear;
            const auto start = std::chrono::steady_clock::now();
            demo::WriteDemoDatabase(o);
            const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::fprintf(stderr, "demo database: %lld documents in %.1f s, %.1f MB\n", kDocuments, s,
                         static_cast<double>(std::filesystem::file_size(d / OrdersTableName)) / 1e6);
            std::ofstream(done) << "ok\n";
        }
        // Read the file once, so that no walk pays for a cold page cache.
        std::ifstream in(d / OrdersTableName, std::ios::binary);
        std::string buf(1 << 20, '\0');
        while (in.read(buf.data(), static_cast<std::streamsize>(buf.size()))) {
        }
        return d;
    }();
    return dir;
}

struct RunTable {
    Runtime runtime{"/tmp/gewinnstatistik"};
    TAdsConnection conn;
    TAdsTable table{&conn, OrdersTableName};
    RunTable()
    {
        CreateDefaultPatterns(runtime);
        conn.SetAdsServerTypes({stADS_LOCAL});
        conn.SetConnectPath(DemoDir().string());
        conn.Connect();
        table.SetIndexName("DATE");
        table.SetFilter(RunFilter(kFirstYear));
        table.SetFiltered(true);
        table.Open();
    }
    // Calls visit for every row of the run's filter, year by year.
    template <typename Visit>
    void walk(Visit&& visit)
    {
        for (int year = kFirstYear; year <= kLastYear; ++year) {
            table.SetFilter(RunFilter(year));
            for (table.First(); !table.Eof(); table.Next())
                visit();
        }
    }
};

void BM_PatternLoadFull(benchmark::State& state)
{
    RunTable run;
    TMPattern pattern;
    Field& netto = run.table.FieldByName("WW_NETTO");
    std::int64_t rows = 0;
    for (auto _ : state) {
        double sum = 0;
        run.walk([&] {
            LoadPatternFromOrder(pattern, run.table, LoadModeFull, DefaultPatternsOf(run.runtime));
            sum += pattern.ID_ORDER + pattern.AdressID + pattern.Date + pattern.ExtInfo.CurrentGewinn -
                   pattern.ExtInfo.Vertreter_Provision + static_cast<double>(pattern.Adressname.size()) +
                   (pattern.DataGrid_DM ? 1 : 0) + netto.AsFloat();
            ++rows;
        });
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(rows);
    state.counters["rows_per_walk"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

void BM_BareMinimum(benchmark::State& state)
{
    RunTable run;
    TAdsTable& t = run.table;
    Field& idOrder = t.FieldByName("ID_ORDER");
    Field& name = t.FieldByName("AdressName");
    Field& adressId = t.FieldByName("AdressID");
    Field& date = t.FieldByName("Date");
    Field& dm = t.FieldByName("DataGrid_DM");
    Field& netto = t.FieldByName("WW_NETTO");
    Field& extb = t.FieldByName("EXTB");
    TAdressExInfo info;
    std::int64_t rows = 0;
    for (auto _ : state) {
        double sum = 0;
        run.walk([&] {
            const std::string n = name.AsString();
            sum += idOrder.AsInteger() + adressId.AsInteger() + date.AsDateTime() + (dm.AsBoolean() ? 1 : 0) +
                   netto.AsFloat() + static_cast<double>(n.size());
            std::string content;
            ReadBlobField(extb, content);
            info.LoadFromStream(content);
            sum += info.CurrentGewinn - info.Vertreter_Provision;
            ++rows;
        });
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(rows);
    state.counters["rows_per_walk"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

// The console output plus one line with both rates and their ratio.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const auto it = r.counters.find("items_per_second");
            if (it != r.counters.end())
                rates_[r.benchmark_name()] = it->second.value;
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        double full = 0, bare = 0;
        for (const auto& [name, rate] : rates_) {
            if (name.find("BM_PatternLoadFull") == 0)
                full = rate;
            else if (name.find("BM_BareMinimum") == 0)
                bare = rate;
        }
        if (full > 0 && bare > 0)
            std::printf("full pattern loads: %.0f/s, bare minimum: %.0f/s, cost ratio full/bare: %.2f\n", full, bare,
                        bare / full);
    }

private:
    std::map<std::string, double> rates_;
};

} // namespace

BENCHMARK(BM_PatternLoadFull)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
BENCHMARK(BM_BareMinimum)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    DemoDir();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
