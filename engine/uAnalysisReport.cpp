#include "engine/uAnalysisReport.h"

#include "core/uDebugLog.h"
#include "enginelib/EngineText.h"

#include <array>
#include <functional>
#include <cwctype>

namespace {

const TFormatSettings* gFs = nullptr; // the settings of the report being written

void Log(const std::string& pattern, const std::vector<TFormatArg>& args = {}) { WriteDebugLog(pattern, args, *gFs); }

bool SameTextNoCase(const EngineChar* a, const char16_t* b)
{
    if (!a)
        return false;
    for (; *a && *b; ++a, ++b)
        if (std::towlower(wint_t(*a)) != std::towlower(wint_t(*b)))
            return false;
    return *a == 0 && *b == 0;
}

bool IsBadClus(const EngineItem* i)
{
    return SameTextNoCase(i->NameText, u"$BadClus") || SameTextNoCase(i->NameText, u"$BadClus:$Bad:$DATA");
}

int CompareNoCase(const EngineChar* a, const EngineChar* b)
{
    for (;; ++a, ++b) {
        const wint_t x = std::towlower(wint_t(*a)), y = std::towlower(wint_t(*b));
        if (x != y)
            return x < y ? -1 : 1;
        if (!*a)
            return 0;
    }
}

const char* kHeader = "  Fragments        Bytes  Clusters Name";

void Row(EngineItem* i)
{
    if (i->PathText)
        Log("  %9d %12d %9d %s", {int64_t(FragmentCount(i)), i->ByteSize, i->ClusterCount, vtengine::Utf8FromUtf16(i->PathText)});
    else
        Log("  %9d %12d %9d [at cluster %d]",
                      {int64_t(FragmentCount(i)), i->ByteSize, i->ClusterCount, GetItemLcn(i)});
}

struct Totals {
    int64_t fragments = 0, bytes = 0, clusters = 0;
    void Add(EngineItem* i)
    {
        fragments += FragmentCount(i);
        bytes += i->ByteSize;
        clusters += i->ClusterCount;
    }
    void Write() const
    {
        Log("  --------- ------------ --------- -----");
        Log("  %9d %12d %9d Total", {fragments, bytes, clusters});
    }
};

void Statistics(const EngineStatus& s)
{
    const int64_t B = s.ClusterBytes;
    const double gib = 1073741824.0;
    Log("- Total disk space: %d bytes (%.2f gigabytes), %d clusters",
                  {s.VolumeClusters * B, double(s.VolumeClusters * B) / gib, s.VolumeClusters});
    Log("- Bytes per cluster: %d bytes", {B});
    Log("- Number of files: %d", {s.FileCount});
    Log("- Number of directories: %d", {s.FolderCount});
    Log("- Total size of analyzed items: %d bytes (%.2f gigabytes), %d clusters",
                  {s.ItemClusters * B, double(s.ItemClusters * B) / gib, s.ItemClusters});
    if (s.FileCount + s.FolderCount > 0)
        Log("- Number of fragmented items: %d (%.4f%% of all items)",
                      {s.FragmentedItemCount, double(s.FragmentedItemCount) * 100 / double(s.FileCount + s.FolderCount)});
    else
        Log("- Number of fragmented items: %d", {s.FragmentedItemCount});
    if (s.ItemClusters > 0 && s.VolumeClusters > 0)
        Log("- Total size of fragmented items: %d bytes, %d clusters, %.4f%% of all items, %.4f%% of disk",
                      {s.FragmentedClusters * B, s.FragmentedClusters,
                       double(s.FragmentedClusters) / double(s.ItemClusters) * 100,
                       double(s.FragmentedClusters) / double(s.VolumeClusters) * 100});
    else
        Log("- Total size of fragmented items: %d bytes, %d clusters", {s.FragmentedClusters * B, s.FragmentedClusters});
    if (s.VolumeClusters > 0)
        Log("- Free disk space: %d bytes, %d clusters, %.2f%% of disk",
                      {s.FreeClusters * B, s.FreeClusters, double(s.FreeClusters) * 100 / double(s.VolumeClusters)});
    else
        Log("- Free disk space: %d bytes, %d clusters", {s.FreeClusters * B, s.FreeClusters});
    Log("- Number of gaps: %d", {s.GapCount});
    if (s.GapCount > 0)
        Log("- Number of small gaps: %d (%.2f%% of all gaps)",
                      {s.SmallGapCount, double(s.SmallGapCount) * 100 / double(s.GapCount)});
    else
        Log("- Number of small gaps: %d", {s.SmallGapCount});
    if (s.FreeClusters > 0)
        Log("- Size of small gaps: %d bytes, %d clusters, %.2f%% of free disk space",
                      {s.SmallGapClusters * B, s.SmallGapClusters, double(s.SmallGapClusters) * 100 / double(s.FreeClusters)});
    else
        Log("- Size of small gaps: %d bytes, %d clusters", {s.SmallGapClusters * B, s.SmallGapClusters});
    const int64_t G = s.GapCount - s.SmallGapCount;
    if (s.GapCount > 0)
        Log("- Number of big gaps: %d (%.2f%% of all gaps)", {G, double(G) * 100 / double(s.GapCount)});
    else
        Log("- Number of big gaps: %d", {G});
    const int64_t F = s.FreeClusters - s.SmallGapClusters;
    if (s.FreeClusters > 0)
        Log("- Size of big gaps: %d bytes, %d clusters, %.2f%% of free disk space",
                      {F * B, F, double(F) * 100 / double(s.FreeClusters)});
    else
        Log("- Size of big gaps: %d bytes, %d clusters", {F * B, F});
    if (s.GapCount > 0)
        Log("- Average gap size: %.2f clusters", {double(s.FreeClusters) / double(s.GapCount)});
    if (s.FreeClusters > 0)
        Log("- Biggest gap: %d bytes, %d clusters, %.2f%% of free disk space",
                      {s.LargestGap * B, s.LargestGap, double(s.LargestGap) * 100 / double(s.FreeClusters)});
    else
        Log("- Biggest gap: %d bytes, %d clusters", {s.LargestGap * B, s.LargestGap});
    if (s.VolumeClusters > 0)
        Log("- Average end-begin distance: %.2f clusters, %.2f%% of volume size",
                      {s.MeanEndBeginDistance, s.MeanEndBeginDistance * 100 / double(s.VolumeClusters)});
    else
        Log("- Average end-begin distance: %.2f clusters", {s.MeanEndBeginDistance});
}

// E ranks before N: more clusters, then more bytes, then, when both have a
// path, N's path is the greater one.
bool RanksBefore(EngineItem* e, EngineItem* n)
{
    if (e->ClusterCount != n->ClusterCount)
        return e->ClusterCount > n->ClusterCount;
    if (e->ByteSize != n->ByteSize)
        return e->ByteSize > n->ByteSize;
    return e->PathText && n->PathText && CompareNoCase(n->PathText, e->PathText) > 0;
}

} // namespace

void WriteAnalysisReport(EngineStatus* Status, bool AnalysisMode, TDriveListItem* Drive, const TFormatSettings& fs)
{
    if (!Status)
        return;
    gFs = &fs;
    const EngineStatus& s = *Status;
    Statistics(s);
    const bool holdOk = s.HoldCount <= 20;
    auto notMoved = [&](EngineItem* i) { return i->PinnedFlag && !i->IgnoreFlag && (!i->HoldFlag || holdOk); };
    auto stillFragmented = [&](EngineItem* i) {
        return !i->IgnoreFlag && (!i->HoldFlag || holdOk) && FragmentCount(i) > 1;
    };

    // A table: one walk to see whether any item passes, then the rows.
    auto table = [&](const char* title, const std::function<bool(EngineItem*)>& passes, bool skipBadClus,
                     const std::function<void(EngineItem*)>& onRow) {
        bool any = false;
        for (EngineItem* i = TreeSmallest(s.ItemRoot); i && !any; i = TreeNext(i))
            any = passes(i);
        if (!any)
            return;
        Log(title);
        Log(kHeader);
        Totals t;
        for (EngineItem* i = TreeSmallest(s.ItemRoot); i; i = TreeNext(i))
            if (passes(i) && !(skipBadClus && IsBadClus(i))) {
                Row(i);
                t.Add(i);
                onRow(i);
            }
        t.Write();
    };
    table("These items could not be moved:", notMoved, true, [](EngineItem*) {});
    table("These items are still fragmented:", stillFragmented, false, [&](EngineItem* i) {
        if (AnalysisMode && Drive)
            Drive->Fragments = Drive->Fragments.Load() + FragmentCount(i);
    });

    std::array<EngineItem*, 25> top{};
    size_t used = 0;
    for (EngineItem* n = TreeSmallest(s.ItemRoot); n; n = TreeNext(n)) {
        if (IsBadClus(n))
            continue;
        size_t place = 0; // directly after the last entry that ranks before N
        for (size_t k = used; k > 0; --k)
            if (RanksBefore(top[k - 1], n)) {
                place = k;
                break;
            }
        if (place >= top.size())
            continue;
        const size_t last = std::min(used, top.size() - 1);
        for (size_t k = last; k > place; --k)
            top[k] = top[k - 1];
        top[place] = n;
        used = std::min(used + 1, top.size());
    }
    if (used > 0) {
        Log("The 25 largest items on disk:");
        Log(kHeader);
        for (size_t k = 0; k < used; ++k)
            Row(top[k]);
    }
}
