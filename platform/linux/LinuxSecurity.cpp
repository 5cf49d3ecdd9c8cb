// Access tokens on Linux: the process credentials seen as a token.
// Groups: Everyone and Users always; Administrators when the effective user
// is root, or deny-only for a member of sudo, wheel or admin who runs without
// elevation (such a user could elevate, but this process has no rights).
// Threads have no tokens of their own.

#include "platform/Exceptions.h"
#include "platform/Security.h"

#include <grp.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace platform {
namespace {

constexpr TokenHandle kProcessToken = 1;

bool InAdminGroup()
{
    int n = getgroups(0, nullptr);
    std::vector<gid_t> gids(n > 0 ? size_t(n) : 0);
    if (n > 0)
        n = getgroups(n, gids.data());
    gids.resize(n > 0 ? size_t(n) : 0);
    gids.push_back(getegid());
    for (gid_t gid : gids) {
        if (group* g = getgrgid(gid)) {
            std::string name = g->gr_name;
            if (name == "sudo" || name == "wheel" || name == "admin")
                return true;
        }
    }
    return false;
}

std::vector<SidAndAttributes> ProcessGroups()
{
    const uint32_t on = kSeGroupMandatory | kSeGroupEnabledByDefault | kSeGroupEnabled;
    std::vector<SidAndAttributes> groups;
    groups.push_back({Sid{kWorldAuthority, {0}}, on});
    if (geteuid() == 0)
        groups.push_back({Sid{kNtAuthority, {kSecurityBuiltinDomainRid, kDomainAliasRidAdmins}}, on});
    else if (InAdminGroup())
        groups.push_back({Sid{kNtAuthority, {kSecurityBuiltinDomainRid, kDomainAliasRidAdmins}},
                          kSeGroupUseForDenyOnly});
    groups.push_back({Sid{kNtAuthority, {kSecurityBuiltinDomainRid, kDomainAliasRidUsers}}, on});
    return groups;
}

class LinuxSecurity : public ISecurity {
public:
    uint32_t OpenThreadToken(TokenHandle*) override { return kErrorNoToken; }

    uint32_t OpenProcessToken(TokenHandle* token) override
    {
        *token = kProcessToken;
        return kErrorSuccess;
    }

    void CloseToken(TokenHandle) override {}

    uint32_t GetTokenGroups(TokenHandle token, uint32_t bufferSize,
                            std::vector<SidAndAttributes>* groups, uint32_t* returnLength) override
    {
        if (token != kProcessToken)
            return 6; // the handle is invalid
        auto all = ProcessGroups();
        *returnLength = TokenGroupsSize(all);
        if (bufferSize < *returnLength || !groups)
            return kErrorInsufficientBuffer;
        *groups = std::move(all);
        return kErrorSuccess;
    }

    uint32_t AllocateAndInitializeSid(const std::array<uint8_t, 6>& authority,
                                      const std::vector<uint32_t>& subAuthorities,
                                      Sid* sid) override
    {
        if (subAuthorities.empty() || subAuthorities.size() > 8)
            return kErrorInvalidParameter;
        *sid = Sid{authority, subAuthorities};
        return kErrorSuccess;
    }

    void FreeSid(Sid* sid) override { *sid = Sid{}; }
};

} // namespace

ISecurity& DefaultSecurity()
{
    static LinuxSecurity security;
    return security;
}

} // namespace platform
