#include "engine/uScanThread.h"

#include "controls/cm_LSVGauges.h"
#include "core/uDebugLog.h"
#include "core/uFormat.h"
#include "engine/uAnalysisReport.h"
#include "enginelib/EngineMessages.h"
#include "enginelib/EngineText.h"
#include "net/uServices.h"
#include "toolkit/Grids.h"
#include "toolkit/StdCtrls.h"

#include <QFontMetrics>

#include <chrono>

TScanState ScanState;
int32_t EngineRunState = kRunStateIdle;
int32_t EngineAuxWord = 0;
TScanThread* RunningScanThread = nullptr;
std::function<uint32_t()> TickCount = [] {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
};
std::function<void(int32_t, const TSettings&)> UsageStatisticsSender = SendUsageStatistics;

namespace {

TDriveListItem* CurrentDriveItem()
{
    TScanThread* t = RunningScanThread;
    if (!t || !t->DriveList || ScanState.CurrentDrive < 0 || size_t(ScanState.CurrentDrive) >= t->DriveList->size())
        return nullptr;
    return &(*t->DriveList)[size_t(ScanState.CurrentDrive)];
}

bool AnalysisMode() { return RunningScanThread && RunningScanThread->Mode == "a"; }

// A callback never lets an exception reach the engine; a log line that
// cannot be written is skipped.
template <class F>
void Safely(F&& f) noexcept
{
    try {
        f();
    } catch (...) {
    }
}

void Log(const std::string& text)
{
    Safely([&] { WriteDebugLog(text); });
}

// The shared tail of the move and analyze callbacks.
void Account(const EngineChar* itemText, bool full)
{
    ScanState.PhasePercent =
        ScanState.PhaseTotal != 0
            ? int32_t(RoundHalfEven(static_cast<long double>(ScanState.PhaseProgress) / ScanState.PhaseTotal * 100))
            : 0;
    if (itemText)
        ScanState.ItemText = vtengine::Utf8FromUtf16(itemText);
    if (!full)
        return;
    ScanState.OverallDone += ScanState.PhaseProgress - ScanState.PhaseCounted;
    ScanState.PhaseCounted = ScanState.PhaseProgress;
    const uint32_t now = TickCount();
    if (uint32_t(now - ScanState.LastRefreshTick) >= 50) {
        ScanState.LastRefreshTick = now;
        if (TScanThread* t = RunningScanThread)
            t->RefreshProgressOnMain();
    }
}

} // namespace

std::string PhaseNameOf(int32_t code, int32_t zone)
{
    switch (code) {
    case 1: return "Analyze";
    case 2: return "Defragmentation";
    case 3: return "ForcedFill";
    case 4: return "Zone " + std::to_string(uint32_t(zone + 1)) + ": Sort";
    case 5: return "Zone " + std::to_string(uint32_t(zone + 1)) + ": Fast Optimize";
    case 6: return "Move Up";
    case 7: return "Finished";
    case 8: return "Fixup";
    default: return std::string();
    }
}

void StatusCallback(EngineStatus* Status)
{
    Safely([&] {
        ScanState.PhaseTotal = 0;
        ScanState.PhaseProgress = 0;
        if (!Status)
            return;
        ScanState.PhaseName = PhaseNameOf(Status->PhaseCode, Status->ZoneIndex);
        Log(ScanState.PhaseName);
        if (Status->PhaseCode == kPhaseFinished)
            WriteAnalysisReport(Status, AnalysisMode(), CurrentDriveItem());
    });
}

void MoveCallback(EngineItem* Item, int64_t Clusters, int64_t Source, int64_t Target)
{
    Safely([&] {
        ScanState.ActivityText = Clusters == 1 ? Format("Moving 1 cluster from %d to %d.", {Source, Target})
                                               : Format("Moving %d clusters from %d to %d.", {Clusters, Source, Target});
        Account(Item ? Item->PathText : nullptr, true);
    });
}

void AnalyzeCallback(EngineStatus* Status, EngineItem* Item)
{
    Safely([&] {
        ScanState.ActivityText =
            Status && Status->FileCount != 0
                ? Format("Files %d, Directories %d, Clusters %d", {Status->FileCount, Status->FolderCount, Status->ItemClusters})
                : std::string("Applying Exclude and SpaceHogs masks");
        Account(Item ? Item->NameText : nullptr, !ScanState.CountingPass);
    });
}

void DebugCallback(int32_t Level, EngineItem* Item, const EngineChar* Text)
{
    Safely([&] {
        if (Level > DebugLevelLimit)
            return;
        if (Item && Item->PathText)
            Safely([&] { WriteDebugLog("%s\\n  ", {vtengine::Utf8FromUtf16(Item->PathText)}); });
        if (Text)
            Log(vtengine::Utf8FromUtf16(Text));
    });
}

void TextCallback(const EngineChar* Text)
{
    if (Text)
        Log(vtengine::Utf8FromUtf16(Text));
}

void ProgressCallback(EngineStatus* Status)
{
    Safely([&] {
        TScanThread* t = RunningScanThread;
        if (t && t->Terminated()) {
            StopJkDefrag(&EngineRunState, 1000);
            return;
        }
        if (!Status)
            return;
        ScanState.PhaseProgress = Status->WorkDone;
        ScanState.PhaseTotal = Status->WorkTotal;
        TDriveListItem* drive = CurrentDriveItem();
        if (ScanState.CountingPass && ScanState.PhaseTotal > 0) {
            if (drive)
                drive->AnalysisTotal = ScanState.PhaseTotal;
            StopJkDefrag(&EngineRunState, 1000);
            ScanState.PhaseTotal = 0;
        }
        if (drive) {
            if (AnalysisMode())
                drive->FragmentedFiles = Status->FragmentedItemCount;
            else
                drive->DefragFragmentedFiles = Status->FragmentedItemCount;
        }
    });
}

QString ShortenToWidth(const QString& text, int width, const std::function<int(const QString&)>& measure)
{
    const QString dots = QStringLiteral("...");
    if (measure(text) + measure(dots) <= width)
        return text;
    const int headLength = int(RoundHalfEven(text.size() / 2.0L));
    QString head = text.left(headLength), tail = text.mid(headLength);
    // Two characters off each side at a time, until it fits or nothing is left.
    while (measure(head + dots + tail) > width && (!head.isEmpty() || !tail.isEmpty())) {
        head.chop(std::min<qsizetype>(2, head.size()));
        tail.remove(0, std::min<qsizetype>(2, tail.size()));
    }
    return head + dots + tail;
}

void TScanThread::RefreshProgressOnMain()
{
    Synchronize([this] { RefreshProgress(); });
}

void TScanThread::ResetProgressView()
{
    if (ResultGrid) {
        ResultGrid->Tag = 0;
        ResultGrid->SetRowCount(1);
        for (int c = 0; c < ResultGrid->ColCount(); ++c)
            ResultGrid->SetCell(c, 0, QString());
        ResultGrid->SetObject(0, 0, 0);
        ResultGrid->Invalidate();
    }
    if (CaptionLabel)
        CaptionLabel->SetCaption("Current operation:");
    if (DetailLabel)
        DetailLabel->SetCaption("Initializing...");
    if (ProgressGauge) {
        ProgressGauge->SetProgress(0);
        ProgressGauge->SetMaxValue(100);
    }
}

void TScanThread::AddDriveRow()
{
    if (ResultGrid) {
        ResultGrid->Tag += 1;
        ResultGrid->SetRowCount(ResultGrid->Tag);
        const int row = ResultGrid->Tag - 1;
        ResultGrid->SetCell(0, row, QString());
        ResultGrid->SetObject(0, row, ScanState.CurrentDrive);
        ResultGrid->SetCell(1, row, "0");
        ResultGrid->SetRow(row);
        ResultGrid->Invalidate();
    }
    if (CaptionLabel)
        CaptionLabel->SetCaption(QString::fromStdString(ScanState.CurrentDriveName) + " in progress:");
}

void TScanThread::RefreshProgress()
{
    if (Terminated()) {
        StopJkDefrag(&EngineRunState, 1000);
        return;
    }
    QString item = QString::fromStdString(ScanState.ItemText);
    if (DetailLabel) {
        const QFontMetrics fm(DetailLabel->font());
        item = ShortenToWidth(item, DetailLabel->width(), [&](const QString& t) { return fm.horizontalAdvance(t); });
        ScanState.ItemText = item.toStdString();
        DetailLabel->SetCaption(item);
    }
    TDriveListItem* drive = CurrentDriveItem();
    if (ResultGrid && ResultGrid->Tag > 0 && drive)
        ResultGrid->SetCell(1, ResultGrid->RowCount() - 1, QString::number(drive->FragmentedFiles.Load()));
    int percent;
    if (Mode == "a") {
        percent = ScanState.OverallTotal > 0
                      ? int(RoundHalfEven(static_cast<long double>(ScanState.OverallDone) / ScanState.OverallTotal * 100))
                      : 0;
    } else {
        if (DetailLabel)
            DetailLabel->SetCaption(QString::fromStdString(ScanState.PhaseName + " - " + ScanState.ActivityText + " - ") + item);
        percent = ScanState.PhasePercent;
    }
    if (ProgressGauge && percent != ProgressGauge->Progress())
        ProgressGauge->SetProgress(percent);
    if (ResultGrid)
        ResultGrid->Invalidate();
}

namespace {
void RunEngine(const TDriveListItem& drive, int32_t mode)
{
    const std::u16string root = vtengine::Utf16FromBytes(drive.RootPath);
    RunJkDefrag2(root.c_str(), mode, 100, 1.0, nullptr, nullptr, &EngineRunState, &EngineAuxWord, StatusCallback,
                 MoveCallback, AnalyzeCallback, DebugCallback, ProgressCallback, TextCallback,
                 const_cast<const EngineChar**>(kEngineMessagePatterns));
}
} // namespace

void TScanThread::Execute()
{
    RunningScanThread = this;
    Synchronize([this] { ResetProgressView(); });
    DeleteDebugLog();
    ScanState.LastRefreshTick = 0;
    ScanState.OverallTotal = 0;
    ScanState.OverallDone = 0;
    ScanState.CountingPass = false;
    TDriveList& drives = *DriveList;
    const bool analysis = Mode == "a";
    const int32_t engineMode = analysis ? kModeAnalyze : kModeDefragment;
    if (analysis) {
        ScanState.CountingPass = true;
        for (size_t i = 0; i < drives.size(); ++i) {
            ScanState.CurrentDrive = int32_t(i);
            if (!drives[i].Selected)
                continue;
            ScanState.PhaseTotal = ScanState.PhaseCounted = ScanState.PhaseProgress = 0;
            if (Terminated())
                return;
            RunEngine(drives[i], kModeAnalyze);
            ScanState.OverallTotal += drives[i].AnalysisTotal.Load();
        }
    }
    ScanState.CountingPass = false;
    for (size_t i = 0; i < drives.size(); ++i) {
        ScanState.CurrentDrive = int32_t(i);
        if (!drives[i].Selected)
            continue;
        ScanState.PhaseTotal = ScanState.PhaseCounted = ScanState.PhaseProgress = 0;
        drives[i].DefragFragmentedFiles = 0;
        // Each analysis counts the drive's fragments afresh.
        if (analysis)
            drives[i].Fragments = 0;
        ScanState.CurrentDriveName = drives[i].DisplayName;
        Synchronize([this] { AddDriveRow(); });
        if (Terminated())
            return;
        RunEngine(drives[i], engineMode);
        if (!analysis) {
            const int64_t fixed = drives[i].FragmentedFiles.Load();
            Synchronize([this, fixed] {
                if (ResultGrid)
                    ResultGrid->SetCell(2, ResultGrid->RowCount() - 1, QString::number(fixed));
            });
        }
    }
    // A stopped analysis (the program is ending) reports nothing.
    if (analysis && !Terminated()) {
        // The count: the selected drives' fragments after their main pass.
        int32_t count = 0;
        for (const TDriveListItem& d : drives)
            if (d.Selected)
                count += int32_t(uint32_t(uint64_t(d.Fragments.Load())));
        if (Settings && UsageStatisticsSender)
            UsageStatisticsSender(count, *Settings);
    }
}
