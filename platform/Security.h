#pragma once
// Access tokens and security identifiers, modelled on the Windows calls the
// administrator check uses. Every call returns a system error code (0 = success).
// One installed instance (Security()); tests install their own.

#include <array>
#include <cstdint>
#include <vector>

namespace platform {

struct Sid {
    std::array<uint8_t, 6> authority{};
    std::vector<uint32_t> subAuthorities;
    bool operator==(const Sid&) const = default;
};

constexpr std::array<uint8_t, 6> kNtAuthority{0, 0, 0, 0, 0, 5};
constexpr std::array<uint8_t, 6> kWorldAuthority{0, 0, 0, 0, 0, 1};
constexpr uint32_t kSecurityBuiltinDomainRid = 32;
constexpr uint32_t kDomainAliasRidAdmins = 544;
constexpr uint32_t kDomainAliasRidUsers = 545;

constexpr uint32_t kSeGroupMandatory = 0x1;
constexpr uint32_t kSeGroupEnabledByDefault = 0x2;
constexpr uint32_t kSeGroupEnabled = 0x4;
constexpr uint32_t kSeGroupUseForDenyOnly = 0x10;

struct SidAndAttributes {
    Sid sid;
    uint32_t attributes = 0;
};

using TokenHandle = intptr_t;

class ISecurity {
public:
    virtual ~ISecurity() = default;
    // The calling thread's token, opened for query as the process itself;
    // kErrorNoToken when the thread has none of its own.
    virtual uint32_t OpenThreadToken(TokenHandle* token) = 0;
    virtual uint32_t OpenProcessToken(TokenHandle* token) = 0;
    virtual void CloseToken(TokenHandle token) = 0;
    // Token group list. bufferSize is the caller's buffer in bytes; when it is
    // too small the call fails with kErrorInsufficientBuffer and *returnLength
    // tells the size needed. groups may be null only with bufferSize 0.
    virtual uint32_t GetTokenGroups(TokenHandle token, uint32_t bufferSize,
                                    std::vector<SidAndAttributes>* groups,
                                    uint32_t* returnLength) = 0;
    virtual uint32_t AllocateAndInitializeSid(const std::array<uint8_t, 6>& authority,
                                              const std::vector<uint32_t>& subAuthorities,
                                              Sid* sid) = 0;
    virtual void FreeSid(Sid* sid) = 0;
};

// Bytes a group list of these entries occupies in a caller's buffer.
uint32_t TokenGroupsSize(const std::vector<SidAndAttributes>& groups);

ISecurity& Security();
void SetSecurity(ISecurity* security);

} // namespace platform
