// Backend-independent parts of the platform layer: the installed instances,
// value helpers and path helpers.

#include "platform/Drives.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/Security.h"
#include "platform/SharedMemory.h"
#include "platform/SystemInfo.h"
#include "platform/Version.h"
#include "platform/Windows.h"

#include <cstring>

namespace platform {

// Defined by the backend.
IRegistry& DefaultRegistry();
ISecurity& DefaultSecurity();
ISystemInfo& DefaultSystem();
IWindows& DefaultWindows();
IDrives& DefaultDrives();
ISharedMemory& DefaultSharedMemory();
IProcesses& DefaultProcesses();

namespace {
IRegistry* gRegistry = nullptr;
ISecurity* gSecurity = nullptr;
ISystemInfo* gSystem = nullptr;
IWindows* gWindows = nullptr;
IDrives* gDrives = nullptr;
ISharedMemory* gSharedMemory = nullptr;
IProcesses* gProcesses = nullptr;
} // namespace

IRegistry& Registry() { return gRegistry ? *gRegistry : DefaultRegistry(); }
void SetRegistry(IRegistry* registry) { gRegistry = registry; }
ISecurity& Security() { return gSecurity ? *gSecurity : DefaultSecurity(); }
void SetSecurity(ISecurity* security) { gSecurity = security; }
ISystemInfo& System() { return gSystem ? *gSystem : DefaultSystem(); }
void SetSystem(ISystemInfo* system) { gSystem = system; }
IWindows& Windows() { return gWindows ? *gWindows : DefaultWindows(); }
void SetWindows(IWindows* windows) { gWindows = windows; }
IDrives& Drives() { return gDrives ? *gDrives : DefaultDrives(); }
void SetDrives(IDrives* drives) { gDrives = drives; }
ISharedMemory& SharedMemory() { return gSharedMemory ? *gSharedMemory : DefaultSharedMemory(); }
void SetSharedMemory(ISharedMemory* memory) { gSharedMemory = memory; }
IProcesses& Processes() { return gProcesses ? *gProcesses : DefaultProcesses(); }
void SetProcesses(IProcesses* processes) { gProcesses = processes; }

RegValue RegValue::Dword(uint32_t v)
{
    return {RegType::Dword,
            {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}};
}

RegValue RegValue::String(const std::string& s, RegType type)
{
    return {type, std::vector<uint8_t>(s.begin(), s.end())};
}

RegValue RegValue::Binary(std::vector<uint8_t> bytes) { return {RegType::Binary, std::move(bytes)}; }

std::string NormalizeKeyPath(const std::string& path)
{
    std::string out;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!out.empty() && out.back() != '\\')
                out += '\\';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == '\\')
        out.pop_back();
    return out;
}

bool SameTextAscii(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y)
            return false;
    }
    return true;
}

uint32_t TokenGroupsSize(const std::vector<SidAndAttributes>& groups)
{
    // A count, then per group a pointer-sized entry, the attributes and the
    // identifier itself (8 bytes plus 4 per sub-authority).
    uint32_t size = 8;
    for (const auto& g : groups)
        size += 16 + 8 + 4 * uint32_t(g.sid.subAuthorities.size());
    return size;
}

uint16_t BuildArchitecture()
{
#if defined(__x86_64__) || defined(_M_X64)
    return kArchitectureAmd64;
#elif defined(__i386__) || defined(_M_IX86)
    return kArchitectureIntel;
#elif defined(__aarch64__)
    return kArchitectureArm64;
#elif defined(__ia64__)
    return kArchitectureIa64;
#elif defined(__arm__)
    return kArchitectureArm;
#else
    return kArchitectureUnknown;
#endif
}

uint16_t ArchitectureFromMachineName(const std::string& machine)
{
    if (machine == "i386" || machine == "i486" || machine == "i586" || machine == "i686" ||
        machine == "x86")
        return kArchitectureIntel;
    if (machine == "x86_64" || machine == "amd64")
        return kArchitectureAmd64;
    if (machine == "ia64")
        return kArchitectureIa64;
    if (machine == "aarch64" || machine == "arm64" || machine == "aarch64_be")
        return kArchitectureArm64;
    if (machine.rfind("arm", 0) == 0)
        return kArchitectureArm;
    return kArchitectureUnknown;
}

std::string IncludeTrailingPathDelimiter(const std::string& path)
{
    if (!path.empty() && path.back() == kPathDelim)
        return path;
    return path + kPathDelim;
}

// The root block of a version resource: a header with the key
// "VS_VERSION_INFO", then the fixed information, 32-bit aligned.
bool VerQueryValue(const void* block, const std::u16string& subBlock, const void** buffer,
                   uint32_t* length)
{
    if (!block || subBlock != u"\\")
        return false;
    const auto* bytes = static_cast<const uint8_t*>(block);
    uint16_t wLength, wValueLength;
    std::memcpy(&wLength, bytes, 2);
    std::memcpy(&wValueLength, bytes + 2, 2);
    const size_t valueOffset = 40; // 6-byte header + 16 UTF-16 units + padding
    if (wValueLength < sizeof(VsFixedFileInfo) || wLength < valueOffset + wValueLength)
        return false;
    uint32_t signature;
    std::memcpy(&signature, bytes + valueOffset, 4);
    if (signature != kVsFixedFileInfoSignature)
        return false;
    *buffer = bytes + valueOffset;
    *length = wValueLength;
    return true;
}

} // namespace platform
