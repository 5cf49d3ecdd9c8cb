// libJkDefragLib: the stop request and the walk over the item tree.

#include "enginelib/EngineTree.h"

extern "C" {

ENGINE_EXPORT void ENGINE_API StopJkDefrag(int32_t* RunState, int32_t)
{
    // The pass sees the request at its next check; nothing here waits.
    if (!RunState)
        return;
    int32_t running = kRunStateRunning;
    __atomic_compare_exchange_n(RunState, &running, int32_t(kRunStateStopRequested), false, __ATOMIC_ACQ_REL,
                                __ATOMIC_ACQUIRE);
}

ENGINE_EXPORT EngineItem* ENGINE_API TreeSmallest(EngineItem* Root) { return EngineTreeSmallest(Root); }

ENGINE_EXPORT EngineItem* ENGINE_API TreeNext(EngineItem* Item) { return EngineTreeNext(Item); }

ENGINE_EXPORT int32_t ENGINE_API FragmentCount(EngineItem* Item) { return Item ? Item->Fragments : 0; }

ENGINE_EXPORT int64_t ENGINE_API GetItemLcn(EngineItem* Item) { return Item ? Item->Lcn : 0; }
}
