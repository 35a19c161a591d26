#include "base/ProcessContext.h"

#include "base/Dates.h"
#include "base/Dialogs.h"
#include "base/Text.h"

#include <cmath>
#include <ctime>
#include <stdexcept>
#include <system_error>

namespace gs {

namespace {
ProcessContext* g_current = nullptr;

double LocalNow()
{
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return EncodeDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 0);
}
} // namespace

ProcessContext::ProcessContext(std::filesystem::path programFile)
    : now(LocalNow), programFile_(std::move(programFile)), dialogs_(std::make_shared<ConsoleDialogs>()),
      previous_(g_current)
{
    startDate = std::floor(now());
    g_current = this;
}

ProcessContext::~ProcessContext()
{
    if (g_current == this)
        g_current = previous_;
}

ProcessContext& ProcessContext::current()
{
    if (!g_current)
        throw std::logic_error("no process context exists");
    return *g_current;
}

ProcessContext* ProcessContext::currentOrNull() { return g_current; }

void ProcessContext::setDialogs(std::shared_ptr<Dialogs> dialogs)
{
    dialogs_ = dialogs ? std::move(dialogs) : std::make_shared<ConsoleDialogs>();
}

std::filesystem::path ProcessContext::besideProgram(const std::string& fileName) const
{
    return FindFileNoCase(programDir(), fileName);
}

} // namespace gs
