// The single-instance guard over real shared memory and fake windows, and
// the show-signal poll of the main window.

#include "app/uSingleRun.h"
#include "fakes/FakePlatform.h"
#include "fakes/TempHome.h"
#include "platform/SharedMemory.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"
#include "ui/uMainForm.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

struct TMainFormTestAccess {
    static void SetTempDir(const std::string& dir) { MainForm->SysVars.TempDir = dir; }
};

namespace {

class SingleRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        system.tempPath = home.Path() + "/tmp/";
        TempHome::Write(home.Path() + "/tmp/.keep", "");
        windows.existing = {7};
    }
    std::string Signal() const { return ShowSignalPath(system.tempPath, "Vantorel"); }

    // Unique per test process, so parallel test runs do not meet.
    const std::string name = "vantorel-test-" + std::to_string(getpid());
    TempHome home;
    FakeSystem system;
    FakeWindows windows;
};

TEST_F(SingleRunTest, ASecondStartBringsTheFirstForwardAndSignalsIt)
{
    TSingleRun first(name);
    first.RegisterInstance(7);
    EXPECT_TRUE(first.Registered());

    windows.iconic = {7};
    TSingleRun second(name);
    EXPECT_TRUE(second.ActivateRunningInstance());
    EXPECT_EQ(windows.Calls(), (std::vector<std::string>{"normal 7", "front 7"})) << "restored, then in front";
    EXPECT_TRUE(TempHome::Exists(Signal()));
    EXPECT_FALSE(second.Registered());

    // Another executable name is another program.
    TSingleRun other(name + "-copy");
    EXPECT_FALSE(other.ActivateRunningInstance());
}

TEST_F(SingleRunTest, WithoutALiveFirstInstanceTheStartRunsAlone)
{
    struct Case {
        const char* what;
        std::function<void(TSingleRun&)> first;
    } cases[] = {
        {"no instance", [](TSingleRun&) {}},
        {"first has unregistered", [](TSingleRun& f) { f.RegisterInstance(7); f.UnregisterInstance(); }},
        {"its window is gone", [](TSingleRun& f) { f.RegisterInstance(8); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TSingleRun first(name);
        c.first(first);
        windows.ClearCalls();
        EXPECT_FALSE(TSingleRun(name).ActivateRunningInstance());
        EXPECT_TRUE(windows.Calls().empty());
        EXPECT_FALSE(TempHome::Exists(Signal()));
    }
}

TEST_F(SingleRunTest, AnInstanceThatDiedLeavesNothingThatCounts)
{
    pid_t child = fork();
    if (child == 0) {
        TSingleRun first(name);
        first.RegisterInstance(7);
        _exit(first.Registered() ? 0 : 1); // no clean-up of any kind
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(TSingleRun(name).ActivateRunningInstance()) << "the window id is known, but its owner is gone";

    // The next instance takes the object over and is found.
    {
        TSingleRun next(name);
        next.RegisterInstance(7);
        EXPECT_TRUE(TSingleRun(name).ActivateRunningInstance());
    }
    EXPECT_FALSE(TempHome::Exists("/dev/shm/" + name + "." + std::to_string(getuid())))
        << "an orderly end removes the object";
}

TEST_F(SingleRunTest, ASignalThatCannotBeWrittenIsAnError)
{
    TSingleRun first(name);
    first.RegisterInstance(7);
    system.tempPath = home.Path() + "/missing/";
    EXPECT_THROW(TSingleRun(name).ActivateRunningInstance(), EInOutError);
}

TEST_F(SingleRunTest, ThePollShowsTheWindowOnceAndConsumesTheSignal)
{
    MainForm = new TMainForm;
    MainForm->ShowAppTimerTimer(nullptr); // no folder yet: nothing to look at
    TMainFormTestAccess::SetTempDir(system.tempPath);
    WriteShowSignal(system.tempPath, "Vantorel");
    EXPECT_EQ(MainForm->ShowAppTimer->Interval(), 200);
    EXPECT_TRUE(MainForm->ShowAppTimer->Enabled());
    MainForm->ShowAppTimerTimer(nullptr);
    EXPECT_FALSE(TempHome::Exists(Signal()));
    MainForm->Destroy();
    MainForm = nullptr;
}

} // namespace
