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
