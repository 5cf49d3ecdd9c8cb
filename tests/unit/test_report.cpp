// The analysis report in debug.log, over hand-made engine trees.

#include "core/uDebugLog.h"
#include "engine/uAnalysisReport.h"
#include "fakes/TempHome.h"

#include <deque>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace {

// Items owning their texts, linked as a chain in the given order.
struct Tree {
    std::deque<EngineItem> items;
    std::deque<std::u16string> texts;
    EngineItem& Add(int64_t clusters, int64_t bytes, int fragments, const char16_t* path, const char16_t* name = nullptr)
    {
        EngineItem& i = items.emplace_back();
        i.ClusterCount = clusters;
        i.ByteSize = bytes;
        i.Fragments = fragments;
        i.Lcn = 1000 + int64_t(items.size());
        if (path)
            i.PathText = texts.emplace_back(path).c_str();
        if (name)
            i.NameText = texts.emplace_back(name).c_str();
        return i;
    }
    EngineItem* Root()
    {
        for (size_t k = 0; k < items.size(); ++k) {
            items[k].Parent = k ? &items[k - 1] : nullptr;
            items[k].Bigger = k + 1 < items.size() ? &items[k + 1] : nullptr;
        }
        return items.empty() ? nullptr : &items[0];
    }
};

class Report : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDebugLogFolder(home.Path());
        DeleteDebugLog();
        status.ClusterBytes = 4096;
        status.VolumeClusters = 1048576;
        status.FreeClusters = 524288;
        status.GapCount = 10;
        status.SmallGapCount = 4;
        status.SmallGapClusters = 8;
        status.LargestGap = 4096;
        status.FileCount = 3;
        status.FolderCount = 1;
        status.ItemClusters = 300;
        status.FragmentedItemCount = 1;
        status.FragmentedClusters = 100;
        status.MeanEndBeginDistance = 12.5;
    }
    void TearDown() override { SetDebugLogFolder(""); }
    // The log's lines without their time stamps.
    std::vector<std::string> Lines()
    {
        std::ifstream in(home.Path() + "/debug.log", std::ios::binary);
        std::vector<std::string> out;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            out.push_back(line.substr(13));
        }
        return out;
    }
    void Write(bool analysis, TDriveListItem* drive = nullptr, const TFormatSettings& fs = TFormatSettings::UsEnglish())
    {
        status.ItemRoot = tree.Root();
        WriteAnalysisReport(&status, analysis, drive, fs);
    }
    bool Has(const std::string& line)
    {
        const auto l = Lines();
        return std::find(l.begin(), l.end(), line) != l.end();
    }
    TempHome home;
    EngineStatus status{};
    Tree tree;
};

} // namespace

TEST_F(Report, StatisticsOfAFourGigabyteVolume)
{
    Write(true);
    const std::vector<std::string> expected = {
        "- Total disk space: 4294967296 bytes (4.00 gigabytes), 1048576 clusters",
        "- Bytes per cluster: 4096 bytes",
        "- Number of files: 3",
        "- Number of directories: 1",
        "- Total size of analyzed items: 1228800 bytes (0.00 gigabytes), 300 clusters",
        "- Number of fragmented items: 1 (25.0000% of all items)",
        "- Total size of fragmented items: 409600 bytes, 100 clusters, 33.3333% of all items, 0.0095% of disk",
        "- Free disk space: 2147483648 bytes, 524288 clusters, 50.00% of disk",
        "- Number of gaps: 10",
        "- Number of small gaps: 4 (40.00% of all gaps)",
        "- Size of small gaps: 32768 bytes, 8 clusters, 0.00% of free disk space",
        "- Number of big gaps: 6 (60.00% of all gaps)",
        "- Size of big gaps: 2147450880 bytes, 524280 clusters, 100.00% of free disk space",
        "- Average gap size: 52428.80 clusters",
        "- Biggest gap: 16777216 bytes, 4096 clusters, 0.78% of free disk space",
        "- Average end-begin distance: 12.50 clusters, 0.00% of volume size",
    };
    EXPECT_EQ(Lines(), expected);
}

TEST_F(Report, DecimalsUseTheUsersSeparator)
{
    TFormatSettings comma = TFormatSettings::UsEnglish();
    comma.DecimalSeparator = ',';
    Write(true, nullptr, comma);
    EXPECT_TRUE(Has("- Total disk space: 4294967296 bytes (4,00 gigabytes), 1048576 clusters"));
}

TEST_F(Report, ZeroDenominatorsChooseTheShortForms)
{
    status.VolumeClusters = 0;
    status.GapCount = 0;
    status.SmallGapCount = 0;
    status.FreeClusters = 0;
    status.FileCount = status.FolderCount = 0;
    TFormatSettings comma = TFormatSettings::UsEnglish();
    comma.DecimalSeparator = ',';
    Write(true, nullptr, comma);
    EXPECT_TRUE(Has("- Total disk space: 0 bytes (0,00 gigabytes), 0 clusters"));
    EXPECT_TRUE(Has("- Number of fragmented items: 1"));
    EXPECT_TRUE(Has("- Total size of fragmented items: 409600 bytes, 100 clusters"));
    EXPECT_TRUE(Has("- Free disk space: 0 bytes, 0 clusters"));
    EXPECT_TRUE(Has("- Number of gaps: 0"));
    EXPECT_TRUE(Has("- Number of small gaps: 0"));
    EXPECT_TRUE(Has("- Number of big gaps: 0"));
    EXPECT_TRUE(Has("- Size of big gaps: -32768 bytes, -8 clusters"));
    EXPECT_TRUE(Has("- Average end-begin distance: 12,50 clusters"));
    for (const std::string& l : Lines())
        EXPECT_EQ(l.find("Average gap size"), std::string::npos);
}

TEST_F(Report, TablesOfUnmovableAndFragmentedItems)
{
    EngineItem& pinnedNoPath = tree.Add(5, 20000, 1, nullptr);
    pinnedNoPath.PinnedFlag = 1;
    EngineItem& badClus = tree.Add(7, 100, 1, u"/$BadClus", u"$badclus");
    badClus.PinnedFlag = 1;
    tree.Add(20, 81920, 3, u"/home/a.bin");
    EngineItem& held = tree.Add(9, 9000, 4, u"/held");
    held.HoldFlag = 1;
    TDriveListItem drive;
    drive.Fragments = 10;
    status.HoldCount = 21;
    Write(true, &drive);
    const auto l = Lines();
    const std::vector<std::string> tables(l.begin() + 16, l.end());
    const std::vector<std::string> expected = {
        "These items could not be moved:",
        "  Fragments        Bytes  Clusters Name",
        "          1        20000         5 [at cluster 1001]",
        "  --------- ------------ --------- -----",
        "          1        20000         5 Total",
        "These items are still fragmented:",
        "  Fragments        Bytes  Clusters Name",
        "          3        81920        20 /home/a.bin",
        "  --------- ------------ --------- -----",
        "          3        81920        20 Total",
        "The 25 largest items on disk:",
        "  Fragments        Bytes  Clusters Name",
        "          3        81920        20 /home/a.bin",
        "          4         9000         9 /held",
        "          1        20000         5 [at cluster 1001]",
    };
    EXPECT_EQ(tables, expected);
    EXPECT_EQ(drive.Fragments.Load(), 13) << "an analysis adds the still-fragmented counts";

    // With HoldCount 20 the held item counts; a defragmentation leaves Fragments alone.
    DeleteDebugLog();
    status.HoldCount = 20;
    Write(false, &drive);
    EXPECT_TRUE(Has("          4         9000         9 /held"));
    EXPECT_TRUE(Has("          7        90920        29 Total"));
    EXPECT_EQ(drive.Fragments.Load(), 13);
}

TEST_F(Report, TheLargestItemsRankByClustersBytesThenPath)
{
    tree.Add(50, 100, 1, u"B");
    tree.Add(50, 100, 1, u"a");
    for (int k = 0; k < 28; ++k)
        tree.Add(10 + k, 10, 1, nullptr);
    tree.Add(1, 1, 1, u"/tiny");
    Write(true);
    const auto l = Lines();
    const auto title = std::find(l.begin(), l.end(), "The 25 largest items on disk:");
    ASSERT_NE(title, l.end());
    const std::vector<std::string> rows(title + 2, l.end());
    ASSERT_EQ(rows.size(), 25u);
    EXPECT_EQ(rows[0], "          1          100        50 a");
    EXPECT_EQ(rows[1], "          1          100        50 B");
    EXPECT_EQ(rows[2], "          1           10        37 [at cluster 1030]");
    for (const std::string& r : rows)
        EXPECT_EQ(r.find("/tiny"), std::string::npos) << "smaller than a full list";
}
