#include "support/DbBackends.h"

#include "support/DbTestSupport.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>

namespace gs::test {

namespace {

struct PgConn {
    PGconn* c;
    explicit PgConn(const std::string& uri) : c(PQconnectdb(uri.c_str()))
    {
        if (PQstatus(c) != CONNECTION_OK)
            throw std::runtime_error(std::string("test cluster: ") + PQerrorMessage(c));
        PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);
    }
    ~PgConn() { PQfinish(c); }
    std::vector<std::vector<std::string>> Run(const std::string& sqlText) const
    {
        PGresult* r = PQexec(c, sqlText.c_str());
        const auto status = PQresultStatus(r);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            const std::string m = PQresultErrorMessage(r);
            PQclear(r);
            throw std::runtime_error("SQL failed: " + m + " in: " + sqlText);
        }
        std::vector<std::vector<std::string>> rows;
        for (int i = 0; i < PQntuples(r); ++i) {
            std::vector<std::string> row;
            for (int j = 0; j < PQnfields(r); ++j)
                row.emplace_back(PQgetisnull(r, i, j) ? "<null>" : PQgetvalue(r, i, j));
            rows.push_back(std::move(row));
        }
        PQclear(r);
        return rows;
    }
};

std::string WithSchema(const std::string& uri, const std::string& schema)
{
    return uri + (uri.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" + schema;
}

} // namespace

std::string BackendName(const ::testing::TestParamInfo<Backend>& info)
{
    return info.param == Backend::Files ? "Files" : "Server";
}

std::string ServerUri()
{
    const char* uri = std::getenv("GS_TEST_PG");
    return uri ? uri : "";
}

BackendDb::BackendDb(Backend backend) : backend_(backend)
{
    if (backend_ == Backend::Files) {
        dir_.emplace();
        path_ = dir_->path().string();
    } else {
        const std::string uri = ServerUri();
        if (uri.empty()) {
            available_ = false;
            return;
        }
        static std::atomic<int> counter{0};
        schema_ = "t" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
        PgConn(uri).Run("CREATE SCHEMA " + schema_);
        path_ = WithSchema(uri, schema_);
    }
    Connect(conn);
}

BackendDb::~BackendDb()
{
    conn.Disconnect();
    if (!schema_.empty()) {
        try {
            PgConn(ServerUri()).Run("DROP SCHEMA " + schema_ + " CASCADE");
        } catch (...) {
        }
    }
}

TAdsServerTypes BackendDb::Kinds() const
{
    return backend_ == Backend::Files ? TAdsServerTypes{stADS_LOCAL} : TAdsServerTypes{stADS_REMOTE};
}

void BackendDb::Connect(TAdsConnection& other) const
{
    other.SetAdsServerTypes(Kinds());
    other.SetConnectPath(path_);
    other.Connect();
}

std::vector<std::vector<std::string>> BackendDb::Query(const std::string& fileName, const std::string& sqlText) const
{
    if (backend_ == Backend::Files)
        return QuerySql(dir_->path() / fileName, sqlText);
    return PgConn(path_).Run(sqlText);
}

void BackendDb::Exec(const std::string& fileName, const std::string& sqlText) const
{
    if (backend_ == Backend::Files)
        ExecSql(dir_->path() / fileName, sqlText);
    else
        PgConn(path_).Run(sqlText);
}

std::string BackendDb::Value(const std::string& fileName, const std::string& sqlText) const
{
    const auto rows = Query(fileName, sqlText);
    return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
}

} // namespace gs::test
