#pragma once
// The limits toward a database server from TOVIK.INI, read before the connection is made:
//
//   [SERVER]
//   CONNECTTIMEOUT=10   seconds for connecting (name lookup, TCP, log-in)
//   ANSWERTIMEOUT=60    seconds a wait for the server's answer may stay without one
//
// A missing file or key, a value that is no number or lies outside 1 ... 3600 keeps the default.
#include "db/ServerLimits.h"

#include <filesystem>

namespace gs {

inline constexpr const char* ServerTimeoutSection = "SERVER";
inline constexpr const char* ConnectTimeoutKey = "CONNECTTIMEOUT";
inline constexpr const char* AnswerTimeoutKey = "ANSWERTIMEOUT";

// The time-outs of the file (no cancel flag). Never raises.
ads::ServerLimits ReadServerTimeouts(const std::filesystem::path& iniFile);

} // namespace gs
