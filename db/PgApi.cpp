#include "db/PgApi.h"

#include "db/AdsError.h"

#include <dlfcn.h>

#include <cstdio>
#include <type_traits>

namespace gs::ads {

const PqApi& Pq()
{
    static const PqApi api = [] {
        PqApi a;
        void* lib = ::dlopen("libpq.so.5", RTLD_NOW | RTLD_LOCAL);
        if (!lib) {
            const char* why = ::dlerror();
            throw AdsError(std::string("Verbindung zum Datenbankserver nicht möglich: libpq.so.5 kann nicht geladen "
                                       "werden (Paket libpq5): ") +
                               (why ? why : "unbekannter Fehler"),
                           {});
        }
        auto load = [&](auto& slot, const char* name) {
            slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(::dlsym(lib, name));
            if (!slot)
                throw AdsError(std::string("Verbindung zum Datenbankserver nicht möglich: libpq.so.5 ohne ") + name, {});
        };
        load(a.PQconnectdb, "PQconnectdb");
        load(a.PQstatus, "PQstatus");
        load(a.PQerrorMessage, "PQerrorMessage");
        load(a.PQfinish, "PQfinish");
        load(a.PQsetNoticeProcessor, "PQsetNoticeProcessor");
        load(a.PQsetClientEncoding, "PQsetClientEncoding");
        load(a.PQexec, "PQexec");
        load(a.PQresultStatus, "PQresultStatus");
        load(a.PQresultErrorMessage, "PQresultErrorMessage");
        load(a.PQclear, "PQclear");
        load(a.PQcmdStatus, "PQcmdStatus");
        load(a.PQprepare, "PQprepare");
        load(a.PQdescribePrepared, "PQdescribePrepared");
        load(a.PQnparams, "PQnparams");
        load(a.PQparamtype, "PQparamtype");
        load(a.PQexecPrepared, "PQexecPrepared");
        load(a.PQcmdTuples, "PQcmdTuples");
        load(a.PQntuples, "PQntuples");
        load(a.PQnfields, "PQnfields");
        load(a.PQftype, "PQftype");
        load(a.PQgetisnull, "PQgetisnull");
        load(a.PQgetvalue, "PQgetvalue");
        load(a.PQgetlength, "PQgetlength");
        load(a.PQgetResult, "PQgetResult");
        load(a.PQsendQueryParams, "PQsendQueryParams");
        load(a.PQexecParams, "PQexecParams");
        load(a.PQconsumeInput, "PQconsumeInput");
        load(a.PQisBusy, "PQisBusy");
        load(a.PQgetCancel, "PQgetCancel");
        load(a.PQcancel, "PQcancel");
        load(a.PQfreeCancel, "PQfreeCancel");
        load(a.PQputCopyData, "PQputCopyData");
        load(a.PQputCopyEnd, "PQputCopyEnd");
        load(a.PQconnectStartParams, "PQconnectStartParams");
        load(a.PQconnectPoll, "PQconnectPoll");
        load(a.PQsocket, "PQsocket");
        load(a.PQflush, "PQflush");
        load(a.PQsendQuery, "PQsendQuery");
        load(a.PQsendPrepare, "PQsendPrepare");
        load(a.PQsendQueryPrepared, "PQsendQueryPrepared");
        load(a.PQsendDescribePrepared, "PQsendDescribePrepared");
        load(a.PQhost, "PQhost");
        load(a.PQport, "PQport");
        return a;
    }();
    return api;
}

std::string Message(pg_conn* conn, const pg_result* result)
{
    std::string m = result ? Pq().PQresultErrorMessage(result) : Pq().PQerrorMessage(conn);
    while (!m.empty() && (m.back() == '\n' || m.back() == ' '))
        m.pop_back();
    return m.empty() ? std::string("unbekannter Fehler des Datenbankservers") : m;
}

TextParams::TextParams(const std::vector<DbValue>& params) : texts(params.size()), values(params.size())
{
    for (size_t i = 0; i < params.size(); ++i) {
        const DbValue& v = params[i];
        if (v.kind == StorageKind::Null) {
            values[i] = nullptr;
            continue;
        }
        if (v.kind == StorageKind::Integer) {
            texts[i] = std::to_string(v.i);
        } else if (v.kind == StorageKind::Real) {
            char buf[40];
            std::snprintf(buf, sizeof buf, "%.17g", v.d);
            texts[i] = buf;
        } else {
            texts[i] = v.s;
        }
        values[i] = texts[i].c_str();
    }
}

} // namespace gs::ads
