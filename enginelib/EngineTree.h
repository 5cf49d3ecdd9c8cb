#pragma once
// In-order walk over the engine's item tree (Parent/Smaller/Bigger links),
// shared by the engine library and the test engine.

#include "enginelib/JkDefrag.h"

inline EngineItem* EngineTreeSmallest(EngineItem* root)
{
    while (root && root->Smaller)
        root = root->Smaller;
    return root;
}

inline EngineItem* EngineTreeNext(EngineItem* item)
{
    if (!item)
        return nullptr;
    if (item->Bigger)
        return EngineTreeSmallest(item->Bigger);
    while (item->Parent && item->Parent->Bigger == item)
        item = item->Parent;
    return item->Parent;
}
