#include "db/PgConnInfo.h"

#include "base/Text.h"

#include <cctype>

namespace gs::ads {

namespace {

bool StartsNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool IsUri(std::string_view path)
{
    return StartsNoCase(path, "postgresql://") || StartsNoCase(path, "postgres://");
}

// "user:secret@host" -> "user:***@host"; "?password=x&a=b" -> "?password=***&a=b".
std::string UriWithoutPassword(std::string_view uri)
{
    std::string out(uri);
    const size_t scheme = out.find("://") + 3;
    const size_t end = out.find_first_of("/?#", scheme);
    const size_t authority = end == std::string::npos ? out.size() : end;
    const size_t at = out.rfind('@', authority);
    if (at != std::string::npos && at >= scheme) {
        const size_t colon = out.find(':', scheme);
        if (colon != std::string::npos && colon < at)
            out.replace(colon + 1, at - colon - 1, "***");
    }
    size_t q = out.find('?');
    while (q != std::string::npos) {
        const size_t start = q + 1;
        size_t amp = out.find('&', start);
        const size_t stop = amp == std::string::npos ? out.size() : amp;
        if (StartsNoCase(std::string_view(out).substr(start), "password=")) {
            out.replace(start + 9, stop - start - 9, "***");
            amp = out.find('&', start);
        }
        q = amp;
    }
    return out;
}

// libpq's keyword form: values may be single-quoted with backslash escapes.
std::string KeywordsWithoutPassword(std::string_view text)
{
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            out += text[i++];
            continue;
        }
        const size_t keyStart = i;
        while (i < text.size() && text[i] != '=' && !std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        const std::string_view key = text.substr(keyStart, i - keyStart);
        out += key;
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            out += text[i++];
        if (i >= text.size() || text[i] != '=')
            continue;
        out += text[i++];
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            out += text[i++];
        const size_t valueStart = i;
        if (i < text.size() && text[i] == '\'') {
            ++i;
            while (i < text.size() && text[i] != '\'') {
                if (text[i] == '\\' && i + 1 < text.size())
                    ++i;
                ++i;
            }
            if (i < text.size())
                ++i;
        } else {
            while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
                ++i;
        }
        out += EqualsNoCase(key, "password") ? std::string_view("***") : text.substr(valueStart, i - valueStart);
    }
    return out;
}

} // namespace

bool IsConnectionString(std::string_view path)
{
    if (IsUri(path))
        return true;
    size_t i = 0;
    while (i < path.size() && std::isspace(static_cast<unsigned char>(path[i])))
        ++i;
    const size_t start = i;
    while (i < path.size() && (std::isalnum(static_cast<unsigned char>(path[i])) || path[i] == '_'))
        ++i;
    if (i == start)
        return false;
    while (i < path.size() && std::isspace(static_cast<unsigned char>(path[i])))
        ++i;
    return i < path.size() && path[i] == '=';
}

std::string WithoutPassword(std::string_view connection)
{
    if (IsUri(connection))
        return UriWithoutPassword(connection);
    if (IsConnectionString(connection))
        return KeywordsWithoutPassword(connection);
    return std::string(connection);
}

} // namespace gs::ads
