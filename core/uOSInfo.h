#pragma once
// Facts about the operating system, recorded once when the process starts,
// and the special-folder lookup. Main thread only.

#include "platform/Exceptions.h"

#include <cstdint>
#include <string>

class ESysInfo : public Exception {
public:
    ESysInfo() : Exception("Unrecognized operating system platform") {}
};

// Class-level queries over the platform identifier and the native processor
// architecture code recorded by Initialize.
class TOSInfo {
public:
    // Records the native architecture (the native query, or the process's own
    // view when the system offers none). Called once before the program runs.
    static void Initialize();
    static bool IsNTPlatform();
    static bool IsNativeX86();
    // True when the machine natively runs what this build was compiled for,
    // i.e. the program is not running under another architecture's emulation.
    // For a 32-bit x86 build this is IsNativeX86.
    static bool IsNativeBuildArchitecture();
    static uint16_t NativeArchitecture();

private:
    static uint16_t nativeArchitecture_;
};

struct TWindowsTypeEx {
    std::string Architecture; // "x86", "x64" or "IA64"
};

void QueryWindowsType(TWindowsTypeEx& windowsType);

constexpr int kSysFolderTemp = 24;
constexpr int kSysFolderWindows = 22;
constexpr int kSysFolderSystem = 23;

// The folder with a trailing directory separator, or empty text.
std::string GetSysFolder(int kind);
