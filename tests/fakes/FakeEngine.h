#pragma once
// A scripted engine in place of libdefrag and libJkDefragLib: each
// RunJkDefrag2 call runs the test's script with the callbacks it was given.

#include "enginelib/JkDefrag.h"

#include <functional>
#include <string>
#include <vector>

struct FakeEngineCall {
    std::string root;
    int32_t mode;
    int32_t* runState;
    StatusCallbackFn status;
    MoveCallbackFn move;
    AnalyzeCallbackFn analyze;
    DebugCallbackFn debug;
    ProgressCallbackFn progress;
    TextCallbackFn text;
    bool Stopped() const { return *runState == kRunStateStopRequested; }
};

namespace fakeengine {
extern std::function<void(FakeEngineCall&)> Script;
extern std::vector<std::string> Calls; // "mode root" of every call
} // namespace fakeengine
