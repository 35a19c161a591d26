#pragma once
// What the foundation and the layers above it take of the running process: the program file and
// its directory (where ZS.MNU, TOVIK.INI, ALTEURO.INI, UserMode.INI ... live), the number formats
// fixed at start, the second-currency terms, the dialog seam and the clock (so that "today" is
// under a test's control). Nothing of an upper layer lives here: the application's Runtime
// (app/Runtime.h) is a ProcessContext that also holds the settings object, the default patterns and
// the spooler, and hands those to the layers below as parameters.
//
// The program's main (or a test) creates the one Runtime; creating one makes it the current context,
// destroying it restores the one before.
#include "base/FindFile.h"
#include "base/NumberFormats.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace gs {

class Dialogs;

class ProcessContext {
public:
    explicit ProcessContext(std::filesystem::path programFile);
    virtual ~ProcessContext();
    ProcessContext(const ProcessContext&) = delete;
    ProcessContext& operator=(const ProcessContext&) = delete;

    static ProcessContext& current();          // throws std::logic_error when none exists
    static ProcessContext* currentOrNull();

    // Full path of the program file, as the running program reports its own file name.
    const std::filesystem::path& programFile() const { return programFile_; }
    std::filesystem::path programDir() const { return programFile_.parent_path(); }
    // A file in the program's directory, found without regard to case as on the host's platform
    // (an existing file of another letter case wins; otherwise the name as given).
    std::filesystem::path besideProgram(const std::string& fileName) const;

    NumberFormats formats;

    // Second-currency terms for the number conversions; the settings object installs its source
    // (empty until then).
    std::function<SecondCurrencyTerms()> secondCurrency;

    // The dialog seam; never null (ConsoleDialogs until a window layer or a test installs another).
    Dialogs& dialogs() const { return *dialogs_; }
    const std::shared_ptr<Dialogs>& sharedDialogs() const { return dialogs_; }
    void setDialogs(std::shared_ptr<Dialogs> dialogs);

    // Current local date and time as a day number with fraction; replaceable by tests.
    std::function<double()> now;
    // Date of program start (day number without fraction).
    double startDate = 0;

private:
    std::filesystem::path programFile_;
    std::shared_ptr<Dialogs> dialogs_;
    ProcessContext* previous_ = nullptr;
};

} // namespace gs
