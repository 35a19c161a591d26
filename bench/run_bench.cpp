// A whole-year statistics run on demo databases of 200,000 and 1,000,000 documents (five years, so a
// year holds a fifth of them), in both mixes of document kinds (standard: about half of a year's
// documents are selected; realistic: about one in four), in two physical orders of the rows (date
// order as written, and shuffled) and with and without the SQL index behind the DATE tag, beside the
// plain loop it is measured against: one scan of the table straight on SQLite, with the filter and
// the columns the run shows, inflating EXTB.
//
// Each measurement is a process of its own (this program started again with --child), so that its
// peak memory, its reads and its writes can be reported. The run and the loop take turns, one pair
// after the other in each pass. What the columns hold (best of the repeats):
//   run s        start-up as the report command does it and the whole-year run, timed inside
//   plain s      the whole plain loop: opening, the scan with EXTB inflated, closing
//   ratio        run s / plain s, in brackets the range of the passes' ratios
//   cpu          the two processes' CPU time (user and system), which other programs on a busy
//                machine disturb less than the wall times; the passes' range in brackets
//   run pages, plain pages: bytes the process read (read calls, /proc/self/io) in 16 KB pages, the
//                table files' page size; pg ratio their ratio
//   tmp MB       bytes the run wrote (a report run writes nothing; SQLite's temporary files would)
//   run MB, pl. MB: peak resident memory of each process
//     run_bench [--max DOCUMENTS] [--min DOCUMENTS] [--repeat N]
//     run_bench --crossover DB: the walk on the index against the walk in storage order for selections
//                of 1 to 306 days of the year (the run's status filter, EXTB read), in this process
//                (best of three each), to find where the walk in storage order starts to pay: the
//                rows found on the index read by row id ("stored") and by one scan of the table
//                ("scan")
// The databases are built once into the temporary directory (gs-run-bench-N[-realistic][-shuffled]
// [-noindex]) and kept.
#include "BenchDatabases.h"
#include "DemoDatabase.h"
#include "base/CountryFormats.h"
#include "app/ProcessObjects.h"
#include "app/Runtime.h"
#include "app/Startup.h"
#include "app/StatisticsRun.h"
#include "db/AdsConnection.h"
#include "db/AdsTable.h"
#include "base/Dates.h"
#include "db/BlobFields.h"
#include "db/StorageWalk.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace gs;

namespace {

constexpr int kYear = 2024;

// One measurement, as a child process reports it: its in-process times and rows.
struct ChildReport {
    double startSeconds = 0; // start-up (run) or opening (plain loop)
    double seconds = 0;      // everything the child timed
    long rows = 0;
    long long readBytes = 0;    // read calls of the whole process
    long long writtenBytes = 0; // write calls of the whole process
    long peakKb = 0;            // the process's peak resident memory (VmHWM)
};

// The process's read and written bytes so far (rchar, wchar).
void ProcessIo(long long& read, long long& written)
{
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value) {
        if (key == "rchar:")
            read = value;
        else if (key == "wchar:")
            written = value;
    }
}

// The peak resident memory of this program since it was started (a forked child's maximum would
// include what the parent held before the child's exec).
long PeakKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return 0;
}

struct Measurement {
    ChildReport inside;
    double processSeconds = 0; // from starting the process to its exit
    double cpuSeconds = 0;     // the process's CPU time, user and system
    long peakKb = 0;
};

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The run's start-up as the report command does it (the spool is attached only for spooled output).
// The program path lies in a directory of its own, so that the files looked for beside the program
// (INI files) are looked for as in an installation, not among whatever the temporary directory holds.
struct Started {
    Runtime runtime;
    DatabaseSession session;
    explicit Started(const std::filesystem::path& db)
        : runtime(std::filesystem::temp_directory_path() / "gs-run-bench-program" / "run_bench")
    {
        InitNumberFormats(runtime);
        StartProcessObjects(runtime);
        CommandLine cl;
        cl.args = {db.string(), "1", std::to_string(MinimumHostRelease)};
        if (!ConnectForStart(session, cl, ReadHostIdentity(runtime), {}))
            std::abort();
        CompleteStart(runtime, session, {}, false);
    }
};

ChildReport WholeRun(const std::filesystem::path& db)
{
    ChildReport r;
    const auto start = Clock::now();
    Started s(db);
    r.startSeconds = Since(start);
    ResultTables tables;
    const RunOutcome o = RunStatistics(s.session.Table_ORDERS, std::to_string(kYear), 0, tables);
    if (o.error) {
        std::fprintf(stderr, "run failed: %s\n", o.error->c_str());
        std::abort();
    }
    r.rows = static_cast<long>(tables.KM.size());
    r.seconds = Since(start);
    return r;
}

// The plain loop: what reading the year's selected documents costs at least on one core.
ChildReport PlainLoop(const std::filesystem::path& db)
{
    ChildReport r;
    const auto start = Clock::now();
    sqlite3* h = nullptr;
    if (sqlite3_open_v2((db / "Auftraege.ADT").c_str(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        std::abort();
    sqlite3_stmt* st = nullptr;
    const char* sql = "SELECT ID_ORDER, AdressName, AdressID, Date, DataGrid_DM, WW_NETTO, EXTB FROM Auftraege"
                      " NOT INDEXED WHERE (POT = 1 OR POT = 5) AND (Status = 4 OR Status = 1)"
                      " AND Date BETWEEN ?1 AND ?2";
    if (sqlite3_prepare_v2(h, sql, -1, &st, nullptr) != SQLITE_OK)
        std::abort();
    r.startSeconds = Since(start);
    const std::string first = std::to_string(kYear) + "-01-01", last = std::to_string(kYear) + "-12-31";
    sqlite3_bind_text(st, 1, first.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, last.c_str(), -1, SQLITE_TRANSIENT);
    size_t sink = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        sink += static_cast<size_t>(sqlite3_column_int(st, 0) + sqlite3_column_int(st, 2) + sqlite3_column_int(st, 4));
        sink += static_cast<size_t>(sqlite3_column_bytes(st, 1) + sqlite3_column_bytes(st, 3));
        sink += static_cast<size_t>(sqlite3_column_double(st, 5));
        const auto* extb = static_cast<const char*>(sqlite3_column_blob(st, 6));
        sink += DecompressOrCopy(std::string_view(extb ? extb : "", static_cast<size_t>(sqlite3_column_bytes(st, 6))))
                    .size();
        ++r.rows;
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    if (sink == 1)
        std::puts("");
    r.seconds = Since(start);
    return r;
}

// Starts this program again with --child KIND DB; returns the child's report, its whole time and
// its peak resident memory.
Measurement InChild(const char* kind, const std::filesystem::path& db)
{
    int pipefd[2];
    if (pipe(pipefd) != 0)
        std::abort();
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipefd[0]);
        dup2(pipefd[1], STDOUT_FILENO);
        close(pipefd[1]);
        execl("/proc/self/exe", "run_bench", "--child", kind, db.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipefd[1]);
    Measurement m;
    ssize_t got = 0;
    while (got < static_cast<ssize_t>(sizeof m.inside)) {
        const ssize_t n = read(pipefd[0], reinterpret_cast<char*>(&m.inside) + got, sizeof m.inside - got);
        if (n <= 0)
            break;
        got += n;
    }
    close(pipefd[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    m.processSeconds = Since(start);
    if (got != static_cast<ssize_t>(sizeof m.inside) || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s child failed\n", kind);
        std::abort();
    }
    m.peakKb = m.inside.peakKb;
    m.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return m;
}

// The best of the repeats so far, figure by figure.
void KeepBest(Measurement& best, const Measurement& m, bool first)
{
    if (first) {
        best = m;
        return;
    }
    best.inside.startSeconds = std::min(best.inside.startSeconds, m.inside.startSeconds);
    best.inside.seconds = std::min(best.inside.seconds, m.inside.seconds);
    best.processSeconds = std::min(best.processSeconds, m.processSeconds);
    best.cpuSeconds = std::min(best.cpuSeconds, m.cpuSeconds);
    best.peakKb = std::min(best.peakKb, m.peakKb);
    best.inside.readBytes = std::min(best.inside.readBytes, m.inside.readBytes);
    best.inside.writtenBytes = std::min(best.inside.writtenBytes, m.inside.writtenBytes);
}

// The run and the plain loop side by side, one after the other in each pass; the best of each, and
// the range of the ratios (wall and CPU time) of one pass.
struct Pair {
    Measurement run, plain;
    double low = 1e9, high = 0, cpuLow = 1e9, cpuHigh = 0;
};

Pair SideBySide(int repeat, const std::filesystem::path& db)
{
    Pair p;
    for (int i = 0; i < repeat; ++i) {
        const Measurement run = InChild("run", db);
        const Measurement plain = InChild("plain", db);
        KeepBest(p.run, run, i == 0);
        KeepBest(p.plain, plain, i == 0);
        const double ratio = run.inside.seconds / plain.inside.seconds, cpu = run.cpuSeconds / plain.cpuSeconds;
        p.low = std::min(p.low, ratio);
        p.high = std::max(p.high, ratio);
        p.cpuLow = std::min(p.cpuLow, cpu);
        p.cpuHigh = std::max(p.cpuHigh, cpu);
    }
    return p;
}

int ChildMain(const std::string& kind, const std::filesystem::path& db)
{
    ChildReport r = kind == "run" ? WholeRun(db) : PlainLoop(db);
    std::fflush(stdout);
    ProcessIo(r.readBytes, r.writtenBytes);
    r.peakKb = PeakKb();
    return write(STDOUT_FILENO, &r, sizeof r) == static_cast<ssize_t>(sizeof r) ? 0 : 2;
}

// Both walks over selections of growing size on one database.
int Crossover(const std::filesystem::path& db)
{
    ads::StorageWalk::minRows = 0; // the walk in storage order for every selection
    TAdsConnection conn;
    conn.SetAdsServerTypes({stADS_LOCAL});
    conn.SetConnectPath(db.string());
    conn.Connect();
    TAdsTable t(&conn, "Auftraege.ADT");
    t.SetReadOnly(true);
    t.Open();
    t.SetIndexName("DATE");
    t.SetFiltered(true);
    std::printf("%5s %7s | %9s %9s %6s %9s %6s\n", "days", "rows", "index s", "stored s", "ratio", "scan s", "ratio");
    const TDateTime from = EncodeDate(kYear, 3, 1);
    for (int days : {1, 2, 4, 8, 16, 32, 64, 128, 306}) {
        t.SetFilter(OrdersStatusFilter() + " AND DATE >= \"" + DateToText(from) + "\" AND DATE <= \"" +
                    DateToText(from + days - 1) + "\"");
        t.SetRowColumns({&t.FieldByName("ID_ORDER"), &t.FieldByName("WW_NETTO"), &t.FieldByName("EXTB")});
        double best[3] = {1e9, 1e9, 1e9};
        long rows = 0;
        for (int repeat = 0; repeat < 3; ++repeat) {
            for (int stored = 0; stored < 3; ++stored) {
                ads::StorageWalk::scanShare = stored == 2 ? std::int64_t{1} << 40 : 0;
                t.SetStorageOrderWalk(false);
                t.SetStorageOrderWalk(stored != 0);
                const auto start = Clock::now();
                TAdsTable::ReadScope scope(t);
                size_t sink = 0;
                rows = 0;
                for (t.First(); !t.Eof(); t.Next()) {
                    sink += t.FieldByName("EXTB").AsBytes().size();
                    ++rows;
                }
                best[stored] = std::min(best[stored], Since(start));
                if (sink == 1)
                    std::puts("");
            }
        }
        std::printf("%5d %7ld | %9.4f %9.4f %6.2f %9.4f %6.2f\n", days, rows, best[0], best[1], best[1] / best[0],
                    best[2], best[2] / best[0]);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--crossover")
        return Crossover(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "--child")
        return ChildMain(argv[2], argv[3]);
    long long maxDocuments = 1000000, minDocuments = 0;
    int repeat = 2;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--max")
            maxDocuments = std::atoll(argv[i + 1]);
        else if (a == "--min")
            minDocuments = std::atoll(argv[i + 1]);
        else if (a == "--repeat")
            repeat = std::max(1, std::atoi(argv[i + 1]));
    }
    std::filesystem::create_directories(std::filesystem::temp_directory_path() / "gs-run-bench-program");
    std::printf("%-9s %-8s %-5s %9s %6s | %7s %7s %6s %11s %6s %11s | %9s %9s %6s | %6s | %6s %6s\n", "mix", "order",
                "index", "documents", "rows", "run s", "plain s", "ratio", "range", "cpu", "range", "run pages",
                "pl. pages", "pg rat", "tmp MB", "run MB", "pl. MB");
    constexpr double kPage = 16384;
    for (long long n : {10000LL, 200000LL, 1000000LL}) {
        if (n > maxDocuments)
            break;
        if (n < minDocuments)
            continue;
        for (demo::DemoMix mix : {demo::DemoMix::Standard, demo::DemoMix::Realistic}) {
            for (bool indexes : {true, false}) {
                for (demo::RowOrder order : {demo::RowOrder::Written, demo::RowOrder::Shuffled}) {
                    demo::TableLayout layout;
                    layout.order = order;
                    layout.sqlIndexes = indexes;
                    const auto db = bench::BenchDatabase(n, mix, layout);
                    const Pair pair = SideBySide(repeat, db);
                    const Measurement& run = pair.run;
                    const Measurement& plain = pair.plain;
                    if (run.inside.rows != plain.inside.rows)
                        std::fprintf(stderr, "row counts differ: %ld vs %ld\n", run.inside.rows, plain.inside.rows);
                    std::printf("%-9s %-8s %-5s %9lld %6ld | %7.3f %7.3f %6.2f (%4.2f-%4.2f) %6.2f (%4.2f-%4.2f) | "
                                "%9.0f %9.0f %6.2f | %6.1f | %6.1f %6.1f\n",
                                mix == demo::DemoMix::Realistic ? "realistic" : "standard",
                                order == demo::RowOrder::Shuffled ? "shuffled" : "date", indexes ? "yes" : "no", n,
                                run.inside.rows, run.inside.seconds, plain.inside.seconds,
                                run.inside.seconds / plain.inside.seconds, pair.low, pair.high,
                                run.cpuSeconds / plain.cpuSeconds, pair.cpuLow, pair.cpuHigh,
                                static_cast<double>(run.inside.readBytes) / kPage,
                                static_cast<double>(plain.inside.readBytes) / kPage,
                                static_cast<double>(run.inside.readBytes) / static_cast<double>(plain.inside.readBytes),
                                static_cast<double>(run.inside.writtenBytes) / 1e6, run.peakKb / 1024.0,
                                plain.peakKb / 1024.0);
                    std::fflush(stdout);
                }
            }
        }
    }
    return 0;
}
