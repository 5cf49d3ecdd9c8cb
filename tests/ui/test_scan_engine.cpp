// An analysis through the scan thread with the real engine on a
// loop-mounted ext4 image: debug.log gets the whole report, and its figures
// agree with the engine command's own summary.

#include "core/uDebugLog.h"
#include "engine/LoopImage.h"
#include "engine/uScanThread.h"
#include "fakes/EventLoop.h"
#include "fakes/TempHome.h"
#include "toolkit/Grids.h"

#include <QApplication>
#include <QElapsedTimer>

#include <regex>

#include <gtest/gtest.h>

TEST(ScanWithEngine, AnalysisReportMatchesTheEnginesSummary)
{
    LoopImage img("ext4", 64);
    if (!img.Skip().empty())
        GTEST_SKIP() << img.Skip();
    img.WriteInterleaved({"a", "b", "c"}, 20);
    img.WriteFile("plain", 100000);
    std::string summary;
    ASSERT_EQ(Shell(std::string(VANTOREL_ENGINE_CLI) + " analyze " + img.Mount() + " 2>/dev/null", &summary), 0);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(summary, m, std::regex("files=(\\d+) directories=(\\d+) fragmented=(\\d+)")));

    TempHome home;
    SetDebugLogFolder(home.Path());
    TDriveList drives(1);
    drives[0].RootPath = img.Mount();
    drives[0].DisplayName = "image";
    drives[0].Selected = true;
    TSettings settings;
    std::vector<int32_t> sent;
    UsageStatisticsSender = [&](int32_t count, const TSettings&) { sent.push_back(count); };
    TStringGrid grid(nullptr);
    grid.SetColCount(2);
    auto* t = new TScanThread;
    t->Mode = "a";
    t->ResultGrid = &grid;
    t->DriveList = &drives;
    t->Settings = &settings;
    t->FreeOnTerminate = true;
    bool done = false;
    t->OnTerminate = [&](QObject*) { done = true; };
    t->Start();
    ASSERT_TRUE(PumpUntil([&] { return done; }, 30000));

    const std::string log = TempHome::Read(DebugLogPath());
    EXPECT_NE(log.find(" - Number of files: " + m[1].str() + "\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" - Number of directories: " + m[2].str() + "\r\n"), std::string::npos);
    EXPECT_NE(log.find(" - Number of fragmented items: " + m[3].str() + " ("), std::string::npos);
    EXPECT_NE(log.find("These items are still fragmented:"), std::string::npos);
    EXPECT_NE(log.find(img.Path("a")), std::string::npos);
    EXPECT_NE(log.find("The 25 largest items on disk:"), std::string::npos);
    EXPECT_NE(log.find(" Finished\r\n"), std::string::npos);
    EXPECT_GT(drives[0].AnalysisTotal.Load(), 0) << "the pre-pass learned the work total";
    EXPECT_EQ(drives[0].FragmentedFiles.Load(), std::stoll(m[3].str()));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], int32_t(drives[0].Fragments.Load()));
    EXPECT_GT(sent[0], 3);
    SetDebugLogFolder("");
}
