#include "app/uAdmin.h"

#include "core/uOSInfo.h"
#include "platform/Exceptions.h"
#include "platform/Security.h"

using namespace platform;

bool IsAdministrator()
{
    if (!TOSInfo::IsNTPlatform())
        return true;
    ISecurity& sec = Security();

    TokenHandle token = 0;
    uint32_t err = sec.OpenThreadToken(&token);
    if (err == kErrorNoToken)
        err = sec.OpenProcessToken(&token);
    if (err != kErrorSuccess)
        return false;
    struct TokenCloser {
        ISecurity& sec;
        TokenHandle token;
        ~TokenCloser() { sec.CloseToken(token); }
    } closeToken{sec, token};

    Sid admins;
    err = sec.AllocateAndInitializeSid(kNtAuthority,
                                       {kSecurityBuiltinDomainRid, kDomainAliasRidAdmins}, &admins);
    if (err != kErrorSuccess)
        RaiseLastOSError(err);
    struct SidFreer {
        ISecurity& sec;
        Sid& sid;
        ~SidFreer() { sec.FreeSid(&sid); }
    } freeSid{sec, admins};

    uint32_t needed = 0;
    err = sec.GetTokenGroups(token, 0, nullptr, &needed);
    if (err != kErrorInsufficientBuffer)
        RaiseLastOSError(err);
    std::vector<SidAndAttributes> groups;
    uint32_t got = 0;
    err = sec.GetTokenGroups(token, needed, &groups, &got);
    if (err != kErrorSuccess)
        RaiseLastOSError(err);

    for (const auto& g : groups)
        if (g.sid == admins)
            return (g.attributes & kSeGroupUseForDenyOnly) == 0;
    return false;
}
