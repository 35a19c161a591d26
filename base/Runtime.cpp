#include "base/Runtime.h"

#include "base/Dates.h"
#include "base/Dialogs.h"
#include "base/Text.h"

#include <cmath>
#include <ctime>
#include <stdexcept>
#include <system_error>

namespace gs {

namespace {
Runtime* g_current = nullptr;

double LocalNow()
{
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return EncodeDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 0);
}
} // namespace

Runtime::Runtime(std::filesystem::path programFile)
    : now(LocalNow), programFile_(std::move(programFile)), dialogs_(std::make_shared<ConsoleDialogs>()),
      previous_(g_current)
{
    startDate = std::floor(now());
    g_current = this;
}

Runtime::~Runtime()
{
    if (g_current == this)
        g_current = previous_;
}

Runtime& Runtime::current()
{
    if (!g_current)
        throw std::logic_error("no Runtime exists");
    return *g_current;
}

Runtime* Runtime::currentOrNull() { return g_current; }

void Runtime::setDialogs(std::shared_ptr<Dialogs> dialogs)
{
    dialogs_ = dialogs ? std::move(dialogs) : std::make_shared<ConsoleDialogs>();
}

std::filesystem::path Runtime::besideProgram(const std::string& fileName) const
{
    return FindFileNoCase(programDir(), fileName);
}

} // namespace gs
