// Spooling a list: SpoolGrid writing a job of 10,000 / 100,000 / 300,000 rows of seven columns, beside a plain
// SQLite loop that inserts the same detail rows into a table of the same layout in one transaction
// (the lower bound). Besides the time, each run reports the peak heap the writing itself needed
// above what the list already held (heap_peak_MB): it must not grow with the row count.
#include "app/Runtime.h"
#include "app/ProcessObjects.h"
#include "settings/Settings.h"
#include "spool/ExtSpooler.h"
#include "spool/SpoolTables.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace gs;

namespace {

std::filesystem::path BenchDir() { return std::filesystem::temp_directory_path() / "gs-spool-bench"; }

double HeapMB() { return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0); }

// The peak of the heap in use, sampled every 1,024 rows.
struct HeapPeak {
    double base = HeapMB();
    double peak = 0;
    int n = 0;
    void sample()
    {
        if ((++n & 1023) == 0)
            peak = std::max(peak, HeapMB() - base);
    }
};

const std::vector<std::string> kFields = {"ID_ORDER", "ADRESSNAME", "DATE", "printp", "WW_NETTO", "GEWINN", "PROVISION"};

std::vector<std::vector<std::string>> MakeRows(int n)
{
    static const char* names[] = {"Müller GmbH", "Schulz & Partner", "Bäckerei Weiß", "Autohaus Nord KG", "Meier"};
    static const char* zones[] = {"Gewinnzone", "kein Gewinn", "Verlustzone"};
    std::vector<std::vector<std::string>> rows;
    rows.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int cents = (i * 7919) % 1000000;
        rows.push_back({std::to_string(100000 + i), names[i % 5], "01." + std::to_string(1 + i % 12) + ".2006",
                        zones[i % 3], std::to_string(cents / 100) + "," + std::to_string(10 + cents % 90) + " €",
                        std::to_string(cents / 400) + ",00 €", std::to_string(cents / 1000) + ",50 €"});
    }
    return rows;
}

struct SpoolSetup {
    std::unique_ptr<Runtime> runtime;
    std::unique_ptr<TextRowsDataSet> data;
    GridDescription grid;

    explicit SpoolSetup(int rows)
    {
        std::filesystem::remove_all(BenchDir());
        std::filesystem::create_directories(BenchDir());
        runtime = std::make_unique<Runtime>(BenchDir() / "gewinnstatistik");
        CreateSettings(*runtime);
        CreateSpooler(*runtime);
        runtime->spooler->LaunchProgram = [](const std::filesystem::path&) { return true; };
        data = std::make_unique<TextRowsDataSet>(kFields);
        for (auto& r : MakeRows(rows))
            data->addRow(std::move(r));
        grid.dataSet = data.get();
        for (const std::string& f : kFields)
            grid.columns.push_back({f, f, 80, 0, 0});
        runtime->spooler->EnsureSpoolTables(false);
        if (!runtime->spooler->Ready())
            throw std::runtime_error("spool not ready");
    }
};

void BM_SpoolGrid(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    SpoolSetup setup(rows);
    TExtSpooler& spooler = *setup.runtime->spooler;
    double peak = 0;
    for (auto _ : state) {
        HeapPeak heap;
        ListDescription list;
        list.grid = setup.grid;
        list.cellMode = 2;
        list.landscape = true;
        SpoolJobOptions options;
        options.Settings = setup.runtime->settings.get();
        options.Progress = [&heap] {
            heap.sample();
            return false;
        };
        const TStandardTableSpoolResult r = spooler.SpoolGrid(list, options);
        if (r.Code == 0)
            state.SkipWithError(r.error.c_str());
        peak = std::max(peak, heap.peak);
        state.PauseTiming();
        spooler.Store().DeleteJob(r.JobId);
        state.ResumeTiming();
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows) * static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
    state.counters["heap_peak_MB"] = peak;
    spooler.Shutdown();
}

void Exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
}

// The lower bound: the same detail rows with one prepared INSERT in one transaction, on a file of
// DET's layout, journal and sync settings.
void BM_PlainSqliteInsert(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    std::filesystem::remove_all(BenchDir());
    std::filesystem::create_directories(BenchDir());
    const auto data = MakeRows(rows);
    sqlite3* db = nullptr;
    sqlite3_open((BenchDir() / "DET.ADT").c_str(), &db);
    Exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA cache_size=-16384");
    std::string ddl = "CREATE TABLE DET (dsecondfont LOGICAL";
    for (int i = 0; i <= 15; ++i)
        ddl += ", d" + std::to_string(i) + " CHAR(200)";
    ddl += ", ds MEMO, id AUTOINC, idmain INTEGER); CREATE UNIQUE INDEX i1 ON DET(id); CREATE INDEX i2 ON DET(idmain)";
    Exec(db, ddl.c_str());
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO DET(d1, d2, d3, d4, d5, d6, d7, ds, id, idmain) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    long long nextId = 1;
    double peak = 0;
    for (auto _ : state) {
        HeapPeak heap;
        Exec(db, "BEGIN");
        for (int r = rows - 1; r >= 0; --r) {
            const auto& row = data[static_cast<size_t>(r)];
            for (int k = 0; k < 7; ++k)
                sqlite3_bind_text(insert, k + 1, row[static_cast<size_t>(k)].data(),
                                  static_cast<int>(row[static_cast<size_t>(k)].size()), SQLITE_STATIC);
            sqlite3_bind_blob(insert, 8, "", 0, SQLITE_STATIC);
            sqlite3_bind_int64(insert, 9, nextId++);
            sqlite3_bind_int64(insert, 10, 1);
            sqlite3_step(insert);
            sqlite3_reset(insert);
            heap.sample();
        }
        Exec(db, "COMMIT");
        peak = std::max(peak, heap.peak);
        state.PauseTiming();
        Exec(db, "DELETE FROM DET WHERE idmain=1"); // row by row, as a job is removed
        state.ResumeTiming();
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows) * static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
    state.counters["heap_peak_MB"] = peak;
}

BENCHMARK(BM_SpoolGrid)->Arg(10000)->Arg(100000)->Arg(300000)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_PlainSqliteInsert)->Arg(10000)->Arg(100000)->Arg(300000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

BENCHMARK_MAIN();
