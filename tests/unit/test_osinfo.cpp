#include "core/uOSInfo.h"
#include "fakes/FakePlatform.h"
#include "fakes/TempHome.h"
#include "platform/SystemInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

TEST(OSInfo, ArchitectureText)
{
    const std::pair<std::optional<uint16_t>, const char*> cases[] = {
        {kArchitectureAmd64, "x64"}, {kArchitectureIa64, "IA64"}, {kArchitectureIa32OnWin64, "IA64"},
        {kArchitectureIntel, "x86"}, {kArchitectureArm64, "x86"}, {kArchitectureUnknown, "x86"},
    };
    FakeSystem system;
    for (auto [code, text] : cases) {
        system.native = code;
        TWindowsTypeEx t;
        QueryWindowsType(t);
        EXPECT_EQ(t.Architecture, text) << *code;
    }
    // Without a native query the architecture recorded at start stands in.
    system.native = std::nullopt;
    system.processArchitecture = kArchitectureAmd64;
    TOSInfo::Initialize();
    TWindowsTypeEx t;
    QueryWindowsType(t);
    EXPECT_EQ(t.Architecture, "x64");
}

TEST(OSInfo, NativeArchitectureChecks)
{
    FakeSystem system;
    system.native = kArchitectureIntel;
    TOSInfo::Initialize();
    EXPECT_TRUE(TOSInfo::IsNativeX86());
    EXPECT_EQ(TOSInfo::IsNativeBuildArchitecture(), BuildArchitecture() == kArchitectureIntel);

    system.native = kArchitectureAmd64; // a 64-bit machine
    TOSInfo::Initialize();
    EXPECT_FALSE(TOSInfo::IsNativeX86());
    EXPECT_EQ(TOSInfo::IsNativeBuildArchitecture(), BuildArchitecture() == kArchitectureAmd64);

    system.native = BuildArchitecture(); // a build on its own platform always runs
    TOSInfo::Initialize();
    EXPECT_TRUE(TOSInfo::IsNativeBuildArchitecture());
}

TEST(OSInfo, PlatformFamily)
{
    FakeSystem system;
    system.platformId = kPlatformWin32Nt;
    EXPECT_TRUE(TOSInfo::IsNTPlatform());
    system.platformId = kPlatformWin32Windows;
    EXPECT_FALSE(TOSInfo::IsNTPlatform());
    system.platformId = kPlatformWin32s;
    EXPECT_FALSE(TOSInfo::IsNTPlatform());
    system.platformId = 3;
    try {
        TOSInfo::IsNTPlatform();
        FAIL();
    } catch (const ESysInfo& e) {
        EXPECT_STREQ(e.what(), "Unrecognized operating system platform");
    }
}

TEST(OSInfo, MachineNames)
{
    const std::pair<const char*, uint16_t> cases[] = {
        {"i386", 0}, {"i686", 0}, {"x86_64", 9}, {"ia64", 6}, {"aarch64", 12}, {"armv7l", 5}, {"riscv64", 0xFFFF}};
    for (auto [name, code] : cases)
        EXPECT_EQ(ArchitectureFromMachineName(name), code) << name;
}

TEST(OSInfo, SpecialFoldersEndWithOneSeparator)
{
    FakeSystem system;
    system.tempPath = "/tmp/t/";
    EXPECT_EQ(GetSysFolder(kSysFolderTemp), "/tmp/t/");
    system.tempPath = "/tmp/t";
    EXPECT_EQ(GetSysFolder(kSysFolderTemp), "/tmp/t/");
    // The shell's folder first, the plain query when the shell has none.
    system.windowsShell = "/shell/win";
    EXPECT_EQ(GetSysFolder(kSysFolderWindows), "/shell/win/");
    system.windowsShell = "";
    system.windowsDir = "/plain/win";
    EXPECT_EQ(GetSysFolder(kSysFolderWindows), "/plain/win/");
    system.systemShell = "";
    system.systemDir = "/plain/sys/";
    EXPECT_EQ(GetSysFolder(kSysFolderSystem), "/plain/sys/");
    EXPECT_EQ(GetSysFolder(5), "");
}

TEST(OSInfo, RealTempFolderIsPrivate)
{
    TempHome base; // a TMPDIR of our own
    const char* old = std::getenv("TMPDIR");
    std::string saved = old ? old : "";
    setenv("TMPDIR", base.Path().c_str(), 1);
    const std::string expected = base.Path() + "/vantorel-" + std::to_string(geteuid()) + "/";

    // Created with mode 0700; loose permissions on our own folder are tightened.
    EXPECT_EQ(GetSysFolder(kSysFolderTemp), expected);
    struct stat st;
    ASSERT_EQ(stat(expected.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    chmod(expected.c_str(), 0777);
    EXPECT_EQ(GetSysFolder(kSysFolderTemp), expected);
    stat(expected.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A symbolic link planted under that name is never used.
    std::filesystem::remove(expected.substr(0, expected.size() - 1));
    std::filesystem::create_directory(base.Path() + "/elsewhere");
    std::filesystem::create_directory_symlink(base.Path() + "/elsewhere",
                                              expected.substr(0, expected.size() - 1));
    const std::string got = GetSysFolder(kSysFolderTemp);
    EXPECT_NE(got, expected);
    EXPECT_EQ(got.back(), '/');
    ASSERT_EQ(lstat(got.substr(0, got.size() - 1).c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    if (old) setenv("TMPDIR", saved.c_str(), 1); else unsetenv("TMPDIR");
}
