#pragma once
// Fake platform services for tests: each installs itself on construction and
// restores the real one on destruction.

#include "platform/Exceptions.h"
#include "platform/Process.h"
#include "platform/Security.h"
#include "platform/SystemInfo.h"
#include "platform/Windows.h"

#include <functional>
#include <map>
#include <mutex>
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
    std::vector<std::string> programFolders{"/fake/programs1/", "/fake/programs2/"};

    uint32_t PlatformId() override { return platformId; }
    std::optional<uint16_t> NativeProcessorArchitecture() override { return native; }
    uint16_t ProcessorArchitecture() override { return processArchitecture; }
    std::string ShellSpecialFolder(int csidl) override;
    std::string TempPath() override { return tempPath; }
    std::string WindowsDirectory() override { return windowsDir; }
    std::string SystemDirectory() override { return systemDir; }
    std::string ExecutablePath() override { return exePath; }
    std::vector<std::string> ProgramFilesFolders() override { return programFolders; }
};

// Windows of other programs: which exist (with class, title and place),
// which are minimised, and what was asked of them ("normal 7", "front 7",
// "move 7 to 150,50"). Any thread may use it.
class FakeWindows : public platform::IWindows {
public:
    struct Window {
        std::string cls, title;
        platform::WindowRect rect;
    };
    FakeWindows() { platform::SetWindows(this); }
    ~FakeWindows() override { platform::SetWindows(nullptr); }
    bool appBuilder = false;
    std::set<platform::WindowHandle> existing, iconic;

    void Add(platform::WindowHandle w, const std::string& cls, const std::string& title,
             platform::WindowRect rect);
    std::vector<std::string> Calls();
    void ClearCalls();

    platform::WindowHandle FindWindow(const std::optional<std::string>& cls,
                                      const std::optional<std::string>& title) override;
    bool IsWindow(platform::WindowHandle w) override;
    bool IsIconic(platform::WindowHandle w) override;
    void ShowNormal(platform::WindowHandle w) override;
    void SetForeground(platform::WindowHandle w) override;
    std::optional<platform::WindowRect> GetWindowRect(platform::WindowHandle w) override;
    void MoveWindow(platform::WindowHandle w, int left, int top) override;

private:
    std::mutex mutex_;
    std::map<platform::WindowHandle, Window> windows_;
    std::vector<std::string> calls_;
};

// Program starts: records each one; `onStart` (if set) acts as the started
// program and answers whether it could be started. Any thread may use it.
class FakeProcesses : public platform::IProcesses {
public:
    struct Launch {
        std::string file, parameters, folder;
        bool elevated = false, wait = false;
    };
    FakeProcesses() { platform::SetProcesses(this); }
    ~FakeProcesses() override { platform::SetProcesses(nullptr); }
    std::function<bool(const Launch&)> onStart;
    std::vector<Launch> Starts();

    bool Start(const std::string& file, const std::string& parameters, const std::string& folder,
               bool elevated, bool wait) override;

private:
    std::mutex mutex_;
    std::vector<Launch> starts_;
};
