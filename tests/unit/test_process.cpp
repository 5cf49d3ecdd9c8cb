// Starting programs through the platform: arguments, working folder,
// waiting or not, failures to start, and no child left behind.

#include "fakes/TempHome.h"
#include "platform/Process.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

namespace {

bool NoChildLeft()
{
    int status = 0;
    return waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

class Process : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = home.Path() + "/odd folder \xC3\xBC/";
        mkdir(folder.c_str(), 0755);
        out = home.Path() + "/out";
        setenv("TOOL_OUT", out.c_str(), 1);
    }
    std::string Script(const std::string& name, const std::string& body, mode_t mode = 0755)
    {
        const std::string path = folder + name;
        TempHome::Write(path, "#!/bin/sh\n" + body + "\n");
        chmod(path.c_str(), mode);
        return path;
    }
    TempHome home;
    std::string folder, out;
};

TEST_F(Process, AWaitedStartReturnsOnceTheProgramHasEndedWithItsArgumentsAndFolder)
{
    const std::string tool = Script("setup.exe", "printf '%s|%s|%s' \"$#\" \"$1\" \"$PWD/\" > \"$TOOL_OUT\"");
    ASSERT_TRUE(platform::Processes().Start(tool, " /s", folder, true, true));
    EXPECT_EQ(TempHome::Read(out), "1|/s|" + folder);
    EXPECT_TRUE(NoChildLeft());
}

TEST_F(Process, AStartNotWaitedForReturnsAtOnceAndLeavesNoZombie)
{
    // The program ends only once the test lets it (or after ten seconds).
    const std::string go = home.Path() + "/go";
    setenv("TOOL_GO", go.c_str(), 1);
    const std::string tool = Script("tool.exe", "i=0; while [ ! -e \"$TOOL_GO\" ] && [ $i -lt 200 ]; do "
                                                "sleep 0.05; i=$((i+1)); done; printf started > \"$TOOL_OUT\"");
    ASSERT_TRUE(platform::Processes().Start(tool, "", folder, false, false));
    EXPECT_FALSE(TempHome::Exists(out)) << "returned before the program ended";
    EXPECT_TRUE(NoChildLeft()) << "the program is not this process's child";
    TempHome::Write(go, "");
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!TempHome::Exists(out) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(TempHome::Read(out), "started");
}

TEST_F(Process, AProgramThatCannotStartIsReported)
{
    struct Case {
        const char* what;
        std::string file, folder;
    } cases[] = {
        {"no such file", folder + "missing.exe", folder},
        {"not executable", Script("plain.exe", "true", 0644), folder},
        {"no such folder", Script("ok.exe", "true"), folder + "gone/"},
    };
    for (const Case& c : cases)
        for (bool wait : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (wait ? ", waited for" : ""));
            EXPECT_FALSE(platform::Processes().Start(c.file, "", c.folder, true, wait));
            EXPECT_TRUE(NoChildLeft());
        }
}

} // namespace
