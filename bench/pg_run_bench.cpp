// A whole-year statistics run on the same seeded demo data in table files and on a PostgreSQL
// server, beside the plain libpq loop it is measured against: one query of the year's selected
// documents in date order with the columns the run shows (binary rows), inflating EXTB. The server
// run is measured as the report command runs it (no progress display, no count) and as the window
// runs it ("counted": with a progress display, the count beside the walk). Each measurement runs in
// a child process, so that its peak memory is its own.
//     pg_run_bench --pg CONNECTION [--documents N] [--repeat N] [--mix standard|realistic]
// The files are built once into the temporary directory (gs-run-bench-N[-realistic], shared with
// run_bench), the server's tables once into the schema bench_N[_realistic] of the database.
#include "BenchDatabases.h"
#include "DemoDatabase.h"
#include "app/ProcessObjects.h"
#include "app/Startup.h"
#include "app/StatisticsRun.h"
#include "base/CountryFormats.h"
#include "app/Runtime.h"
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

std::string Server(const std::string& uri, long long documents, demo::DemoMix mix)
{
    const std::string schema =
        "bench_" + std::to_string(documents) + (mix == demo::DemoMix::Realistic ? "_realistic" : "");
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
        PQclear(PQexec(c, ("ANALYZE " + schema + "_new.\"Auftraege\"").c_str()));
        PQclear(PQexec(c, ("ALTER SCHEMA " + schema + "_new RENAME TO " + schema).c_str()));
        std::fprintf(stderr, "  server: %lld documents written in %.1f s\n", documents,
                     std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    PQfinish(c);
    return connection;
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
        else if (a == "--server-run-only")
            serverRunOnly = std::atoi(argv[i + 1]);
    }
    if (uri.empty()) {
        std::fputs("Aufruf: pg_run_bench --pg VERBINDUNG [--documents N] [--repeat N] [--mix standard|realistic]\n"
                   "       [--server-run-only N]\n",
                   stderr);
        return 2;
    }
    const std::string server = Server(uri, documents, mix);
    if (serverRunOnly > 0) {
        for (int i = 0; i < serverRunOnly; ++i)
            WholeRun(server, "0");
        return 0;
    }
    const auto files = bench::BenchDatabase(documents, mix);
    const Measurement onFiles = Best(repeat, [&] { return WholeRun(files.string(), "1"); });
    const Measurement onServer = Best(repeat, [&] { return WholeRun(server, "0"); });
    const Measurement counted = Best(repeat, [&] { return WholeRun(server, "0", true); });
    const Measurement plain = Best(repeat, [&] { return PlainLoop(server); });
    if (onFiles.rows != onServer.rows || onServer.rows != plain.rows || counted.rows != plain.rows)
        std::fprintf(stderr, "row counts differ: files %ld, server %ld, plain %ld\n", onFiles.rows, onServer.rows,
                     plain.rows);
    // "counted": the server run with a progress display, which counts beside the walk.
    std::printf("%-10s %10s %8s %9s %9s %9s %7s %10s %7s %12s %12s %10s %10s\n", "mix", "documents", "rows",
                "files s", "server s", "libpq s", "ratio", "counted s", "ratio", "server cpu s", "libpq cpu s",
                "server MB", "libpq MB");
    std::printf("%-10s %10lld %8ld %9.3f %9.3f %9.3f %7.2f %10.3f %7.2f %12.3f %12.3f %10.1f %10.1f\n",
                mix == demo::DemoMix::Realistic ? "realistic" : "standard", documents, onServer.rows, onFiles.seconds,
                onServer.seconds, plain.seconds, onServer.seconds / plain.seconds, counted.seconds,
                counted.seconds / plain.seconds, onServer.cpuSeconds, plain.cpuSeconds, onServer.peakKb / 1024.0,
                plain.peakKb / 1024.0);
    return 0;
}
