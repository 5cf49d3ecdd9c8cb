#pragma once
// The report of a finished pass in debug.log: volume and gap statistics,
// the items that could not be moved, the items still fragmented and the 25
// largest items. In an analysis the still-fragmented items' fragment
// counts are added to the drive's Fragments. Runs on the scan worker.

#include "core/uFormat.h"
#include "engine/uTypes.h"
#include "enginelib/JkDefrag.h"

void WriteAnalysisReport(EngineStatus* Status, bool AnalysisMode, TDriveListItem* Drive,
                         const TFormatSettings& fs = TFormatSettings::System());
