#include "fakes/FakeEngine.h"

#include "enginelib/EngineText.h"
#include "enginelib/EngineTree.h"

namespace fakeengine {
std::function<void(FakeEngineCall&)> Script;
std::vector<std::string> Calls;
} // namespace fakeengine

extern "C" {

int32_t RunJkDefrag2(const EngineChar* RootPath, int32_t Mode, int32_t, double, const void*, const void*,
                     int32_t* RunState, int32_t*, StatusCallbackFn Status, MoveCallbackFn Move,
                     AnalyzeCallbackFn Analyze, DebugCallbackFn Debug, ProgressCallbackFn Progress,
                     TextCallbackFn Text, const EngineChar**)
{
    FakeEngineCall call{vtengine::BytesFromUtf16(RootPath), Mode, RunState, Status, Move, Analyze, Debug, Progress, Text};
    fakeengine::Calls.push_back(std::to_string(Mode) + " " + call.root);
    *RunState = kRunStateRunning;
    if (fakeengine::Script)
        fakeengine::Script(call);
    *RunState = kRunStateIdle;
    return 0;
}

void StopJkDefrag(int32_t* RunState, int32_t)
{
    if (*RunState == kRunStateRunning)
        *RunState = kRunStateStopRequested;
}

EngineItem* TreeSmallest(EngineItem* Root) { return EngineTreeSmallest(Root); }
EngineItem* TreeNext(EngineItem* Item) { return EngineTreeNext(Item); }
int32_t FragmentCount(EngineItem* Item) { return Item ? Item->Fragments : 0; }
int64_t GetItemLcn(EngineItem* Item) { return Item ? Item->Lcn : 0; }
}
