#pragma once
// Fake platform services for tests: each installs itself on construction and
// restores the real one on destruction.

#include "platform/Exceptions.h"
#include "platform/Security.h"
#include "platform/SystemInfo.h"
#include "platform/Windows.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

// Access tokens with scripted answers; counts what is opened and released.
class FakeSecurity : public platform::ISecurity {
public:
    FakeSecurity();
    ~FakeSecurity() override;

    uint32_t threadTokenError = platform::kErrorNoToken;
    uint32_t processTokenError = 0;
    uint32_t sidError = 0;
    // Answer of the size query; kErrorInsufficientBuffer is the normal one.
    uint32_t sizeQueryError = platform::kErrorInsufficientBuffer;
    uint32_t secondQueryError = 0;
    std::vector<platform::SidAndAttributes> groups;

    int openedTokens = 0;
    int closedTokens = 0;
    int allocatedSids = 0;
    int freedSids = 0;
    platform::TokenHandle openedFrom = 0; // 1 thread, 2 process

    uint32_t OpenThreadToken(platform::TokenHandle* token) override;
    uint32_t OpenProcessToken(platform::TokenHandle* token) override;
    void CloseToken(platform::TokenHandle token) override;
    uint32_t GetTokenGroups(platform::TokenHandle token, uint32_t bufferSize,
                            std::vector<platform::SidAndAttributes>* out,
                            uint32_t* returnLength) override;
    uint32_t AllocateAndInitializeSid(const std::array<uint8_t, 6>& authority,
                                      const std::vector<uint32_t>& subAuthorities,
                                      platform::Sid* sid) override;
    void FreeSid(platform::Sid* sid) override;

    static platform::SidAndAttributes Admins(uint32_t attributes);
    static platform::SidAndAttributes Users();
};

class FakeSystem : public platform::ISystemInfo {
public:
    FakeSystem();
    ~FakeSystem() override;

    uint32_t platformId = platform::kPlatformWin32Nt;
    std::optional<uint16_t> native = platform::kArchitectureIntel;
    uint16_t processArchitecture = platform::kArchitectureIntel;
    std::string tempPath = "/tmp/fake-temp/";
    std::string windowsShell, systemShell;
    std::string windowsDir = "/fake/windows/", systemDir = "/fake/system/";
    std::string exePath = "/opt/vantorel/vantorel";

    uint32_t PlatformId() override { return platformId; }
    std::optional<uint16_t> NativeProcessorArchitecture() override { return native; }
    uint16_t ProcessorArchitecture() override { return processArchitecture; }
    std::string ShellSpecialFolder(int csidl) override;
    std::string TempPath() override { return tempPath; }
    std::string WindowsDirectory() override { return windowsDir; }
    std::string SystemDirectory() override { return systemDir; }
    std::string ExecutablePath() override { return exePath; }
};

// Windows of other programs: which exist, which are minimised, and what was
// asked of them ("normal 7", "front 7").
class FakeWindows : public platform::IWindows {
public:
    FakeWindows() { platform::SetWindows(this); }
    ~FakeWindows() override { platform::SetWindows(nullptr); }
    bool appBuilder = false;
    std::set<platform::WindowHandle> existing, iconic;
    std::vector<std::string> calls;
    platform::WindowHandle FindWindow(const std::optional<std::string>& cls,
                                      const std::optional<std::string>&) override
    {
        return appBuilder && cls == "TAppBuilder" ? 42 : 0;
    }
    bool IsWindow(platform::WindowHandle w) override { return existing.count(w) != 0; }
    bool IsIconic(platform::WindowHandle w) override { return iconic.count(w) != 0; }
    void ShowNormal(platform::WindowHandle w) override
    {
        iconic.erase(w);
        calls.push_back("normal " + std::to_string(w));
    }
    void SetForeground(platform::WindowHandle w) override { calls.push_back("front " + std::to_string(w)); }
};
