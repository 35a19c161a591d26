// The time-outs toward a database server in TOVIK.INI ([SERVER] CONNECTTIMEOUT, ANSWERTIMEOUT).
#include "settings/ServerTimeouts.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace gs;
using namespace gs::test;

TEST(ServerTimeouts, ReadFromTheIniWithDefaultsForWhatIsMissingOrOutOfRange)
{
    struct Case {
        const char* content; // null: no file
        int connect, answer;
    };
    const Case cases[] = {
        {nullptr, 10, 60},
        {"[OTHER]\nGLOBAL1=X\n", 10, 60},
        {"[SERVER]\nCONNECTTIMEOUT=5\nANSWERTIMEOUT=120\n", 5, 120},
        {"[server]\nanswertimeout= 30 \n", 10, 30},
        {"[SERVER]\nCONNECTTIMEOUT=0\nANSWERTIMEOUT=3601\n", 10, 60},
        {"[SERVER]\nCONNECTTIMEOUT=-4\nANSWERTIMEOUT=zehn\n", 10, 60},
        {"[SERVER]\nCONNECTTIMEOUT=1\nANSWERTIMEOUT=3600\n", 1, 3600},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const auto ini = dir.path() / "TOVIK.INI";
        if (c.content)
            std::ofstream(ini) << c.content;
        const ads::ServerLimits limits = ReadServerTimeouts(ini);
        EXPECT_EQ(limits.connectSeconds, c.connect) << (c.content ? c.content : "(no file)");
        EXPECT_EQ(limits.answerSeconds, c.answer) << (c.content ? c.content : "(no file)");
        EXPECT_EQ(limits.cancel, nullptr);
    }
}
