#include "core/uCmdLine.h"

#include <gtest/gtest.h>

TEST(CmdLine, SwitchesNeedAPrefixAndIgnoreCase)
{
    struct Case {
        std::vector<std::string> args;
        const char* name;
        bool found;
    } cases[] = {
        {{"/ot"}, "ot", true},
        {{"-OT"}, "ot", true},
        {{"/Ot"}, "ot", true},
        {{"ot"}, "ot", false},
        {{"/ot"}, "as", false},
        {{"/ot", "-as"}, "as", true},
        {{"/ott"}, "ot", false},
        {{"/"}, "ot", false},
        {{"--ot"}, "ot", false},
        {{}, "ot", false},
        {{"C:/x", "-aS"}, "as", true},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (auto& a : c.args) joined += a + " ";
        EXPECT_EQ(FindCmdLineSwitch(c.args, c.name), c.found) << joined << "for " << c.name;
    }
}
