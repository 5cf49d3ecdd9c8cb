#pragma once
// TScanThread: one run over the selected drives, an analysis ("a") or a
// defragmentation ("d"), through the engine; the engine's six callbacks
// write the process-wide scan state below, and three steps show it on the
// page on the main thread. The owner sets the fields, starts the thread and
// may ask it to stop; with FreeOnTerminate the thread frees itself after
// its completion handler.

#include "core/uSettings.h"
#include "engine/uTypes.h"
#include "enginelib/JkDefrag.h"
#include "toolkit/Thread.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>

class TLabel;
class TLSVGauge;
class TStringGrid;

class TScanThread : public TThread {
public:
    std::string Mode = "a";
    TStringGrid* ResultGrid = nullptr;
    TLabel* CaptionLabel = nullptr;
    TLabel* DetailLabel = nullptr;
    TLSVGauge* ProgressGauge = nullptr;
    // The drive list of the main window and the settings for the statistics.
    TDriveList* DriveList = nullptr;
    const TSettings* Settings = nullptr;

    // Steps on the main thread (run through Synchronize).
    void ResetProgressView();
    void AddDriveRow();
    void RefreshProgress();
    // RefreshProgress on the main thread, the worker waiting (the callbacks' refresh).
    void RefreshProgressOnMain();

protected:
    void Execute() override;
};

// The scan state, written by the worker and read on the main thread only
// while the worker waits in Synchronize.
struct TScanState {
    bool CountingPass = false;
    int32_t CurrentDrive = 0;
    std::string CurrentDriveName;
    int64_t OverallTotal = 0;
    int64_t OverallDone = 0;
    int64_t PhaseTotal = 0;
    int64_t PhaseProgress = 0;
    int64_t PhaseCounted = 0;
    int32_t PhasePercent = 0;
    std::string PhaseName;
    std::string ActivityText;
    std::string ItemText;
    uint32_t LastRefreshTick = 0;
};
extern TScanState ScanState;
extern int32_t EngineRunState;
extern int32_t EngineAuxWord;
// The thread of the current (or last) run, which the callbacks consult.
extern TScanThread* RunningScanThread;
// The platform's millisecond tick; tests replace it with a fake clock.
extern std::function<uint32_t()> TickCount;
// Sends the statistics at the end of an analysis; tests may replace it.
extern std::function<void(int32_t count, const TSettings& settings)> UsageStatisticsSender;

constexpr int32_t DebugLevelLimit = 1;

// The engine's callbacks.
void StatusCallback(EngineStatus* Status);
void MoveCallback(EngineItem* Item, int64_t Clusters, int64_t Source, int64_t Target);
void AnalyzeCallback(EngineStatus* Status, EngineItem* Item);
void DebugCallback(int32_t Level, EngineItem* Item, const EngineChar* Text);
void ProgressCallback(EngineStatus* Status);
void TextCallback(const EngineChar* Text);

// The phase name for a status (empty for unknown codes).
std::string PhaseNameOf(int32_t PhaseCode, int32_t ZoneIndex);
// Text shortened with "..." in the middle to fit width by measure.
QString ShortenToWidth(const QString& text, int width, const std::function<int(const QString&)>& measure);
