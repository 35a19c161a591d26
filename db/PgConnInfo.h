#pragma once
// Connection strings of the PostgreSQL backend: which database paths are one, and how they are
// shown. A path is a connection string when it is a "postgresql://" or "postgres://" URI or
// libpq's "keyword=value" form ("service=office", "host=... dbname=..."); anything else is a
// directory of table files. Shown anywhere (caption, messages), a connection string loses its
// password: the URI's "user:secret@" and "password=" in either form become "***".
#include <string>
#include <string_view>

namespace gs::ads {

bool IsConnectionString(std::string_view path);
std::string WithoutPassword(std::string_view connection);
// A message about the connection (libpq's own, which may quote a malformed part of the string)
// with every password of the connection string replaced by "***".
std::string ScrubPassword(std::string message, std::string_view connection);

} // namespace gs::ads
