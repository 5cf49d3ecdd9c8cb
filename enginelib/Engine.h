#pragma once
// The engine's pass over one mounted file system: analysis with FIEMAP and
// GETFSMAP, and defragmentation of ext4 files with EXT4_IOC_MOVE_EXT. One
// Pass runs on the thread that calls RunJkDefrag2 and owns every item it
// reports until it is destroyed.

#include "enginelib/JkDefrag.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace vtengine {

struct ClusterRun {
    int64_t lcn;
    int64_t clusters;
};

struct Item : EngineItem {
    std::u16string name, path;
    std::string raw;
    std::vector<ClusterRun> runs;
};

struct PassArgs {
    std::string root; // the mount point's bytes
    int32_t mode = kModeAnalyze;
    int32_t* runState = nullptr;
    StatusCallbackFn status = nullptr;
    MoveCallbackFn move = nullptr;
    AnalyzeCallbackFn analyze = nullptr;
    DebugCallbackFn debug = nullptr;
    ProgressCallbackFn progress = nullptr;
    const EngineChar** messages = nullptr;
};

// Runs one pass; returns 0 when it ran (also when stopped), 1 when the
// volume could not be opened.
int RunPass(const PassArgs& args);

// Message indices of the table handed in.
enum Message {
    kMsgProcessing = 14,
    kMsgCouldNotOpen = 15,
    kMsgExtent = 16,
    kMsgAnalyzingItem = 23,
    kMsgOpeningVolume = 29,
    kMsgNotMounted = 31,
    kMsgCannotDefragment = 32,
    kMsgReadOnly = 36,
    kMsgAnalyzingVolume = 37,
    kMsgFinished = 38,
    kMsgDiskFull = 44,
    kMsgLeavingFile = 45,
    kMsgFragmented = 53,
    kMsgNotHardDisk = 57,
    kMessageCount = 58
};

} // namespace vtengine
