#pragma once
// The database layer's two backends for parameterised tests: table files in a temporary folder
// (the local server kind) and a PostgreSQL database (the remote server kind with a connection
// string). The server database is a schema of its own in the throw-away cluster whose URI the
// test command gives in GS_TEST_PG (scripts/pg-test-cluster.sh); the schema goes at the end. Without
// GS_TEST_PG the server cases are skipped with a note.
#include "db/AdsConnection.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

namespace gs::test {

enum class Backend { Files, Server };
std::string BackendName(const ::testing::TestParamInfo<Backend>& info);
inline void PrintTo(Backend b, std::ostream* os) { *os << (b == Backend::Files ? "files" : "server"); }
inline const auto kBackends = ::testing::Values(Backend::Files, Backend::Server);
// The test cluster's URI, empty when the test command started none.
std::string ServerUri();

class BackendDb {
public:
    explicit BackendDb(Backend backend);
    ~BackendDb();
    BackendDb(const BackendDb&) = delete;
    BackendDb& operator=(const BackendDb&) = delete;

    bool Available() const { return available_; }
    Backend Kind() const { return backend_; }
    // The database path and server kind a connection of this backend takes.
    const std::string& Path() const { return path_; }
    TAdsServerTypes Kinds() const;
    // Another connection to the same database (another workstation).
    void Connect(TAdsConnection& other) const;
    // Runs SQL outside the database layer (as another program would) and gives its rows as text,
    // NULL as "<null>"; files: sqlite on the table's file, server: libpq on the schema.
    std::vector<std::vector<std::string>> Query(const std::string& fileName, const std::string& sqlText) const;
    std::string Value(const std::string& fileName, const std::string& sqlText) const;
    // Runs statements (several separated by ";") the same way.
    void Exec(const std::string& fileName, const std::string& sqlText) const;

    TAdsConnection conn;

private:
    Backend backend_;
    bool available_ = true;
    std::optional<TempDir> dir_;
    std::string schema_;
    std::string path_;
};

// In a parameterised test: skips the server case when no cluster runs.
#define GS_REQUIRE_BACKEND(db)                                                                          \
    do {                                                                                                \
        if (!(db).Available())                                                                          \
            GTEST_SKIP() << "no PostgreSQL test cluster (GS_TEST_PG); run the tests through ctest";     \
    } while (0)

} // namespace gs::test
