#include "app/uAdmin.h"
#include "core/uOSInfo.h"
#include "fakes/FakePlatform.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace platform;

namespace {
struct Outcome {
    const char* what;
    std::vector<SidAndAttributes> groups;
    bool admin;
};
} // namespace

TEST(IsAdministrator, FirstAdministratorsGroupDecides)
{
    const uint32_t on = kSeGroupEnabled | kSeGroupMandatory;
    const Outcome cases[] = {
        {"member", {FakeSecurity::Users(), FakeSecurity::Admins(on)}, true},
        {"deny-only member", {FakeSecurity::Admins(kSeGroupUseForDenyOnly)}, false},
        {"deny-only plus other bits", {FakeSecurity::Admins(on | kSeGroupUseForDenyOnly)}, false},
        {"no match", {FakeSecurity::Users()}, false},
        {"empty list", {}, false},
        {"first match decides", {FakeSecurity::Admins(kSeGroupUseForDenyOnly), FakeSecurity::Admins(on)}, false},
        {"similar identifier is no match",
         {{Sid{kNtAuthority, {kSecurityBuiltinDomainRid, kDomainAliasRidAdmins, 1}}, on}}, false},
        {"other authority is no match",
         {{Sid{kWorldAuthority, {kSecurityBuiltinDomainRid, kDomainAliasRidAdmins}}, on}}, false},
    };
    FakeSystem system;
    for (const auto& c : cases) {
        FakeSecurity sec;
        sec.groups = c.groups;
        EXPECT_EQ(IsAdministrator(), c.admin) << c.what;
        EXPECT_EQ(sec.closedTokens, sec.openedTokens) << c.what;
        EXPECT_EQ(sec.freedSids, sec.allocatedSids) << c.what;
    }
}

TEST(IsAdministrator, TokenChoice)
{
    FakeSystem system;
    {
        FakeSecurity sec; // no thread token: the process token is used
        sec.groups = {FakeSecurity::Admins(kSeGroupEnabled)};
        EXPECT_TRUE(IsAdministrator());
        EXPECT_EQ(sec.openedFrom, 2);
    }
    {
        FakeSecurity sec; // the thread's own token wins
        sec.threadTokenError = 0;
        sec.groups = {FakeSecurity::Admins(kSeGroupEnabled)};
        EXPECT_TRUE(IsAdministrator());
        EXPECT_EQ(sec.openedFrom, 1);
        EXPECT_EQ(sec.closedTokens, 1);
    }
    {
        FakeSecurity sec; // any other thread-token failure: no fallback
        sec.threadTokenError = kErrorAccessDenied;
        sec.groups = {FakeSecurity::Admins(kSeGroupEnabled)};
        EXPECT_FALSE(IsAdministrator());
        EXPECT_EQ(sec.openedTokens, 0);
    }
    {
        FakeSecurity sec; // no token at all
        sec.processTokenError = kErrorAccessDenied;
        sec.groups = {FakeSecurity::Admins(kSeGroupEnabled)};
        EXPECT_FALSE(IsAdministrator());
        EXPECT_EQ(sec.allocatedSids, 0);
    }
}

TEST(IsAdministrator, GroupListErrorsAreRaisedAndEverythingReleased)
{
    FakeSystem system;
    struct Case {
        const char* what;
        uint32_t sizeAnswer, secondAnswer, sidAnswer, expectedCode;
    } cases[] = {
        {"size query succeeds", 0, 0, 0, 0},
        {"size query denied", kErrorAccessDenied, 0, 0, kErrorAccessDenied},
        {"second query fails", kErrorInsufficientBuffer, kErrorInvalidParameter, 0, kErrorInvalidParameter},
        {"identifier cannot be made", kErrorInsufficientBuffer, 0, kErrorInvalidParameter, kErrorInvalidParameter},
    };
    for (const auto& c : cases) {
        FakeSecurity sec;
        sec.groups = {FakeSecurity::Admins(kSeGroupEnabled)};
        sec.sizeQueryError = c.sizeAnswer;
        sec.secondQueryError = c.secondAnswer;
        sec.sidError = c.sidAnswer;
        try {
            IsAdministrator();
            ADD_FAILURE() << c.what << ": no error raised";
        } catch (const EOSError& e) {
            EXPECT_EQ(e.ErrorCode(), c.expectedCode) << c.what;
            EXPECT_NE(std::string(e.what()).find("System Error.  Code: " + std::to_string(c.expectedCode)),
                      std::string::npos) << e.what();
        }
        EXPECT_EQ(sec.closedTokens, sec.openedTokens) << c.what;
        EXPECT_EQ(sec.freedSids, sec.allocatedSids) << c.what;
    }
}

TEST(IsAdministrator, OutsideTheNtFamilyEveryoneIsAdministrator)
{
    FakeSystem system;
    system.platformId = kPlatformWin32Windows;
    FakeSecurity sec;
    EXPECT_TRUE(IsAdministrator());
    EXPECT_EQ(sec.openedTokens, 0);
}

TEST(IsAdministrator, RealProcessCredentials)
{
    // The Linux backend: root is a member; others are not (or deny-only).
    EXPECT_EQ(IsAdministrator(), geteuid() == 0);
}
