#include "fakes/FakePlatform.h"

using namespace platform;

FakeSecurity::FakeSecurity() { SetSecurity(this); }
FakeSecurity::~FakeSecurity() { SetSecurity(nullptr); }

uint32_t FakeSecurity::OpenThreadToken(TokenHandle* token)
{
    if (threadTokenError)
        return threadTokenError;
    *token = 1;
    openedFrom = 1;
    ++openedTokens;
    return 0;
}

uint32_t FakeSecurity::OpenProcessToken(TokenHandle* token)
{
    if (processTokenError)
        return processTokenError;
    *token = 2;
    openedFrom = 2;
    ++openedTokens;
    return 0;
}

void FakeSecurity::CloseToken(TokenHandle) { ++closedTokens; }

uint32_t FakeSecurity::GetTokenGroups(TokenHandle, uint32_t bufferSize,
                                      std::vector<SidAndAttributes>* out, uint32_t* returnLength)
{
    *returnLength = TokenGroupsSize(groups);
    if (bufferSize == 0)
        return sizeQueryError;
    if (secondQueryError)
        return secondQueryError;
    if (bufferSize < *returnLength)
        return kErrorInsufficientBuffer;
    *out = groups;
    return 0;
}

uint32_t FakeSecurity::AllocateAndInitializeSid(const std::array<uint8_t, 6>& authority,
                                                const std::vector<uint32_t>& subAuthorities, Sid* sid)
{
    if (sidError)
        return sidError;
    *sid = Sid{authority, subAuthorities};
    ++allocatedSids;
    return 0;
}

void FakeSecurity::FreeSid(Sid*) { ++freedSids; }

SidAndAttributes FakeSecurity::Admins(uint32_t attributes)
{
    return {Sid{kNtAuthority, {kSecurityBuiltinDomainRid, kDomainAliasRidAdmins}}, attributes};
}

SidAndAttributes FakeSecurity::Users()
{
    return {Sid{kNtAuthority, {kSecurityBuiltinDomainRid, kDomainAliasRidUsers}}, kSeGroupEnabled};
}

FakeSystem::FakeSystem() { SetSystem(this); }
FakeSystem::~FakeSystem() { SetSystem(nullptr); }

std::string FakeSystem::ShellSpecialFolder(int csidl)
{
    if (csidl == kCsidlWindows)
        return windowsShell;
    if (csidl == kCsidlSystem)
        return systemShell;
    return "";
}

void FakeWindows::Add(WindowHandle w, const std::string& cls, const std::string& title, WindowRect rect)
{
    std::lock_guard lock(mutex_);
    windows_[w] = {cls, title, rect};
}

std::vector<std::string> FakeWindows::Calls()
{
    std::lock_guard lock(mutex_);
    return calls_;
}

void FakeWindows::ClearCalls()
{
    std::lock_guard lock(mutex_);
    calls_.clear();
}

WindowHandle FakeWindows::FindWindow(const std::optional<std::string>& cls, const std::optional<std::string>& title)
{
    std::lock_guard lock(mutex_);
    if (appBuilder && cls == "TAppBuilder")
        return 42;
    for (const auto& [handle, w] : windows_)
        if ((!cls || *cls == w.cls) && (!title || *title == w.title) && (cls || title))
            return handle;
    return 0;
}

bool FakeWindows::IsWindow(WindowHandle w)
{
    std::lock_guard lock(mutex_);
    return existing.count(w) != 0 || windows_.count(w) != 0;
}

bool FakeWindows::IsIconic(WindowHandle w)
{
    std::lock_guard lock(mutex_);
    return iconic.count(w) != 0;
}

void FakeWindows::ShowNormal(WindowHandle w)
{
    std::lock_guard lock(mutex_);
    iconic.erase(w);
    calls_.push_back("normal " + std::to_string(w));
}

void FakeWindows::SetForeground(WindowHandle w)
{
    std::lock_guard lock(mutex_);
    calls_.push_back("front " + std::to_string(w));
}

std::optional<WindowRect> FakeWindows::GetWindowRect(WindowHandle w)
{
    std::lock_guard lock(mutex_);
    auto it = windows_.find(w);
    if (it == windows_.end())
        return std::nullopt;
    return it->second.rect;
}

void FakeWindows::MoveWindow(WindowHandle w, int left, int top)
{
    std::lock_guard lock(mutex_);
    calls_.push_back("move " + std::to_string(w) + " to " + std::to_string(left) + "," + std::to_string(top));
    auto it = windows_.find(w);
    if (it == windows_.end())
        return;
    WindowRect& r = it->second.rect;
    r = {left, top, left + (r.right - r.left), top + (r.bottom - r.top)};
}

std::vector<FakeProcesses::Launch> FakeProcesses::Starts()
{
    std::lock_guard lock(mutex_);
    return starts_;
}

bool FakeProcesses::Start(const std::string& file, const std::string& parameters, const std::string& folder,
                          bool elevated, bool wait)
{
    Launch s{file, parameters, folder, elevated, wait};
    {
        std::lock_guard lock(mutex_);
        starts_.push_back(s);
    }
    return onStart ? onStart(s) : true;
}
