// libdefrag: the entry of a pass.

#include "enginelib/Engine.h"
#include "enginelib/EngineText.h"

extern "C" ENGINE_EXPORT int32_t ENGINE_API RunJkDefrag2(const EngineChar* RootPath, int32_t Mode, int32_t, double,
                                                         const void*, const void*, int32_t* RunState, int32_t*,
                                                         StatusCallbackFn Status, MoveCallbackFn Move,
                                                         AnalyzeCallbackFn Analyze, DebugCallbackFn Debug,
                                                         ProgressCallbackFn Progress, TextCallbackFn,
                                                         const EngineChar** Messages)
{
    if (!RootPath || (Mode != kModeAnalyze && Mode != kModeDefragment))
        return 1;
    vtengine::PassArgs args;
    args.root = vtengine::BytesFromUtf16(RootPath);
    // The mount point is named without a trailing separator, except "/".
    while (args.root.size() > 1 && args.root.back() == '/')
        args.root.pop_back();
    args.mode = Mode;
    args.runState = RunState;
    args.status = Status;
    args.move = Move;
    args.analyze = Analyze;
    args.debug = Debug;
    args.progress = Progress;
    args.messages = Messages;
    if (RunState)
        __atomic_store_n(RunState, int32_t(kRunStateRunning), __ATOMIC_RELEASE);
    int32_t result = 1;
    try {
        result = vtengine::RunPass(args);
    } catch (...) {
        // Nothing may cross the C boundary; an allocation failure ends the pass.
        result = 1;
    }
    if (RunState)
        __atomic_store_n(RunState, int32_t(kRunStateIdle), __ATOMIC_RELEASE);
    return result;
}
