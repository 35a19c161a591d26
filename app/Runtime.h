#pragma once
// The process-wide objects of the module, created in one visible place (the program's main, or a
// test; app/ProcessObjects.cpp makes the settings object, the default patterns and the spooler):
// the process context of the foundation (program file, number formats, second-currency terms, dialog
// seam, clock: base/ProcessContext.h) and the objects of the layers above it. Program code reads it;
// the layers below the application get what they need of it as parameters.
#include "base/ProcessContext.h"

#include <memory>

namespace gs {

class TSettings;
class DefaultPatterns;
class TExtSpooler;

class Runtime : public ProcessContext {
public:
    explicit Runtime(std::filesystem::path programFile);
    ~Runtime() override;

    static Runtime& current(); // throws std::logic_error when none exists
    static Runtime* currentOrNull();

    std::shared_ptr<TSettings> settings;
    std::shared_ptr<DefaultPatterns> defaultPatterns;
    std::shared_ptr<TExtSpooler> spooler; // the output spooler

private:
    Runtime* previousRuntime_ = nullptr;
};

} // namespace gs
