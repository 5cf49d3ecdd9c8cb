// The process start: windows, the splash and its start-up sequence, hidden
// start, failing steps and the handler guard, on Qt's offscreen platform.

#include "app/uSplashForm.h"
#include "fakes/FakePlatform.h"
#include "fakes/TempHome.h"
#include "core/uCmdLine.h"
#include "engine/uScanThread.h"
#include "fakes/FakeEngine.h"
#include "platform/Drives.h"
#include "toolkit/Application.h"
#include "toolkit/Grids.h"
#include "toolkit/Image.h"
#include "toolkit/Menus.h"
#include "toolkit/Timer.h"
#include "toolkit/TrayIcon.h"
#include "ui/uMainForm.h"
#include "ui/uSecondaryForms.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

struct TMainFormTestAccess {
    static const TSysVars& SysVars() { return MainForm->SysVars; }
    static const TSettings& Settings() { return MainForm->Settings; }
    static const TWindowsTypeEx& WindowsType() { return MainForm->WindowsType; }
    static int ActivePage() { return MainForm->ActivePage; }
    static int DefragState() { return MainForm->DefragState; }
    static const TDriveList& DriveList() { return MainForm->DriveList; }
    static int DriveCount() { return MainForm->DriveCount; }
    static TSettings& MutableSettings() { return MainForm->Settings; }
};
using Access = TMainFormTestAccess;

namespace {

std::vector<MessageBoxRequest> gBoxes;

// Runs the program's windows in the message loop; probe is called every
// 20 ms with the elapsed time and returns true to end the program.
void RunProgram(bool hidden, const std::function<bool(int)>& probe, int limitMs = 10000)
{
    Application->Initialize();
    Application->ShowMainForm = !hidden;
    Application->CreateForm(MainForm);
    Application->CreateForm(InfoForm);
    Application->CreateForm(WaitForm);
    Application->CreateForm(AboutForm);
    Application->CreateForm(SplashForm);
    QElapsedTimer clock;
    clock.start();
    TTimer probeTimer(nullptr, 20, true);
    probeTimer.OnTimer = [&](QObject*) {
        if (probe(int(clock.elapsed())) || clock.elapsed() > limitMs)
            Application->Terminate();
    };
    Application->Run();
    MainForm = nullptr;
    SplashForm = nullptr;
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        gBoxes.clear();
        ParamList().clear();
        system.tempPath = home.Path() + "/tmp/";
        system.exePath = "/opt/vantorel/vantorel";
        system.native = platform::kArchitectureAmd64;
    }
    TempHome home;
    FakeSystem system;
};

} // namespace

TEST_F(Startup, SplashThenMainWindowWithTheSequenceDone)
{
    bool splashSeenModal = false, mainSeenBehind = false, sequenceBeforeTimer = false;
    int splashClosedAt = -1;
    RunProgram(false, [&](int ms) {
        if (SplashForm->Tag == 0) {
            splashSeenModal |= SplashForm->isVisible() && SplashForm->InModal();
            mainSeenBehind |= MainForm->isVisible();
            return false;
        }
        sequenceBeforeTimer |= ms < 900;
        if (!SplashForm->isVisible() && splashClosedAt < 0)
            splashClosedAt = ms;
        return splashClosedAt >= 0;
    });
    EXPECT_TRUE(splashSeenModal);
    EXPECT_TRUE(mainSeenBehind);
    EXPECT_FALSE(sequenceBeforeTimer) << "the sequence waits for the one-second timer";
    EXPECT_GE(splashClosedAt, 900);
    EXPECT_TRUE(gBoxes.empty());
    // The settings were read, so the exit stored them and the autostart entry.
    EXPECT_NE(TempHome::Read(home.AutostartFile()).find("Exec=/opt/vantorel/vantorel /ot"), std::string::npos);
    EXPECT_TRUE(TempHome::Exists(home.HiveFile()));
}

TEST_F(Startup, SequenceFillsTheMainWindow)
{
    ParamList() = {"-As"};
    RunProgram(true, [&](int) {
        if (SplashForm->Tag != 1)
            return false;
        EXPECT_EQ(Access::SysVars().TempDir, home.Path() + "/tmp/");
        EXPECT_EQ(Access::SysVars().ExeName, "/opt/vantorel/vantorel");
        EXPECT_EQ(Access::SysVars().ExeDir, "/opt/vantorel/");
        EXPECT_EQ(Access::SysVars().WinRootDir, "/fake/windows/");
        EXPECT_EQ(Access::SysVars().WinSysDir, "/fake/system/");
        EXPECT_EQ(Access::WindowsType().Architecture, "x64");
        EXPECT_TRUE(Access::Settings().AutoRun);
        EXPECT_EQ(Access::ActivePage(), 1);
        EXPECT_NE(Access::DefragState(), 1) << "the switch as starts an analysis";
        EXPECT_EQ(size_t(Access::DriveCount()), Access::DriveList().size());
        EXPECT_EQ(MainForm->ts4SGDriveList->RowCount(), std::max(1, Access::DriveCount()))
            << "one grid row per drive";
        if (platform::Drives().GetDriveType("/") == platform::kDriveFixed) {
            EXPECT_GE(Access::DriveCount(), 1);
            EXPECT_EQ(Access::DriveList()[0].RootPath, "/");
            EXPECT_FALSE(MainForm->ilDriveIcons48.Icon(Access::DriveList()[0].IconIndex).isNull());
        }
        EXPECT_EQ(MainForm->width(), 750);
        EXPECT_EQ(MainForm->height(), 550);
        EXPECT_EQ(MainForm->Caption(), "Vantorel");
        EXPECT_FALSE(MainForm->Region().contains(QPoint(0, 0)));
        EXPECT_TRUE(MainForm->Region().contains(QPoint(5, 5)));
        EXPECT_TRUE(MainForm->Region().contains(QPoint(749, 275)));
        EXPECT_EQ(SplashForm->width(), 315);
        EXPECT_FALSE(SplashForm->Region().contains(QPoint(314, 169)));
        EXPECT_TRUE(SplashForm->Region().contains(QPoint(157, 169)));
        return true;
    });
}

TEST_F(Startup, HiddenStartShowsNothingAndLaterShowsNoSplash)
{
    bool anythingShown = false, shownLater = false, splashLater = false;
    int shownAt = -1;
    RunProgram(true, [&](int ms) {
        if (SplashForm->Tag == 0 || shownAt < 0) {
            anythingShown |= MainForm->isVisible() || SplashForm->isVisible();
            if (SplashForm->Tag == 1) {
                MainForm->ShowMainWindow();
                shownAt = ms;
            }
            return false;
        }
        shownLater |= MainForm->isVisible();
        splashLater |= SplashForm->isVisible();
        return ms > shownAt + 300;
    });
    EXPECT_FALSE(anythingShown);
    EXPECT_TRUE(shownLater);
    EXPECT_FALSE(splashLater);
}

TEST_F(Startup, ExitBeforeTheSequenceWritesNothing)
{
    RunProgram(false, [&](int ms) { return ms > 200; });
    EXPECT_EQ(SplashForm, nullptr);
    EXPECT_FALSE(TempHome::Exists(home.HiveFile()));
    EXPECT_FALSE(TempHome::Exists(home.AutostartFile()));
}

TEST_F(Startup, FailingStepIsShownAndTheProgramCarriesOn)
{
    const std::string damaged = "garbage\n";
    TempHome::Write(home.HiveFile(), damaged);
    bool closed = false;
    RunProgram(false, [&](int) {
        closed = SplashForm->Tag == 1 && !SplashForm->isVisible();
        if (!closed)
            return false;
        EXPECT_EQ(Access::ActivePage(), 1) << "later steps ran";
        EXPECT_EQ(Access::WindowsType().Architecture, "x64");
        EXPECT_EQ(Access::Settings(), TSettings{}) << "defaults in use";
        return true;
    });
    EXPECT_TRUE(closed);
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0].flags, MB_OK | MB_ICONERROR);
    EXPECT_TRUE(gBoxes[0].text.contains(QString::fromStdString(home.HiveFile())));
    EXPECT_EQ(TempHome::Read(home.HiveFile()), damaged) << "the damaged store is not overwritten";
}

TEST_F(Startup, HiddenAnalysisComesUpByItselfWhenItFindsFragmentedFiles)
{
    for (int found : {0, 5}) {
        SCOPED_TRACE(found);
        ParamList() = {"/ot", "/as"};
        fakeengine::Script = [found](FakeEngineCall& c) {
            EngineStatus s{};
            s.WorkTotal = 1;
            s.WorkDone = 1;
            s.FragmentedItemCount = found;
            c.progress(&s);
        };
        bool shownEarly = false, results = false, shownAtResults = false;
        int drives = 0;
        RunProgram(true, [&](int) {
            if (Access::DefragState() != 3) {
                shownEarly |= MainForm->isVisible();
                return false;
            }
            results = true;
            shownAtResults = MainForm->isVisible();
            drives = Access::DriveCount();
            return true;
        });
        fakeengine::Script = nullptr;
        EXPECT_TRUE(results);
        EXPECT_FALSE(shownEarly) << "the analysis runs with no window on screen";
        EXPECT_EQ(shownAtResults, found > 0 && drives > 0) << "fragmented files bring the window up";
    }
}

TEST_F(Startup, CloseMinimiseAndTheNotificationAreaIcon)
{
    // Each probe tick takes the next step once the start-up has finished.
    std::vector<std::function<void()>> steps = {
        [] {
            EXPECT_TRUE(MainForm->TrayIcon->Visible());
            EXPECT_EQ(MainForm->TrayIcon->Hint(), "Quorbis - Vantorel");
            Fire(MainForm->ImBtnClose->OnClick, MainForm->ImBtnClose);
        },
        [] {
            EXPECT_FALSE(MainForm->isVisible()) << "closed to the notification area";
            EXPECT_TRUE(MainForm->TrayIcon->Visible());
            Fire(MainForm->TrayIcon->OnDblClick, MainForm->TrayIcon);
        },
        [] {
            EXPECT_TRUE(MainForm->isVisible());
            Fire(MainForm->ImBtnMin->OnClick, MainForm->ImBtnMin);
        },
        [] {
            EXPECT_TRUE(MainForm->isMinimized());
            ASSERT_EQ(MainForm->TrayMenu->Count(), 4);
            EXPECT_EQ(MainForm->TrayMenu->Item(0)->Caption(), "Show Vantorel");
            EXPECT_EQ(MainForm->TrayMenu->Item(1)->Caption(), "About...");
            EXPECT_TRUE(MainForm->TrayMenu->Item(2)->Action()->isSeparator());
            EXPECT_EQ(MainForm->TrayMenu->Item(3)->Caption(), "Exit");
            MainForm->TrayMenuShowForm->Click();
        },
        [] {
            EXPECT_FALSE(MainForm->isMinimized()) << "back in the normal state";
            EXPECT_TRUE(MainForm->isVisible());
            // Without close-to-tray the close button ends the program.
            Access::MutableSettings().CloseToTray = false;
            Fire(MainForm->ImBtnClose->OnClick, MainForm->ImBtnClose);
        },
    };
    size_t next = 0;
    RunProgram(false, [&](int) {
        if (SplashForm->Tag != 1 || SplashForm->isVisible())
            return false;
        if (next < steps.size())
            steps[next++]();
        return next > steps.size() + 50; // the close button must end it first
    });
    EXPECT_EQ(next, steps.size());
    EXPECT_NE(TempHome::Read(home.HiveFile()).find("\"CloseToTray\"=dword:00000000"), std::string::npos)
        << "the settings were written at the end";
}

TEST_F(Startup, HandlerErrorsAreShownAndTheLoopGoesOn)
{
    int ticksAfterError = 0;
    TTimer failing(nullptr, 10, true);
    failing.OnTimer = [&](QObject*) {
        failing.SetEnabled(false);
        throw std::runtime_error("Disk went away");
    };
    RunProgram(true, [&](int) { return gBoxes.size() == 1 && ++ticksAfterError > 3; });
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0].text, "Disk went away.");
    EXPECT_EQ(gBoxes[0].caption, "Vantorel");
    EXPECT_GT(ticksAfterError, 3);
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    UsageStatisticsSender = [](int32_t, const TSettings&) {};
    SetMessageBoxHook([](const MessageBoxRequest& r) {
        gBoxes.push_back(r);
        return IDOK;
    });
    return RUN_ALL_TESTS();
}
