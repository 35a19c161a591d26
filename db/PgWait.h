#pragma once
// Every wait for the database server in one place: the answer to a statement is awaited on the
// connection's socket in slices of at most 100 ms, so that the caller's cancel flag is seen at once
// and a server that sends nothing for the set time is given up. Connecting goes the same way.
// Only for db/Pg*.cpp.
#include "db/ServerLimits.h"

#include <string>

struct pg_conn;
struct pg_result;

namespace gs::ads {

enum class WaitEnd {
    Answered,  // the answer can be taken without blocking
    Silent,    // nothing came for limits.answerSeconds
    Cancelled, // the caller's flag was set
    Lost       // the connection broke (or there is none)
};

// Waits until the answer to what was sent can be taken without blocking. The time counts from the
// last bytes received: a long answer that keeps coming is never cut off.
WaitEnd AwaitAnswer(pg_conn* conn, const ServerLimits& limits) noexcept;

struct Answer {
    pg_result* result = nullptr; // owned by the caller (PQclear)
    WaitEnd end = WaitEnd::Answered;
};

// Waits for and takes every result of the statement just sent: the first failed one, else the last
// (as PQexec gives it). A COPY stream's start is given as it comes. On any end but Answered the
// result is null and what had come is cleared.
Answer TakeAnswer(pg_conn* conn, const ServerLimits& limits) noexcept;

// The server as the messages name it: "host:port" over TCP, the socket's path on a unix socket.
std::string ServerName(pg_conn* conn);

// "Der Datenbankserver <server> antwortet seit <n> s nicht.", "Abgebrochen." or
// "Verbindung zum Datenbankserver verloren: <libpq's text>" (never for Answered).
std::string WaitMessage(WaitEnd end, pg_conn* conn, const std::string& server, const ServerLimits& limits);

// True when the connection has broken (a failed result then reads as a lost connection).
bool ConnectionBroken(pg_conn* conn);
inline constexpr const char* kLostLead = "Verbindung zum Datenbankserver verloren: ";
inline constexpr const char* kCancelled = "Abgebrochen.";

// Connects with the connection string (its own settings win over the defaults given here: a
// time-out of limits.connectSeconds and TCP keepalives). Gives the connection, or null with the
// cause in why (libpq's text, or the time-out or cancel).
pg_conn* ConnectWithin(const std::string& connection, const ServerLimits& limits, std::string& why);

} // namespace gs::ads
