#include "core/uOSInfo.h"

#include "platform/SystemInfo.h"

using namespace platform;

uint16_t TOSInfo::nativeArchitecture_ = kArchitectureUnknown;

void TOSInfo::Initialize()
{
    auto native = System().NativeProcessorArchitecture();
    nativeArchitecture_ = native ? *native : System().ProcessorArchitecture();
}

bool TOSInfo::IsNTPlatform()
{
    switch (System().PlatformId()) {
    case kPlatformWin32Nt: return true;
    case kPlatformWin32Windows:
    case kPlatformWin32s: return false;
    default: throw ESysInfo();
    }
}

bool TOSInfo::IsNativeX86() { return nativeArchitecture_ == kArchitectureIntel; }

bool TOSInfo::IsNativeBuildArchitecture() { return nativeArchitecture_ == BuildArchitecture(); }

uint16_t TOSInfo::NativeArchitecture() { return nativeArchitecture_; }

void QueryWindowsType(TWindowsTypeEx& windowsType)
{
    // Without a native query the architecture recorded at start stands in.
    uint16_t code = TOSInfo::NativeArchitecture();
    try {
        if (auto native = System().NativeProcessorArchitecture())
            code = *native;
    } catch (...) {
    }
    switch (code) {
    case kArchitectureAmd64: windowsType.Architecture = "x64"; break;
    case kArchitectureIa64:
    case kArchitectureIa32OnWin64: windowsType.Architecture = "IA64"; break;
    default: windowsType.Architecture = "x86";
    }
}

std::string GetSysFolder(int kind)
{
    auto withDelim = [](const std::string& p) {
        return p.empty() ? p : IncludeTrailingPathDelimiter(p);
    };
    switch (kind) {
    case kSysFolderTemp: return withDelim(System().TempPath());
    case kSysFolderWindows: {
        std::string p = System().ShellSpecialFolder(kCsidlWindows);
        return withDelim(p.empty() ? System().WindowsDirectory() : p);
    }
    case kSysFolderSystem: {
        std::string p = System().ShellSpecialFolder(kCsidlSystem);
        return withDelim(p.empty() ? System().SystemDirectory() : p);
    }
    default: return "";
    }
}
