#pragma once
// Facts about the running system and this process: platform family,
// processor architecture, folders, the executable's path.
// One installed instance (System()); tests install their own.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

constexpr uint32_t kPlatformWin32s = 0;
constexpr uint32_t kPlatformWin32Windows = 1;
constexpr uint32_t kPlatformWin32Nt = 2;

constexpr uint16_t kArchitectureIntel = 0;
constexpr uint16_t kArchitectureArm = 5;
constexpr uint16_t kArchitectureIa64 = 6;
constexpr uint16_t kArchitectureAmd64 = 9;
constexpr uint16_t kArchitectureIa32OnWin64 = 10;
constexpr uint16_t kArchitectureArm64 = 12;
constexpr uint16_t kArchitectureUnknown = 0xFFFF;

// Shell special-folder numbers.
constexpr int kCsidlWindows = 36;
constexpr int kCsidlSystem = 37;

class ISystemInfo {
public:
    virtual ~ISystemInfo() = default;
    virtual uint32_t PlatformId() = 0;
    // The machine's own processor architecture; nullopt when the system offers
    // no native query.
    virtual std::optional<uint16_t> NativeProcessorArchitecture() = 0;
    // The architecture as seen by this process.
    virtual uint16_t ProcessorArchitecture() = 0;
    // The folders below end with the directory separator, or are empty.
    virtual std::string ShellSpecialFolder(int csidl) = 0;
    virtual std::string TempPath() = 0;
    virtual std::string WindowsDirectory() = 0;
    virtual std::string SystemDirectory() = 0;
    virtual std::string ExecutablePath() = 0;
    // Where programs are installed, most usual first, each ending with the
    // directory separator.
    virtual std::vector<std::string> ProgramFilesFolders() = 0;
};

// Architecture code of the build itself.
uint16_t BuildArchitecture();
// Architecture code for a kernel machine name (uname -m): "x86_64" gives 9.
uint16_t ArchitectureFromMachineName(const std::string& machine);

constexpr char kPathDelim = '/';
std::string IncludeTrailingPathDelimiter(const std::string& path);

ISystemInfo& System();
void SetSystem(ISystemInfo* system);

} // namespace platform
