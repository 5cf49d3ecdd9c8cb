// The scan thread and the engine's callbacks, with a scripted fake engine.

#include "controls/cm_LSVGauges.h"
#include "core/uDebugLog.h"
#include "engine/uScanThread.h"
#include "fakes/FakeEngine.h"
#include "fakes/EventLoop.h"
#include "fakes/TempHome.h"
#include "net/uServices.h"
#include "toolkit/Grids.h"
#include "toolkit/StdCtrls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>


#include <gtest/gtest.h>

namespace {

std::string ReadLog() { return TempHome::Read(DebugLogPath()); }

TDriveListItem Drive(const char* root, bool selected)
{
    TDriveListItem d;
    d.RootPath = root;
    d.DisplayName = std::string("Disk ") + root;
    d.Selected = selected;
    return d;
}

// One fragmented item (3 fragments) in the finished tree.
void FinishWithOneFragmentedItem(FakeEngineCall& c)
{
    static const std::u16string path = u"/x/file";
    EngineItem item{};
    item.PathText = path.c_str();
    item.NameText = path.c_str();
    item.Fragments = 3;
    item.ClusterCount = 9;
    item.ByteSize = 36864;
    EngineStatus s{};
    s.PhaseCode = kPhaseAnalyze;
    c.status(&s);
    s.WorkTotal = 100;
    for (int i = 1; i <= 4 && !c.Stopped(); ++i) {
        s.WorkDone = i * 25;
        s.FragmentedItemCount = 1;
        s.FileCount = i;
        c.progress(&s);
        c.analyze(&s, &item);
    }
    if (c.Stopped())
        return;
    s.PhaseCode = kPhaseFinished;
    s.ItemRoot = &item;
    s.ClusterBytes = 4096;
    s.VolumeClusters = 1000;
    c.status(&s);
}

class ScanThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDebugLogFolder(home.Path());
        fakeengine::Calls.clear();
        fakeengine::Script = nullptr;
        statsSent.clear();
        UsageStatisticsSender = [this](int32_t count, const TSettings&) { statsSent.push_back(count); };
        grid = std::make_unique<TStringGrid>(nullptr);
        grid->SetColCount(2);
        caption = std::make_unique<TLabel>(nullptr);
        detail = std::make_unique<TLabel>(nullptr);
        detail->SetAutoSize(false);
        detail->SetBounds(0, 0, 690, 16);
        gauge = std::make_unique<TLSVGauge>(nullptr);
    }
    void TearDown() override
    {
        SetDebugLogFolder("");
        fakeengine::Script = nullptr;
        UsageStatisticsSender = SendUsageStatisticsDefault;
    }
    // Runs one pass and waits for its completion handler.
    void Run(const std::string& mode, const std::function<void(TScanThread&)>& during = nullptr)
    {
        auto* t = new TScanThread;
        t->Mode = mode;
        t->ResultGrid = grid.get();
        t->CaptionLabel = caption.get();
        t->DetailLabel = detail.get();
        t->ProgressGauge = gauge.get();
        t->DriveList = &drives;
        t->Settings = &settings;
        t->FreeOnTerminate = true;
        bool done = false;
        t->OnTerminate = [&](QObject*) { done = true; };
        current = t;
        if (during)
            during(*t);
        t->Start();
        ASSERT_TRUE(PumpUntil([&] { return done; })) << "the completion handler ran";
        current = nullptr;
    }
    static void SendUsageStatisticsDefault(int32_t count, const TSettings& s) { SendUsageStatistics(count, s); }

    TempHome home;
    TDriveList drives;
    TSettings settings;
    std::vector<int32_t> statsSent;
    std::unique_ptr<TStringGrid> grid;
    std::unique_ptr<TLabel> caption, detail;
    std::unique_ptr<TLSVGauge> gauge;
    TScanThread* current = nullptr;
};

} // namespace

TEST(Callbacks, Texts)
{
    RunningScanThread = nullptr;
    MoveCallback(nullptr, 1, 100, 200);
    EXPECT_EQ(ScanState.ActivityText, "Moving 1 cluster from 100 to 200.");
    MoveCallback(nullptr, 8, 100, 200);
    EXPECT_EQ(ScanState.ActivityText, "Moving 8 clusters from 100 to 200.");
    EngineStatus s{};
    s.FileCount = 12;
    s.FolderCount = 3;
    s.ItemClusters = 4567;
    AnalyzeCallback(&s, nullptr);
    EXPECT_EQ(ScanState.ActivityText, "Files 12, Directories 3, Clusters 4567");
    AnalyzeCallback(nullptr, nullptr);
    EXPECT_EQ(ScanState.ActivityText, "Applying Exclude and SpaceHogs masks");
    s.FileCount = 0;
    AnalyzeCallback(&s, nullptr);
    EXPECT_EQ(ScanState.ActivityText, "Applying Exclude and SpaceHogs masks");
    EXPECT_EQ(PhaseNameOf(4, 0), "Zone 1: Sort");
    EXPECT_EQ(PhaseNameOf(5, 2), "Zone 3: Fast Optimize");
    EXPECT_EQ(PhaseNameOf(9, 0), "");
    // Every callback tolerates null arguments.
    StatusCallback(nullptr);
    ProgressCallback(nullptr);
    DebugCallback(0, nullptr, nullptr);
    TextCallback(nullptr);
}

TEST(Callbacks, DebugLevelsAndEngineTexts)
{
    TempHome home;
    SetDebugLogFolder(home.Path());
    const std::u16string path = u"/data/file";
    EngineItem item{};
    item.PathText = path.c_str();
    DebugCallback(2, &item, u"dropped");
    DebugCallback(1, &item, u"kept %d");
    DebugCallback(0, nullptr, u"zero");
    TextCallback(u"100% done");
    EngineStatus s{};
    s.PhaseCode = 9;
    StatusCallback(&s);
    const std::string log = ReadLog();
    EXPECT_EQ(log.find("dropped"), std::string::npos);
    EXPECT_NE(log.find(" /data/file\\n  \r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" kept %d\r\n"), std::string::npos);
    EXPECT_NE(log.find(" zero\r\n"), std::string::npos);
    EXPECT_NE(log.find(" 100% done\r\n"), std::string::npos);
    EXPECT_NE(log.find(std::string(" \r\n")), std::string::npos) << "an empty phase name: the time and a blank";
    SetDebugLogFolder("");
}

TEST(Callbacks, RefreshAtMostEvery50Milliseconds)
{
    uint32_t now = 1000;
    TickCount = [&] { return now; };
    RunningScanThread = nullptr;
    ScanState = TScanState();
    ScanState.LastRefreshTick = 0;
    MoveCallback(nullptr, 1, 1, 2);
    EXPECT_EQ(ScanState.LastRefreshTick, 1000u) << "the first callback of a run refreshes";
    now += 10;
    MoveCallback(nullptr, 1, 1, 2);
    EXPECT_EQ(ScanState.LastRefreshTick, 1000u) << "10 ms later: no refresh";
    now += 40;
    MoveCallback(nullptr, 1, 1, 2);
    EXPECT_EQ(ScanState.LastRefreshTick, 1050u);
    // The phase percentage is not clamped.
    ScanState.PhaseTotal = 200;
    ScanState.PhaseProgress = 250;
    MoveCallback(nullptr, 1, 1, 2);
    EXPECT_EQ(ScanState.PhasePercent, 125);
    ScanState.PhaseTotal = 0;
    MoveCallback(nullptr, 1, 1, 2);
    EXPECT_EQ(ScanState.PhasePercent, 0);
    TickCount = [] { return uint32_t(0); };
}

TEST(Callbacks, PrePassAnalyzeCallbacksLeaveTheTotalsAlone)
{
    RunningScanThread = nullptr;
    ScanState = TScanState();
    ScanState.CountingPass = true;
    ScanState.PhaseProgress = 40;
    ScanState.LastRefreshTick = 0;
    TickCount = [] { return uint32_t(5000); };
    AnalyzeCallback(nullptr, nullptr);
    EXPECT_EQ(ScanState.OverallDone, 0);
    EXPECT_EQ(ScanState.PhaseCounted, 0);
    EXPECT_EQ(ScanState.LastRefreshTick, 0u) << "no refresh during the pre-pass";
    ScanState.CountingPass = false;
    AnalyzeCallback(nullptr, nullptr);
    EXPECT_EQ(ScanState.OverallDone, 40);
    TickCount = [] { return uint32_t(0); };
}

TEST(Shorten, KeepsBothEndsAndEndsOnNarrowLabels)
{
    auto measure = [](const QString& t) { return int(t.size()) * 7; };
    EXPECT_EQ(ShortenToWidth("short", 100, measure), "short");
    const QString longText = "/home/user/a/very/long/path/to/some/file.txt";
    const QString s = ShortenToWidth(longText, 140, measure);
    EXPECT_LE(measure(s), 140);
    EXPECT_TRUE(s.contains("..."));
    EXPECT_TRUE(longText.startsWith(s.section("...", 0, 0)));
    EXPECT_TRUE(longText.endsWith(s.section("...", 1)));
    EXPECT_EQ(ShortenToWidth(longText, 5, measure), "...") << "narrower than the dots: stops with nothing left";
}

TEST_F(ScanThreadTest, AnalysisRunsThePrePassThenEveryTickedDrive)
{
    drives = {Drive("/", true), Drive("/skip", false), Drive("/data", true)};
    drives[2].Fragments = 40; // from an earlier analysis
    fakeengine::Script = FinishWithOneFragmentedItem;
    TickCount = [] { static uint32_t t = 0; return t += 100; };
    Run("a");
    EXPECT_EQ(fakeengine::Calls, (std::vector<std::string>{"0 /", "0 /data", "0 /", "0 /data"}));
    EXPECT_EQ(drives[0].AnalysisTotal.Load(), 100);
    EXPECT_EQ(drives[0].FragmentedFiles.Load(), 1);
    EXPECT_EQ(drives[2].Fragments.Load(), 3) << "counted afresh, not added to the earlier 40";
    EXPECT_EQ(statsSent, (std::vector<int32_t>{6}));
    EXPECT_EQ(grid->Tag, 2);
    EXPECT_EQ(grid->Object(0, 1), 2);
    EXPECT_EQ(grid->Cell(1, 1), "1");
    EXPECT_EQ(grid->Row(), 1) << "the new row is selected";
    EXPECT_EQ(gauge->Progress(), 100);
    EXPECT_EQ(caption->Caption(), "Disk /data in progress:");
    const std::string log = ReadLog();
    EXPECT_NE(log.find(" Analyze\r\n"), std::string::npos);
    EXPECT_NE(log.find(" Finished\r\n"), std::string::npos);
    EXPECT_NE(log.find("These items are still fragmented:"), std::string::npos);

    // A second analysis shows the same counts, not doubled ones.
    Run("a");
    EXPECT_EQ(drives[2].Fragments.Load(), 3);
    EXPECT_EQ(statsSent.back(), 6);
    TickCount = [] { return uint32_t(0); };
}

TEST_F(ScanThreadTest, AZeroOverallTotalKeepsTheGaugeAtZero)
{
    drives = {Drive("/", true)};
    // The engine never reports a work total: nothing to measure progress by.
    fakeengine::Script = [](FakeEngineCall& c) {
        EngineStatus s{};
        s.WorkDone = 5;
        s.FileCount = 1;
        c.progress(&s);
        c.analyze(&s, nullptr);
    };
    TickCount = [] { static uint32_t t = 0; return t += 100; };
    Run("a");
    EXPECT_EQ(drives[0].AnalysisTotal.Load(), 0);
    EXPECT_EQ(gauge->Progress(), 0);
    TickCount = [] { return uint32_t(0); };
}

TEST_F(ScanThreadTest, NoTickedDriveStillSendsTheStatistics)
{
    drives = {Drive("/", false)};
    Run("a");
    EXPECT_TRUE(fakeengine::Calls.empty());
    EXPECT_EQ(statsSent, (std::vector<int32_t>{0}));
    EXPECT_EQ(grid->Tag, 0);
    EXPECT_EQ(detail->Caption(), "Initializing...");
}

TEST_F(ScanThreadTest, StopDuringThePrePassEndsTheRun)
{
    drives = {Drive("/", true), Drive("/data", true)};
    fakeengine::Script = [this](FakeEngineCall&) { current->Terminate(); };
    Run("a");
    EXPECT_EQ(fakeengine::Calls.size(), 1u);
    EXPECT_EQ(grid->Tag, 0) << "no rows";
    EXPECT_TRUE(statsSent.empty()) << "no statistics";
}

TEST_F(ScanThreadTest, StopDuringAMainPassGivesTheNextDriveItsRow)
{
    drives = {Drive("/", true), Drive("/data", true), Drive("/more", true)};
    fakeengine::Script = [this](FakeEngineCall& c) {
        if (c.mode == kModeDefragment) {
            current->Terminate();
            EngineStatus s{};
            c.progress(&s); // the engine learns of the stop here
            EXPECT_TRUE(c.Stopped());
        }
    };
    Run("d");
    EXPECT_EQ(fakeengine::Calls, (std::vector<std::string>{"2 /"}));
    EXPECT_EQ(grid->Tag, 2) << "the next drive got its row";
    EXPECT_EQ(grid->Cell(1, 1), "0");
    EXPECT_TRUE(statsSent.empty());
}

TEST_F(ScanThreadTest, AnAnalysisStoppedDuringItsLastDriveSendsNoStatistics)
{
    drives = {Drive("/", true)};
    fakeengine::Script = [this](FakeEngineCall& c) {
        if (!ScanState.CountingPass)
            current->Terminate();
        FinishWithOneFragmentedItem(c);
    };
    Run("a");
    EXPECT_EQ(fakeengine::Calls.size(), 2u) << "the last drive's pass ran to its end";
    EXPECT_TRUE(statsSent.empty());
}
