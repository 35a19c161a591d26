#pragma once
// A spooler in a fresh test runtime: settings object created, SPOOLER beside the temporary program,
// processor launches recorded instead of run. Rows are read back with plain SQL, as a processor
// would see them.
#include "spool/ExtSpooler.h"
#include "spool/GridSource.h"
#include "support/DbTestSupport.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace gs::test {

struct SpoolFixture {
    TestRuntime rt;
    std::shared_ptr<TExtSpooler> spooler;
    std::vector<std::filesystem::path> launched;

    SpoolFixture();
    std::filesystem::path spoolDir() const { return spooler->SpoolDirectory(); }
    std::filesystem::path spoolFile() const;
    std::filesystem::path detailFile() const;
    // A value of the job row with that ID, as text ("<null>" for NULL).
    std::string job(long long id, const std::string& field) const;
    // Detail rows of a job in id order, descending (as written), the given fields each.
    std::vector<std::vector<std::string>> details(long long id, const std::string& fields) const;
    long long count(const std::string& table, const std::string& where = "1") const;
};

// A grid of plain rows: fields F1..Fn with the given columns.
struct TestGrid {
    TTextRowsDataSet data;
    TGridDescription grid;
    explicit TestGrid(std::vector<std::string> fields) : data(std::move(fields)) { grid.dataSet = &data; }
};

} // namespace gs::test
