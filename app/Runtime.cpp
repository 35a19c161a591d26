#include "app/Runtime.h"

#include <stdexcept>

namespace gs {

namespace {
Runtime* g_runtime = nullptr;
} // namespace

Runtime::Runtime(std::filesystem::path programFile)
    : ProcessContext(std::move(programFile)), previousRuntime_(g_runtime)
{
    g_runtime = this;
}

Runtime::~Runtime()
{
    // The spooler and the patterns go before the context they were made in.
    spooler.reset();
    defaultPatterns.reset();
    settings.reset();
    if (g_runtime == this)
        g_runtime = previousRuntime_;
}

Runtime& Runtime::current()
{
    if (!g_runtime)
        throw std::logic_error("no Runtime exists");
    return *g_runtime;
}

Runtime* Runtime::currentOrNull() { return g_runtime; }

} // namespace gs
