#include "settings/ServerTimeouts.h"

#include "base/Error.h"
#include "base/IniFile.h"

namespace gs {

ads::ServerLimits ReadServerTimeouts(const std::filesystem::path& iniFile)
{
    ads::ServerLimits limits;
    Guarded("TOVIK.INI server time-outs", [&] {
        const IniFile ini(iniFile);
        const auto read = [&](const char* key, int fallback) {
            const int value = ini.ReadInteger(ServerTimeoutSection, key, fallback);
            return value >= 1 && value <= 3600 ? value : fallback;
        };
        limits.connectSeconds = read(ConnectTimeoutKey, limits.connectSeconds);
        limits.answerSeconds = read(AnswerTimeoutKey, limits.answerSeconds);
    });
    return limits;
}

} // namespace gs
