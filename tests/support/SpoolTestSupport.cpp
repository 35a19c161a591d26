#include "support/SpoolTestSupport.h"
#include "app/ProcessObjects.h"

#include "app/Runtime.h"
#include "settings/Settings.h"
#include "spool/SpoolTables.h"

namespace gs::test {

SpoolFixture::SpoolFixture()
{
    CreateSettings(rt.runtime());
    CreateSpooler(rt.runtime());
    spooler = rt.runtime().spooler;
    spooler->LaunchProgram = [this](const std::filesystem::path& program) {
        std::lock_guard<std::mutex> lock(launchedMutex);
        launched.push_back(program);
        return true;
    };
}

std::filesystem::path SpoolFixture::spoolFile() const { return spoolDir() / SpoolTableName; }
std::filesystem::path SpoolFixture::detailFile() const { return spoolDir() / DetailTableName; }

std::string SpoolFixture::job(long long id, const std::string& field) const
{
    return QueryValue(spoolFile(), "SELECT \"" + field + "\" FROM SPOOL WHERE ID=" + std::to_string(id));
}

std::vector<std::vector<std::string>> SpoolFixture::details(long long id, const std::string& fields) const
{
    return QuerySql(detailFile(), "SELECT " + fields + " FROM DET WHERE idmain=" + std::to_string(id) +
                                      " ORDER BY id DESC");
}

long long SpoolFixture::count(const std::string& table, const std::string& where) const
{
    const auto file = table == "SPOOL" ? spoolFile() : detailFile();
    return std::stoll(QueryValue(file, "SELECT count(*) FROM " + table + " WHERE " + where));
}

} // namespace gs::test
