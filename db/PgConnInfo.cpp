#include "db/PgConnInfo.h"

#include "base/Text.h"

#include <algorithm>
#include <cctype>
#include <vector>

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

// "user:secret@host" -> "user:***@host"; "?password=x&a=b" -> "?password=***&a=b". The secrets
// taken out are added to secrets.
std::string UriWithoutPassword(std::string_view uri, std::vector<std::string>& secrets)
{
    std::string out(uri);
    const size_t scheme = out.find("://") + 3;
    const size_t end = out.find_first_of("/?#", scheme);
    const size_t authority = end == std::string::npos ? out.size() : end;
    const size_t at = out.rfind('@', authority);
    if (at != std::string::npos && at >= scheme) {
        const size_t colon = out.find(':', scheme);
        if (colon != std::string::npos && colon < at) {
            secrets.push_back(out.substr(colon + 1, at - colon - 1));
            out.replace(colon + 1, at - colon - 1, "***");
        }
    }
    size_t q = out.find('?');
    while (q != std::string::npos) {
        const size_t start = q + 1;
        size_t amp = out.find('&', start);
        const size_t stop = amp == std::string::npos ? out.size() : amp;
        if (StartsNoCase(std::string_view(out).substr(start), "password=")) {
            secrets.push_back(out.substr(start + 9, stop - start - 9));
            out.replace(start + 9, stop - start - 9, "***");
            amp = out.find('&', start);
        }
        q = amp;
    }
    return out;
}

// libpq's keyword form: values may be single-quoted with backslash escapes.
std::string KeywordsWithoutPassword(std::string_view text, std::vector<std::string>& secrets)
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
        const std::string_view value = text.substr(valueStart, i - valueStart);
        if (EqualsNoCase(key, "password")) {
            secrets.emplace_back(value);
            if (value.size() >= 2 && value.front() == '\'')
                secrets.emplace_back(value.substr(1, value.size() - 2));
            out += "***";
        } else {
            out += value;
        }
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

namespace {

// What a URI gives percent-encoded, libpq reads decoded: both forms are secrets.
std::string PercentDecoded(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Every occurrence of a secret becomes "***", longest first (a quoted value before its inner text).
std::string Scrub(std::string text, std::vector<std::string> secrets)
{
    const size_t given = secrets.size();
    for (size_t i = 0; i < given; ++i)
        if (secrets[i].find('%') != std::string::npos)
            secrets.push_back(PercentDecoded(secrets[i]));
    std::sort(secrets.begin(), secrets.end(), [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& secret : secrets) {
        if (secret.empty())
            continue;
        for (size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 3))
            text.replace(at, secret.size(), "***");
    }
    return text;
}

} // namespace

std::string WithoutPassword(std::string_view connection)
{
    // The password's text goes wherever it stands, also in other values (a value libpq overrides
    // later may hold it as well).
    std::vector<std::string> secrets;
    std::string shown;
    if (IsUri(connection))
        shown = UriWithoutPassword(connection, secrets);
    else if (IsConnectionString(connection))
        shown = KeywordsWithoutPassword(connection, secrets);
    else
        return std::string(connection);
    return Scrub(std::move(shown), std::move(secrets));
}

std::string ScrubPassword(std::string message, std::string_view connection)
{
    std::vector<std::string> secrets;
    if (IsUri(connection))
        UriWithoutPassword(connection, secrets);
    else if (IsConnectionString(connection))
        KeywordsWithoutPassword(connection, secrets);
    return Scrub(std::move(message), std::move(secrets));
}

} // namespace gs::ads
