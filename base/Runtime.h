#pragma once
// The process-wide objects of the module, created in one visible place (the program's main, or a
// test) and reachable through Runtime::current() while they exist:
// - the program file and its directory (where ZS.MNU, TOVIK.INI, ALTEURO.INI, UserMode.INI ... live),
// - the fixed number formats,
// - the settings object, the default order patterns and the output spooler,
// - the dialog seam,
// - the clock (so that "today" is under a test's control).
// Tests create a fresh Runtime with a temporary program directory; creating one makes it current,
// destroying it restores the one before.
#include "base/FindFile.h"
#include "base/NumberFormats.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace gs {

class Dialogs;
class TSettings;
class TDefaultPatterns;
class TExtSpooler;

class Runtime {
public:
    explicit Runtime(std::filesystem::path programFile);
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    static Runtime& current();          // throws std::logic_error when none exists
    static Runtime* currentOrNull();

    // Full path of the program file, as the running program reports its own file name.
    const std::filesystem::path& programFile() const { return programFile_; }
    std::filesystem::path programDir() const { return programFile_.parent_path(); }
    // A file in the program's directory, found without regard to case as on the host's platform
    // (an existing file of another letter case wins; otherwise the name as given).
    std::filesystem::path besideProgram(const std::string& fileName) const;

    NumberFormats formats;

    // Second-currency terms for the number conversions; the settings object installs its source.
    std::function<SecondCurrencyTerms()> secondCurrency = [] { return SecondCurrencyTerms{}; };

    // Process-wide objects of later subsystems (shared_ptr: they are complete types only there).
    std::shared_ptr<TSettings> settings;
    std::shared_ptr<TDefaultPatterns> defaultPatterns;
    std::shared_ptr<TExtSpooler> spooler; // the output spooler

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
    Runtime* previous_ = nullptr;
};

} // namespace gs
