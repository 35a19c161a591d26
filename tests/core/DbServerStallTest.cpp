// A database server that stops answering in the middle of a run: the backend serving the run is
// stopped with SIGSTOP (what a lost network, a suspended machine or a server swapping to death looks
// like to the client) during the walk, and once during the count beside it. The run must end with
// the German message within the set limit, drop the connection, and the next run (after SIGCONT)
// must work on a new one. Also: the cancel flag ends a stalled wait at once, a killed backend is
// named as a lost connection, and a server that accepts but never answers fails the connect in time.
#include "db/AdsError.h"
#include "db/AdsTable.h"
#include "support/DbBackends.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <thread>

using namespace gs;
using namespace gs::test;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRows = 20000; // far more than the batches read ahead: the reader thread is at work

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class DbServerStall : public ::testing::Test {
protected:
    void SetUp() override
    {
        GS_REQUIRE_BACKEND(db);
        TAdsTable fill{&db.conn, "T.ADT"};
        fill.CreateTable({{"ID", TAdsFieldType::AutoInc}, {"K", TAdsFieldType::Integer}}, {{"K", "K", 0}});
        fill.Open();
        fill.BeginBulkLoad();
        db.conn.BeginTransaction();
        for (int i = 0; i < kRows; ++i) {
            fill.Append();
            fill.FieldByName("K").SetInteger(i);
            fill.Post();
        }
        db.conn.Commit();
        fill.EndBulkLoad();
        fill.Close();
        // The run's own connection, named so that its backends can be found on the server.
        app_ = "stall" + std::to_string(::getpid());
        conn.SetAdsServerTypes(db.Kinds());
        conn.SetConnectPath(db.Path() + "&application_name=" + app_);
        ads::ServerLimits limits;
        limits.answerSeconds = 2;
        conn.SetServerLimits(limits);
        conn.Connect();
        t.SetAdsConnection(&conn);
        t.SetTableName("T.ADT");
        t.SetIndexName("K");
        t.Open();
    }
    void TearDown() override
    {
        for (int pid : stopped_)
            ::kill(pid, SIGCONT);
    }

    // The run's backend whose last statement matches (LIKE) pattern; 0 when there is none.
    int Backend(const std::string& pattern) const
    {
        const std::string pid = db.Value("T.ADT", "SELECT pid FROM pg_stat_activity WHERE application_name = '" + app_ +
                                                      "' AND query LIKE '" + pattern + "' ORDER BY pid LIMIT 1");
        return pid.empty() ? 0 : std::stoi(pid);
    }
    void Stop(int pid)
    {
        ASSERT_NE(pid, 0);
        ASSERT_EQ(::kill(pid, SIGSTOP), 0);
        stopped_.push_back(pid);
    }
    void Resume()
    {
        for (int pid : stopped_)
            ::kill(pid, SIGCONT);
        stopped_.clear();
    }
    // Walks on until the walk fails; gives the message and the seconds it took from the call.
    std::pair<std::string, double> WalkUntilFailure()
    {
        const auto start = Clock::now();
        try {
            while (!t.Eof())
                t.Next();
        } catch (const AdsError& e) {
            return {e.what(), SecondsSince(start)};
        }
        return {"(kein Fehler)", SecondsSince(start)};
    }
    // A whole run: the rows in the walk (and the count beside it, when asked for).
    int Run(bool counted)
    {
        TAdsTable::ReadScope scope(t);
        t.First();
        std::optional<TAdsTable::RecordCounting> counting;
        if (counted)
            counting.emplace(t.StartRecordCount());
        int rows = 0;
        for (; !t.Eof(); t.Next())
            ++rows;
        if (counting) {
            EXPECT_EQ(counting->Count(), rows);
        }
        return rows;
    }

    BackendDb db{Backend::Server};
    TAdsConnection conn;
    TAdsTable t;
    std::string app_;
    std::vector<int> stopped_;
};

TEST_F(DbServerStall, AStoppedBackendEndsTheWalkWithinTheLimitAndTheNextRunConnectsAnew)
{
    EXPECT_EQ(Run(true), kRows);
    {
        TAdsTable::ReadScope scope(t);
        t.First();
        for (int i = 0; i < 2500; ++i) // the third batch is on its way on the reader thread
            t.Next();
        Stop(Backend("FETCH%"));
        const auto [message, seconds] = WalkUntilFailure();
        EXPECT_EQ(message.rfind("Der Datenbankserver /", 0), 0u) << message;
        EXPECT_NE(message.find("/.s.PGSQL."), std::string::npos) << message;
        EXPECT_NE(message.find(" antwortet seit 2 s nicht."), std::string::npos) << message;
        EXPECT_LT(seconds, 2 + 2.0); // the limit, and room for a machine under load
        // The failed run stays failed: no statement of it goes on over a new connection.
        EXPECT_THROW(t.First(), AdsError);
    }
    Resume();
    EXPECT_EQ(Run(true), kRows);
}

TEST_F(DbServerStall, AStoppedCountBesideTheWalkEndsTheRunWithinTheLimit)
{
    EXPECT_EQ(Run(true), kRows); // the count's connection is there
    {
        TAdsTable::ReadScope scope(t);
        t.First();
        // Another workstation waits for an exclusive lock of the table: the count queues behind it
        // (the walk holds its lock already) and is stopped there, certainly before its answer.
        auto locker = std::async(std::launch::async, [&] {
            try {
                db.Exec("T.ADT", "SET lock_timeout = '20s'; BEGIN; LOCK TABLE \"T\" IN ACCESS EXCLUSIVE MODE; ROLLBACK");
            } catch (...) {
            }
        });
        for (int i = 0; i < 200 && db.Value("T.ADT", "SELECT count(*) FROM pg_stat_activity WHERE query LIKE "
                                                     "'%LOCK TABLE%' AND wait_event_type = 'Lock'") != "1";
             ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        TAdsTable::RecordCounting counting = t.StartRecordCount();
        int count = 0;
        for (int i = 0; i < 200 && !(count = Backend("SELECT count%")); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Stop(count);
        const auto start = Clock::now();
        try {
            counting.Count();
            ADD_FAILURE() << "the count came";
        } catch (const AdsError& e) {
            EXPECT_NE(std::string(e.what()).find(" antwortet seit 2 s nicht."), std::string::npos) << e.what();
        }
        EXPECT_LT(SecondsSince(start), 2 + 2.0);
        Resume();
        db.Exec("T.ADT", "SELECT pg_cancel_backend(pid) FROM pg_stat_activity WHERE query LIKE '%LOCK TABLE%' "
                         "AND pid <> pg_backend_pid()");
        locker.wait();
    }
    EXPECT_EQ(Run(true), kRows);
}

TEST_F(DbServerStall, TheCancelFlagEndsAStalledWaitAtOnce)
{
    std::atomic<bool> cancel{false};
    ads::ServerLimits limits = conn.Limits();
    limits.answerSeconds = 30;
    conn.SetServerLimits(limits);
    conn.SetCancelFlag(&cancel);
    {
        TAdsTable::ReadScope scope(t);
        t.First();
        for (int i = 0; i < 2500; ++i)
            t.Next();
        Stop(Backend("FETCH%"));
        std::thread press([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            cancel = true;
        });
        const auto [message, seconds] = WalkUntilFailure();
        press.join();
        EXPECT_EQ(message, "Abgebrochen.");
        EXPECT_LT(seconds, 0.3 + 0.7); // pressed after 0.3 s, seen within 0.1 s, far below the 30 s limit
    }
    Resume();
    cancel = false;
    EXPECT_EQ(Run(true), kRows);
}

TEST_F(DbServerStall, AKilledBackendIsALostConnectionAndTheNextRunConnectsAnew)
{
    {
        TAdsTable::ReadScope scope(t);
        t.First();
        for (int i = 0; i < 2500; ++i)
            t.Next();
        db.Exec("T.ADT", "SELECT pg_terminate_backend(" + std::to_string(Backend("FETCH%")) + ")");
        const std::string message = WalkUntilFailure().first;
        const std::string lead = "Verbindung zum Datenbankserver verloren: ";
        EXPECT_EQ(message.rfind(lead, 0), 0u) << message;
        EXPECT_GT(message.size(), lead.size() + 5) << message; // libpq's text follows
    }
    EXPECT_EQ(Run(false), kRows);
}

} // namespace

// A server that takes the connection but never answers (a listening socket nobody serves): the
// connect ends after the connect time-out with the connection's name, not never.
TEST(DbServerConnect, AServerThatNeverAnswersFailsTheConnectInTime)
{
    TempDir dir;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string path = (dir.path() / ".s.PGSQL.5432").string();
    ASSERT_LT(path.size(), sizeof addr.sun_path);
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(fd, 4), 0);
    TAdsConnection conn;
    conn.SetAdsServerTypes(TAdsServerTypes{stADS_REMOTE});
    conn.SetConnectPath("postgresql://gs:geheim@/gs?host=" + dir.path().string());
    ads::ServerLimits limits;
    limits.connectSeconds = 1;
    conn.SetServerLimits(limits);
    const auto start = Clock::now();
    try {
        conn.Connect();
        ADD_FAILURE() << "connected";
    } catch (const AdsError& e) {
        const std::string m = e.what();
        EXPECT_EQ(m, "Verbindung nicht möglich: postgresql://gs:***@/gs?host=" + dir.path().string() +
                         ": keine Antwort des Datenbankservers in 1 s");
        EXPECT_EQ(m.find("geheim"), std::string::npos);
    }
    EXPECT_LT(SecondsSince(start), 1 + 1.0);
    ::close(fd);
}
