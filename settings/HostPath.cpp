#include "settings/HostPath.h"

namespace gs {

std::string WithTrailingDelimiter(std::string_view path)
{
    std::string r(path);
    if (r.empty() || r.back() == ':' || IsPathDelimiter(r.back()))
        return r;
    const bool host = r.find('\\') != std::string::npos || (r.size() >= 2 && r[1] == ':');
    r += host ? '\\' : '/';
    return r;
}

} // namespace gs
