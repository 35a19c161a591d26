#include "db/PgWait.h"

#include "db/PgApi.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>

namespace gs::ads {

namespace {

using Clock = std::chrono::steady_clock;

// The longest single sleep on the socket: the cancel flag is looked at at least this often.
constexpr int kSliceMs = 100;

bool Cancelled(const ServerLimits& limits)
{
    return limits.cancel && limits.cancel->load(std::memory_order_relaxed);
}

int MsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, kSliceMs));
}

// Sleeps on the socket until it is readable (or writable), the slice ends or the deadline comes.
// Gives -1 when the socket failed, 0 when nothing happened, else the poll's events.
int Sleep(int fd, short events, Clock::time_point deadline)
{
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, MsLeft(deadline));
    if (n < 0)
        return errno == EINTR ? 0 : -1;
    return n == 0 ? 0 : p.revents;
}

Clock::time_point After(int seconds) { return Clock::now() + std::chrono::seconds(std::max(1, seconds)); }

} // namespace

WaitEnd AwaitAnswer(pg_conn* conn, const ServerLimits& limits) noexcept
{
    if (!conn || Pq().PQstatus(conn) == CONNECTION_BAD)
        return WaitEnd::Lost;
    Clock::time_point deadline = After(limits.answerSeconds);
    for (;;) {
        if (Cancelled(limits))
            return WaitEnd::Cancelled;
        const int flushed = Pq().PQflush(conn); // 1: a non-blocking connection has more to send
        if (flushed < 0)
            return WaitEnd::Lost;
        if (flushed == 0 && Pq().PQisBusy(conn) == 0)
            return WaitEnd::Answered;
        if (Clock::now() >= deadline)
            return WaitEnd::Silent;
        const int fd = Pq().PQsocket(conn);
        if (fd < 0)
            return WaitEnd::Lost;
        const int events = Sleep(fd, static_cast<short>(POLLIN | (flushed == 1 ? POLLOUT : 0)), deadline);
        if (events < 0)
            return WaitEnd::Lost;
        if (events & (POLLIN | POLLERR | POLLHUP)) {
            if (Pq().PQconsumeInput(conn) == 0)
                return WaitEnd::Lost;
            deadline = After(limits.answerSeconds); // the server is there: the time counts anew
        }
    }
}

Answer TakeAnswer(pg_conn* conn, const ServerLimits& limits) noexcept
{
    Answer answer;
    for (;;) {
        const WaitEnd end = AwaitAnswer(conn, limits);
        if (end != WaitEnd::Answered) {
            // A broken connection may still give its error as a result: that names the cause.
            if (end == WaitEnd::Lost && conn && !answer.result) {
                if (pg_result* r = Pq().PQgetResult(conn)) {
                    answer.result = r;
                    while (pg_result* more = Pq().PQgetResult(conn))
                        Pq().PQclear(more);
                    return answer;
                }
            }
            Pq().PQclear(answer.result);
            return Answer{nullptr, end};
        }
        pg_result* r = Pq().PQgetResult(conn);
        if (!r)
            return answer;
        const ExecStatusType status = Pq().PQresultStatus(r);
        const bool failed = status == PGRES_FATAL_ERROR || status == PGRES_BAD_RESPONSE;
        const bool kept = answer.result && (Pq().PQresultStatus(answer.result) == PGRES_FATAL_ERROR ||
                                            Pq().PQresultStatus(answer.result) == PGRES_BAD_RESPONSE);
        if (kept && !failed) {
            Pq().PQclear(r);
        } else if (!kept) {
            Pq().PQclear(answer.result);
            answer.result = r;
        } else {
            Pq().PQclear(r);
        }
        if (status == PGRES_COPY_IN || status == PGRES_COPY_OUT || status == PGRES_COPY_BOTH)
            return answer; // the stream is open: its results come when it ends
    }
}

std::string ServerName(pg_conn* conn)
{
    if (!conn)
        return "(unbekannt)";
    const char* host = Pq().PQhost(conn);
    const char* port = Pq().PQport(conn);
    const std::string h = host ? host : "";
    const std::string p = port && *port ? port : "5432";
    if (!h.empty() && (h[0] == '/' || h[0] == '@'))
        return h + "/.s.PGSQL." + p;
    return (h.empty() ? std::string("localhost") : h) + ":" + p;
}

bool ConnectionBroken(pg_conn* conn) { return !conn || Pq().PQstatus(conn) == CONNECTION_BAD; }

std::string WaitMessage(WaitEnd end, pg_conn* conn, const std::string& server, const ServerLimits& limits)
{
    switch (end) {
    case WaitEnd::Silent:
        return "Der Datenbankserver " + server + " antwortet seit " + std::to_string(std::max(1, limits.answerSeconds)) +
               " s nicht.";
    case WaitEnd::Cancelled: return kCancelled;
    case WaitEnd::Lost: return kLostLead + (conn ? Message(conn, nullptr) : std::string("keine Verbindung"));
    case WaitEnd::Answered: break;
    }
    return {};
}

pg_conn* ConnectWithin(const std::string& connection, const ServerLimits& limits, std::string& why)
{
    // Keywords first, the connection string last: what the string sets wins. libpq applies the
    // keepalives on TCP connections only.
    const std::string timeout = std::to_string(std::max(1, limits.connectSeconds));
    const char* keywords[] = {"connect_timeout", "keepalives", "keepalives_idle", "keepalives_interval",
                              "keepalives_count", "dbname", nullptr};
    const char* values[] = {timeout.c_str(), "1", "30", "10", "3", connection.c_str(), nullptr};
    pg_conn* conn = Pq().PQconnectStartParams(keywords, values, 1);
    if (!conn) {
        why = "kein Speicher für die Verbindung";
        return nullptr;
    }
    const Clock::time_point deadline = After(limits.connectSeconds);
    PostgresPollingStatusType state = PGRES_POLLING_WRITING;
    while (Pq().PQstatus(conn) != CONNECTION_BAD) {
        if (state == PGRES_POLLING_OK)
            return conn;
        if (state == PGRES_POLLING_FAILED)
            break;
        if (Cancelled(limits)) {
            why = kCancelled;
            Pq().PQfinish(conn);
            return nullptr;
        }
        if (Clock::now() >= deadline) {
            why = "keine Antwort des Datenbankservers in " + timeout + " s";
            Pq().PQfinish(conn);
            return nullptr;
        }
        const int fd = Pq().PQsocket(conn);
        if (fd < 0)
            break;
        const int events = Sleep(fd, state == PGRES_POLLING_READING ? POLLIN : POLLOUT, deadline);
        if (events < 0)
            break;
        if (events != 0)
            state = Pq().PQconnectPoll(conn);
    }
    why = Message(conn, nullptr);
    Pq().PQfinish(conn);
    return nullptr;
}

} // namespace gs::ads
