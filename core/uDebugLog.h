#pragma once
// The debug log "debug.log" beside the executable: one line per call, the
// local time "hh:nn:ss:zzz" (the user's time separator), a blank, the text,
// CR LF. The file is opened, written, flushed and closed for every line.
// Called from the scan worker thread only.

#include "core/uStrFormat.h"

#include <string>
#include <vector>

// The log's path; by default "debug.log" in the executable's folder.
std::string DebugLogPath();
void SetDebugLogFolder(const std::string& folder);

// Formats the pattern with the arguments and appends the line. A call with
// no arguments writes the pattern unchanged. Raises EOSError when the line
// cannot be written.
void WriteDebugLog(const std::string& pattern, const std::vector<TFormatArg>& args = {},
                   const TFormatSettings& fs = TFormatSettings::System());
// Deletes the log; a failure is ignored.
void DeleteDebugLog();
