#pragma once
// The persistent settings record and its store under
// HKEY_CURRENT_USER\Software\Quorbis\Vantorel. Read once at start-up, written
// once at exit, main thread only. The record itself is plain data owned by
// the main window.

#include "platform/Exceptions.h"

#include <bitset>
#include <cstdint>
#include <string>

struct TSettings {
    bool AutoRun = true;
    bool CloseToTray = true;
    bool UseProxy = false;
    std::string LastScanDate;
    std::string LastDefragDate;
    std::string LastDefragRes;
    std::string ProxyHost;
    std::string ProxyPort;
    std::string ProxyLogin;
    std::string ProxyPassw;
    int32_t ErrFound = 0;
    int32_t ErrFixed = 0;

    bool operator==(const TSettings&) const = default;
};

// Registry errors raised by the store ("Failed to get data for '%s'", ...).
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// What ReadSettings learnt, so that an exit never overwrites what was not
// read: a value is written back only when it was read (or found missing)
// or when the program has changed it since.
struct TSettingsOrigin {
    bool Read = false;       // ReadSettings ran (also when it failed part-way)
    std::bitset<12> Known;   // per value, in store order: read or known to be missing
    TSettings AsRead;        // the record as ReadSettings left it
};

extern const char* const kSettingsKey;   // "\Software\Quorbis\Vantorel"
extern const char* const kRunKey;        // "\Software\Microsoft\Windows\CurrentVersion\Run"
extern const char* const kAutoRunValue;  // "Vantorel"

// Fills the whole record; raises ERegistryException for a value of the wrong
// type (fields read before it keep their values) and EOSError for a damaged
// store. origin, when given, records what was read, also on failure.
void ReadSettings(TSettings& settings, TSettingsOrigin* origin = nullptr);

// Stores a copy of the record and maintains the autostart entry
// (exeName + " /ot"). With an origin, only what was read or has changed is
// written, and nothing at all when the settings were never read.
void WriteSettings(const TSettings& settings, const std::string& exeName,
                   const TSettingsOrigin* origin = nullptr);
