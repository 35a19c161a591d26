// A whole-year statistics run on demo databases of 10,000, 100,000 and 1,000,000 documents (five
// years, so a year holds a fifth of them), in both mixes of document kinds (standard: about half of
// a year's documents are selected; realistic: about one in four), beside the plain loop it is
// measured against: one SELECT of the filtered rows in date order straight on SQLite, with the
// columns the run shows, inflating EXTB. Each measurement runs in a child process, so that its peak
// memory can be reported on its own.
//     run_bench [--max DOCUMENTS] [--repeat N]
// The databases are built once into the temporary directory (gs-run-bench-N[-realistic]) and kept.
#include "DemoDatabase.h"
#include "base/CountryFormats.h"
#include "app/ProcessObjects.h"
#include "base/Runtime.h"
#include "app/Startup.h"
#include "app/StatisticsRun.h"
#include "db/AdsTable.h"
#include "db/BlobFields.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace gs;

namespace {

constexpr int kYear = 2024;

std::filesystem::path Database(long long documents, demo::DemoMix mix)
{
    const auto dir = std::filesystem::temp_directory_path() /
                     ("gs-run-bench-" + std::to_string(documents) + (mix == demo::DemoMix::Realistic ? "-realistic" : ""));
    if (!std::filesystem::exists(dir / "complete")) {
        std::filesystem::remove_all(dir);
        demo::DemoOptions o;
        o.dir = dir;
        o.orders.documents = documents;
        o.orders.seed = 4711;
        o.orders.firstYear = 2022;
        o.orders.lastYear = 2026;
        o.orders.mix = mix;
        const auto start = std::chrono::steady_clock::now();
        demo::WriteDemoDatabase(o);
        std::fprintf(stderr, "  built %lld documents in %.1f s\n", documents,
                     std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::ofstream(dir / "complete") << "ok\n";
    }
    return dir;
}

struct Measurement {
    double seconds = 0;
    long rows = 0;
    long peakKb = 0;
};

// Runs work in a child process; returns its wall time, rows and peak resident memory.
template <class Work> Measurement InChild(Work work)
{
    int pipefd[2];
    if (pipe(pipefd) != 0)
        std::abort();
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipefd[0]);
        Measurement m;
        const auto start = std::chrono::steady_clock::now();
        m.rows = work();
        m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (write(pipefd[1], &m, sizeof m) != sizeof m)
            _exit(2);
        _exit(0);
    }
    close(pipefd[1]);
    Measurement m;
    if (read(pipefd[0], &m, sizeof m) != sizeof m)
        std::abort();
    close(pipefd[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    m.peakKb = usage.ru_maxrss;
    return m;
}

// The start-up both measurements share: formats, settings loaded, tables open.
struct Started {
    Runtime runtime;
    TDatabaseSession session;
    explicit Started(const std::filesystem::path& db) : runtime(std::filesystem::temp_directory_path() / "run_bench")
    {
        InitNumberFormats(runtime);
        StartProcessObjects(runtime);
        CommandLine cl;
        cl.args = {db.string(), "1", std::to_string(MinimumHostRelease)};
        if (!ConnectForStart(session, cl, ReadHostIdentity(runtime), {}))
            std::abort();
        CompleteStart(runtime, session, {});
    }
};

long WholeRun(const std::filesystem::path& db)
{
    Started s(db);
    TResultTables tables;
    const RunOutcome o = RunStatistics(s.session.Table_ORDERS, std::to_string(kYear), 0, tables);
    if (o.error) {
        std::fprintf(stderr, "run failed: %s\n", o.error->c_str());
        std::abort();
    }
    return static_cast<long>(tables.KM.size());
}

// The plain loop: what reading the year's selected documents costs at least on one core.
long PlainLoop(const std::filesystem::path& db)
{
    sqlite3* h = nullptr;
    if (sqlite3_open_v2((db / "Auftraege.ADT").c_str(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        std::abort();
    sqlite3_stmt* st = nullptr;
    const char* sql = "SELECT ID_ORDER, AdressName, AdressID, Date, DataGrid_DM, WW_NETTO, EXTB FROM Auftraege"
                      " WHERE (POT = 1 OR POT = 5) AND (Status = 4 OR Status = 1) AND Date BETWEEN ?1 AND ?2"
                      " ORDER BY Date DESC";
    if (sqlite3_prepare_v2(h, sql, -1, &st, nullptr) != SQLITE_OK)
        std::abort();
    const std::string first = std::to_string(kYear) + "-01-01", last = std::to_string(kYear) + "-12-31";
    sqlite3_bind_text(st, 1, first.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, last.c_str(), -1, SQLITE_TRANSIENT);
    long rows = 0;
    size_t sink = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        sink += static_cast<size_t>(sqlite3_column_int(st, 0) + sqlite3_column_int(st, 2) + sqlite3_column_int(st, 4));
        sink += static_cast<size_t>(sqlite3_column_bytes(st, 1) + sqlite3_column_bytes(st, 3));
        sink += static_cast<size_t>(sqlite3_column_double(st, 5));
        const auto* extb = static_cast<const char*>(sqlite3_column_blob(st, 6));
        sink += DecompressOrCopy(std::string_view(extb ? extb : "", static_cast<size_t>(sqlite3_column_bytes(st, 6))))
                    .size();
        ++rows;
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    if (sink == 1)
        std::puts("");
    return rows;
}

Measurement Best(int repeat, const std::function<long()>& work)
{
    Measurement best;
    for (int i = 0; i < repeat; ++i) {
        const Measurement m = InChild(work);
        if (i == 0 || m.seconds < best.seconds)
            best = m;
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    long long maxDocuments = 1000000;
    int repeat = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--max")
            maxDocuments = std::atoll(argv[i + 1]);
        else if (a == "--repeat")
            repeat = std::max(1, std::atoi(argv[i + 1]));
    }
    std::printf("%-10s %10s %8s %8s %8s %7s %12s %12s\n", "mix", "documents", "rows", "run s", "plain s", "ratio",
                "run peak MB", "plain peak MB");
    for (long long n : {10000LL, 100000LL, 1000000LL}) {
        if (n > maxDocuments)
            break;
        for (demo::DemoMix mix : {demo::DemoMix::Standard, demo::DemoMix::Realistic}) {
            const auto db = Database(n, mix);
            const Measurement run = Best(repeat, [&] { return WholeRun(db); });
            const Measurement plain = Best(repeat, [&] { return PlainLoop(db); });
            if (run.rows != plain.rows)
                std::fprintf(stderr, "row counts differ: %ld vs %ld\n", run.rows, plain.rows);
            std::printf("%-10s %10lld %8ld %8.3f %8.3f %7.2f %12.1f %12.1f\n",
                        mix == demo::DemoMix::Realistic ? "realistic" : "standard", n, run.rows, run.seconds,
                        plain.seconds, run.seconds / plain.seconds, run.peakKb / 1024.0, plain.peakKb / 1024.0);
            std::fflush(stdout);
        }
    }
    return 0;
}
