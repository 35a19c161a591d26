#include "base/FindFile.h"

#include "base/Text.h"

#include <system_error>

namespace gs {

std::filesystem::path FindFileNoCase(const std::filesystem::path& dir, const std::string& name)
{
    std::filesystem::path exact = dir / name;
    std::error_code ec;
    if (std::filesystem::exists(exact, ec))
        return exact;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (EqualsNoCase(it->path().filename().string(), name))
            return it->path();
    }
    return exact;
}

} // namespace gs
