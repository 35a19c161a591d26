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
#include <mutex>
#include <string>
#include <vector>

namespace gs::test {

struct SpoolFixture {
    // Programs the launcher threads started (they run on their own threads: read after Shutdown).
    // Declared before the runtime so that they outlive it: the runtime's spooler joins its launcher
    // threads when it goes, and a late one still records here.
    std::vector<std::filesystem::path> launched;
    std::mutex launchedMutex;
    TestRuntime rt;
    std::shared_ptr<TExtSpooler> spooler;

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
    TextRowsDataSet data;
    GridDescription grid;
    explicit TestGrid(std::vector<std::string> fields) : data(std::move(fields)) { grid.dataSet = &data; }
};

} // namespace gs::test
