// A whole-year statistics run on demo databases of 10,000, 100,000 and 1,000,000 documents (five
// years, so a year holds a fifth of them), beside a lower bound measured in the same run: a plain
// loop over the same filtered rows that reads the columns the run needs and inflates and parses
// their EXTB, nothing else. Each measurement runs in a child process, so that its peak memory can be
// reported on its own.
//     run_bench [--max DOCUMENTS] [--repeat N]
// The databases are built once into the temporary directory (gs-run-bench-N) and kept.
#include "DemoDatabase.h"
#include "base/CountryFormats.h"
#include "app/PeriodSelection.h"
#include "app/ProcessObjects.h"
#include "base/Runtime.h"
#include "app/Startup.h"
#include "app/StatisticsRun.h"
#include "db/AdsTable.h"
#include "orders/AdressExInfo.h"
#include "db/BlobFields.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace gs;

namespace {

constexpr int kYear = 2024;

std::filesystem::path Database(long long documents)
{
    const auto dir = std::filesystem::temp_directory_path() / ("gs-run-bench-" + std::to_string(documents));
    if (!std::filesystem::exists(dir / "complete")) {
        std::filesystem::remove_all(dir);
        demo::DemoOptions o;
        o.dir = dir;
        o.orders.documents = documents;
        o.orders.seed = 4711;
        o.orders.firstYear = 2022;
        o.orders.lastYear = 2026;
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

long LowerBound(const std::filesystem::path& db)
{
    Started s(db);
    TAdsTable& t = s.session.Table_ORDERS;
    t.SetIndexName("DATE");
    t.SetFilter(OrdersStatusFilter() + BuildPeriodFilter(std::to_string(kYear), PeriodWholeYear).filterPart);
    t.SetFiltered(true);
    TField& id = t.FieldByName("ID_ORDER");
    TField& name = t.FieldByName("AdressName");
    TField& adressId = t.FieldByName("AdressID");
    TField& date = t.FieldByName("Date");
    TField& dm = t.FieldByName("DataGrid_DM");
    TField& net = t.FieldByName("WW_NETTO");
    TField& extb = t.FieldByName("EXTB");
    TAdressExInfo info;
    long rows = 0;
    double sink = 0;
    for (t.First(); !t.Eof(); t.Next()) {
        sink += id.AsInteger() + adressId.AsInteger() + date.AsDateTime() + (dm.AsBoolean() ? 1 : 0) + net.AsFloat() +
                static_cast<double>(name.AsString().size());
        info.LoadFromStream(DecompressOrCopy(extb.AsBytes()));
        sink += info.CurrentGewinn - info.Vertreter_Provision;
        ++rows;
    }
    if (sink == 0.123)
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
    std::printf("%10s %8s %10s %10s %10s %7s %11s %11s\n", "documents", "rows", "run s", "bound s", "run us/row",
                "ratio", "run peak MB", "bound peak");
    for (long long n : {10000LL, 100000LL, 1000000LL}) {
        if (n > maxDocuments)
            break;
        const auto db = Database(n);
        const Measurement run = Best(repeat, [&] { return WholeRun(db); });
        const Measurement bound = Best(repeat, [&] { return LowerBound(db); });
        if (run.rows != bound.rows)
            std::fprintf(stderr, "row counts differ: %ld vs %ld\n", run.rows, bound.rows);
        std::printf("%10lld %8ld %10.3f %10.3f %10.2f %7.2f %11.1f %11.1f\n", n, run.rows, run.seconds, bound.seconds,
                    1e6 * run.seconds / std::max(1L, run.rows), run.seconds / bound.seconds, run.peakKb / 1024.0,
                    bound.peakKb / 1024.0);
        std::fflush(stdout);
    }
    return 0;
}
