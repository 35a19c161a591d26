// A whole-year statistics run on the same seeded demo data in table files and on a PostgreSQL
// server, beside the plain libpq loop it is measured against: one query of the year's selected
// documents in date order with the columns the run shows (binary rows), inflating EXTB. The server
// run is measured as the report command runs it (no progress display, no count) and as the window
// runs it ("counted": with a progress display, the count beside the walk), and as the report command
// once more with the walk along the date index ("index walk") instead of the server's own order.
// Each measurement runs in a child process, so that its peak memory is its own.
//     pg_run_bench --pg CONNECTION [--documents N] [--repeat N] [--mix standard|realistic]
//                  [--order date|shuffled]
// The files are built once into the temporary directory (gs-run-bench-N[-realistic], shared with
// run_bench), the server's tables once into the schema bench_N[_realistic][_shuffled] of the
// database. "shuffled" stores the same rows (the same row ids) in an order drawn from them, so that
// neither the dates nor the row ids follow the storage order.
#include "BenchDatabases.h"
#include "DemoDatabase.h"
#include "app/ProcessObjects.h"
#include "app/Startup.h"
#include "app/StatisticsRun.h"
#include "base/CountryFormats.h"
#include "app/Runtime.h"
#include "db/AdsCursor.h"
#include "db/BlobFields.h"

#include <libpq-fe.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

using namespace gs;

namespace {

constexpr int kYear = 2024;

struct Measurement {
    double seconds = 0;
    long rows = 0;
    long peakKb = 0;
    double cpuSeconds = 0; // user and system time of the measuring process
};

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
    m.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return m;
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

void Exec(PGconn* c, const std::string& sql)
{
    PGresult* r = PQexec(c, sql.c_str());
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK) {
        std::fprintf(stderr, "%s: %s", sql.c_str(), PQresultErrorMessage(r));
        std::exit(1);
    }
    PQclear(r);
}

std::string Server(const std::string& uri, long long documents, demo::DemoMix mix, bool shuffled)
{
    const std::string schema = "bench_" + std::to_string(documents) +
                               (mix == demo::DemoMix::Realistic ? "_realistic" : "") + (shuffled ? "_shuffled" : "");
    PGconn* c = PQconnectdb(uri.c_str());
    if (PQstatus(c) != CONNECTION_OK) {
        std::fprintf(stderr, "%s", PQerrorMessage(c));
        std::exit(1);
    }
    PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);
    PGresult* r = PQexec(c, ("SELECT 1 FROM pg_namespace WHERE nspname = '" + schema + "'").c_str());
    const bool have = PQntuples(r) == 1;
    PQclear(r);
    const std::string connection =
        uri + (uri.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" + schema;
    if (!have) {
        PQclear(PQexec(c, ("CREATE SCHEMA " + schema + "_new").c_str()));
        const auto start = std::chrono::steady_clock::now();
        demo::WriteDemoServerDatabase(
            uri + (uri.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" + schema + "_new",
            bench::BenchOrders(documents, mix), false);
        const std::string table = schema + "_new.\"Auftraege\"";
        if (shuffled) {
            // The same rows with their row ids, stored in an order drawn from the row ids.
            Exec(c, "CREATE TEMP TABLE gs_shuffle AS SELECT * FROM " + table + " ORDER BY md5(ads_rowid::text)");
            Exec(c, "TRUNCATE " + table);
            Exec(c, "INSERT INTO " + table + " SELECT * FROM gs_shuffle");
            Exec(c, "DROP TABLE gs_shuffle");
        }
        Exec(c, "VACUUM ANALYZE " + table);
        PQclear(PQexec(c, ("ALTER SCHEMA " + schema + "_new RENAME TO " + schema).c_str()));
        std::fprintf(stderr, "  server: %lld documents written in %.1f s\n", documents,
                     std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    PQfinish(c);
    return connection;
}

// What the server has done so far, once the backends of the measurements before have ended and
// reported: the orders table's pages it passed (found in its buffers or read), and the CPU time of
// its ended processes (the postmaster's children, where the server runs on this machine and its
// data directory can be read; else 0).
struct ServerWork {
    long long blocks = 0;
    double cpuSeconds = 0;
};

ServerWork ServerSoFar(const std::string& connection)
{
    usleep(300000);
    PGconn* c = PQconnectdb(connection.c_str());
    if (PQstatus(c) != CONNECTION_OK)
        std::abort();
    ServerWork w;
    PGresult* r = PQexec(c, "SELECT coalesce(heap_blks_read, 0) + coalesce(heap_blks_hit, 0) + "
                            "coalesce(toast_blks_read, 0) + coalesce(toast_blks_hit, 0), "
                            "current_setting('data_directory') FROM pg_statio_user_tables "
                            "WHERE relid = '\"Auftraege\"'::regclass");
    if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1) {
        w.blocks = std::atoll(PQgetvalue(r, 0, 0));
        long pid = 0;
        std::ifstream(std::string(PQgetvalue(r, 0, 1)) + "/postmaster.pid") >> pid;
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string field;
        for (int i = 1; i <= 17 && stat >> field; ++i) {
            if (i == 16 || i == 17) // cutime, cstime: the children waited for
                w.cpuSeconds += std::atof(field.c_str()) / static_cast<double>(sysconf(_SC_CLK_TCK));
        }
    }
    PQclear(r);
    PQfinish(c);
    return w;
}

// withProgress: as the window runs it, with the spooler attached and a progress display (which
// needs the count); without, as the report command runs it.
long WholeRun(const std::string& path, const char* kind, bool withProgress = false)
{
    Runtime runtime(std::filesystem::temp_directory_path() / "pg_run_bench");
    InitNumberFormats(runtime);
    StartProcessObjects(runtime);
    DatabaseSession session;
    CommandLine cl;
    cl.args = {path, kind, std::to_string(MinimumHostRelease)};
    if (!ConnectForStart(session, cl, ReadHostIdentity(runtime), {}))
        std::abort();
    CompleteStart(runtime, session, {}, withProgress); // the window attaches the spooler, the report does not
    ResultTables tables;
    RunFeedback display;
    display.progress = [](const RunProgress&) {}; // a display that shows nothing
    const RunOutcome o =
        RunStatistics(session.Table_ORDERS, std::to_string(kYear), 0, tables, withProgress ? &display : nullptr);
    if (o.error) {
        std::fprintf(stderr, "run failed: %s\n", o.error->c_str());
        std::abort();
    }
    return static_cast<long>(tables.KM.size());
}

std::uint64_t Be(const char* p, int n)
{
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

// The plain loop: the year's selected documents straight through libpq, binary rows.
long PlainLoop(const std::string& connection)
{
    PGconn* c = PQconnectdb(connection.c_str());
    if (PQstatus(c) != CONNECTION_OK)
        std::abort();
    const char* sql = R"(SELECT "ID_ORDER", "AdressName", "AdressID", "Date", "DataGrid_DM", "WW_NETTO", "EXTB")"
                      R"( FROM "Auftraege" WHERE ("POT" = 1 OR "POT" = 5) AND ("Status" = 4 OR "Status" = 1))"
                      R"( AND "Date" BETWEEN $1 AND $2 ORDER BY "Date" DESC)";
    const std::string first = std::to_string(kYear) + "-01-01", last = std::to_string(kYear) + "-12-31";
    const char* values[] = {first.c_str(), last.c_str()};
    PGresult* r = PQexecParams(c, sql, 2, nullptr, values, nullptr, nullptr, 1);
    if (PQresultStatus(r) != PGRES_TUPLES_OK) {
        std::fprintf(stderr, "%s", PQresultErrorMessage(r));
        std::abort();
    }
    size_t sink = 0;
    const int rows = PQntuples(r);
    for (int i = 0; i < rows; ++i) {
        sink += Be(PQgetvalue(r, i, 0), 4) + Be(PQgetvalue(r, i, 2), 4) + Be(PQgetvalue(r, i, 4), 1);
        sink += static_cast<size_t>(PQgetlength(r, i, 1)) + Be(PQgetvalue(r, i, 3), 4);
        sink += Be(PQgetvalue(r, i, 5), 8) & 1;
        sink += DecompressOrCopy(std::string_view(PQgetvalue(r, i, 6), static_cast<size_t>(PQgetlength(r, i, 6)))).size();
    }
    PQclear(r);
    PQfinish(c);
    if (sink == 1)
        std::puts("");
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    std::string uri;
    long long documents = 1000000;
    int repeat = 3;
    demo::DemoMix mix = demo::DemoMix::Standard;
    bool shuffled = false;
    int serverRunOnly = 0; // that many runs on the server in this process, nothing else (for a profiler)
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--pg")
            uri = argv[i + 1];
        else if (a == "--documents")
            documents = std::atoll(argv[i + 1]);
        else if (a == "--repeat")
            repeat = std::max(1, std::atoi(argv[i + 1]));
        else if (a == "--mix")
            mix = std::string(argv[i + 1]) == "realistic" ? demo::DemoMix::Realistic : demo::DemoMix::Standard;
        else if (a == "--order")
            shuffled = std::string(argv[i + 1]) == "shuffled";
        else if (a == "--server-run-only")
            serverRunOnly = std::atoi(argv[i + 1]);
    }
    if (uri.empty()) {
        std::fputs("Aufruf: pg_run_bench --pg VERBINDUNG [--documents N] [--repeat N] [--mix standard|realistic]\n"
                   "       [--order date|shuffled] [--server-run-only N]\n",
                   stderr);
        return 2;
    }
    const std::string server = Server(uri, documents, mix, shuffled);
    if (serverRunOnly > 0) {
        for (int i = 0; i < serverRunOnly; ++i)
            WholeRun(server, "0");
        return 0;
    }
    const auto files = bench::BenchDatabase(documents, mix);
    const Measurement onFiles = Best(repeat, [&] { return WholeRun(files.string(), "1"); });
    // The server's runs and the loop side by side in each pass; each column's best, and the range of
    // the ratios of one pass.
    Measurement onServer, indexWalk, counted, plain;
    double ratioLow = 1e9, ratioHigh = 0, indexLow = 1e9, indexHigh = 0;
    long long blocks[3] = {0, 0, 0};   // table pages the server passed in the last pass: own order, index walk, loop
    double serverCpu[3] = {1e9, 1e9, 1e9}; // the server's CPU time for each, best of the passes
    auto better = [](Measurement& best, const Measurement& m, int pass) {
        if (pass == 0 || m.seconds < best.seconds)
            best = m;
    };
    for (int pass = 0; pass < repeat; ++pass) {
        auto measured = [&](int k, const std::function<long()>& work) {
            const ServerWork before = ServerSoFar(server);
            const Measurement m = InChild(work);
            const ServerWork after = ServerSoFar(server);
            blocks[k] = after.blocks - before.blocks;
            serverCpu[k] = std::min(serverCpu[k], after.cpuSeconds - before.cpuSeconds);
            return m;
        };
        const Measurement own = measured(0, [&] { return WholeRun(server, "0"); });
        const Measurement onIndex = measured(1, [&] {
            ads::Cursor::serverOrderAllowed = false;
            return WholeRun(server, "0");
        });
        const Measurement loop = measured(2, [&] { return PlainLoop(server); });
        const Measurement withCount = InChild([&] { return WholeRun(server, "0", true); });
        better(onServer, own, pass);
        better(indexWalk, onIndex, pass);
        better(plain, loop, pass);
        better(counted, withCount, pass);
        ratioLow = std::min(ratioLow, own.seconds / loop.seconds);
        ratioHigh = std::max(ratioHigh, own.seconds / loop.seconds);
        indexLow = std::min(indexLow, onIndex.seconds / loop.seconds);
        indexHigh = std::max(indexHigh, onIndex.seconds / loop.seconds);
    }
    if (onFiles.rows != onServer.rows || onServer.rows != plain.rows || counted.rows != plain.rows ||
        indexWalk.rows != plain.rows)
        std::fprintf(stderr, "row counts differ: files %ld, server %ld, index walk %ld, plain %ld\n", onFiles.rows,
                     onServer.rows, indexWalk.rows, plain.rows);
    // "counted": the server run with a progress display, which counts beside the walk. Ratios of the
    // best times, the passes' range in brackets; cpu: the measuring process's CPU time (all its
    // threads), then the server's for the same work; pages: the table's pages the server passed (hits
    // in its buffers and reads) in the last pass.
    std::printf("%-10s %-8s %9s %7s %7s | %8s %8s %17s | %8s %17s | %8s %6s | %7s %7s %7s | %7s %7s %7s | %8s %8s "
                "%8s | %6s %6s\n",
                "mix", "order", "documents", "rows", "files s", "server s", "libpq s", "ratio", "index s", "ratio",
                "counted", "ratio", "srv cpu", "idx cpu", "pq cpu", "S srv", "S idx", "S pq", "srv pg", "idx pg",
                "pq pg", "srv MB", "pq MB");
    std::printf("%-10s %-8s %9lld %7ld %7.3f | %8.3f %8.3f %5.2f (%4.2f-%4.2f) | %8.3f %5.2f (%4.2f-%4.2f) | %8.3f "
                "%6.2f | %7.3f %7.3f %7.3f | %7.3f %7.3f %7.3f | %8lld %8lld %8lld | %6.1f %6.1f\n",
                mix == demo::DemoMix::Realistic ? "realistic" : "standard", shuffled ? "shuffled" : "date",
                documents, onServer.rows, onFiles.seconds, onServer.seconds, plain.seconds,
                onServer.seconds / plain.seconds, ratioLow, ratioHigh, indexWalk.seconds,
                indexWalk.seconds / plain.seconds, indexLow, indexHigh, counted.seconds,
                counted.seconds / plain.seconds, onServer.cpuSeconds, indexWalk.cpuSeconds, plain.cpuSeconds,
                serverCpu[0], serverCpu[1], serverCpu[2], blocks[0], blocks[1], blocks[2], onServer.peakKb / 1024.0, plain.peakKb / 1024.0);
    return 0;
}
