#pragma once
// libpq as the server backend's files call it: the library's functions, loaded when the first
// connection to a server is made, and the server's message of a failure. Only for db/Pg*.cpp.
#include "db/DbValue.h"

#include <libpq-fe.h>

#include <memory>
#include <string>
#include <vector>

namespace gs::ads {

// libpq is loaded when the first connection to a server is made, not with the program: the table
// files (the local kind) never pay for loading it and its libraries (TLS, Kerberos, LDAP).
struct PqApi {
    decltype(&::PQconnectdb) PQconnectdb = nullptr;
    decltype(&::PQstatus) PQstatus = nullptr;
    decltype(&::PQerrorMessage) PQerrorMessage = nullptr;
    decltype(&::PQfinish) PQfinish = nullptr;
    decltype(&::PQsetNoticeProcessor) PQsetNoticeProcessor = nullptr;
    decltype(&::PQsetClientEncoding) PQsetClientEncoding = nullptr;
    decltype(&::PQexec) PQexec = nullptr;
    decltype(&::PQresultStatus) PQresultStatus = nullptr;
    decltype(&::PQresultErrorMessage) PQresultErrorMessage = nullptr;
    decltype(&::PQclear) PQclear = nullptr;
    decltype(&::PQcmdStatus) PQcmdStatus = nullptr;
    decltype(&::PQprepare) PQprepare = nullptr;
    decltype(&::PQdescribePrepared) PQdescribePrepared = nullptr;
    decltype(&::PQnparams) PQnparams = nullptr;
    decltype(&::PQparamtype) PQparamtype = nullptr;
    decltype(&::PQexecPrepared) PQexecPrepared = nullptr;
    decltype(&::PQcmdTuples) PQcmdTuples = nullptr;
    decltype(&::PQntuples) PQntuples = nullptr;
    decltype(&::PQnfields) PQnfields = nullptr;
    decltype(&::PQftype) PQftype = nullptr;
    decltype(&::PQgetisnull) PQgetisnull = nullptr;
    decltype(&::PQgetvalue) PQgetvalue = nullptr;
    decltype(&::PQgetlength) PQgetlength = nullptr;
    decltype(&::PQgetResult) PQgetResult = nullptr;
    decltype(&::PQsendQueryParams) PQsendQueryParams = nullptr;
    decltype(&::PQexecParams) PQexecParams = nullptr;
    decltype(&::PQconsumeInput) PQconsumeInput = nullptr;
    decltype(&::PQisBusy) PQisBusy = nullptr;
    decltype(&::PQgetCancel) PQgetCancel = nullptr;
    decltype(&::PQcancel) PQcancel = nullptr;
    decltype(&::PQfreeCancel) PQfreeCancel = nullptr;
    decltype(&::PQputCopyData) PQputCopyData = nullptr;
    decltype(&::PQputCopyEnd) PQputCopyEnd = nullptr;
    decltype(&::PQconnectStartParams) PQconnectStartParams = nullptr;
    decltype(&::PQconnectPoll) PQconnectPoll = nullptr;
    decltype(&::PQsocket) PQsocket = nullptr;
    decltype(&::PQflush) PQflush = nullptr;
    decltype(&::PQsendQuery) PQsendQuery = nullptr;
    decltype(&::PQsendPrepare) PQsendPrepare = nullptr;
    decltype(&::PQsendQueryPrepared) PQsendQueryPrepared = nullptr;
    decltype(&::PQsendDescribePrepared) PQsendDescribePrepared = nullptr;
    decltype(&::PQhost) PQhost = nullptr;
    decltype(&::PQport) PQport = nullptr;
};

// Raises AdsError when libpq cannot be loaded.
const PqApi& Pq();

// Clears a result on leaving a scope, also by an exception.
struct ResultFree {
    void operator()(pg_result* r) const { Pq().PQclear(r); }
};
using ResultPtr = std::unique_ptr<pg_result, ResultFree>;

// The server's (or the connection's) message, without the trailing line break.
std::string Message(pg_conn* conn, const pg_result* result);

// Parameters as text for PQexecParams and PQsendQueryParams (the server types them from the
// statement); NULL values as null pointers.
struct TextParams {
    explicit TextParams(const std::vector<DbValue>& params);
    int Count() const { return static_cast<int>(values.size()); }
    std::vector<std::string> texts;
    std::vector<const char*> values;
};

} // namespace gs::ads
