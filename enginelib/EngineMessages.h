#pragma once
// The 58 message patterns handed to RunJkDefrag2, by index; empty entries
// are unused. The engine formats its debug messages with them.

#include "enginelib/JkDefrag.h"

extern const EngineChar* const kEngineMessagePatterns[58];
