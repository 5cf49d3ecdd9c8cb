#include "core/uVersionInfo.h"
#include "fakes/TempHome.h"

#include <gtest/gtest.h>

TEST(Version, TextShowsMajorMinorAndBuild)
{
    TVersionNumber v;
    v.Major = 7;
    v.Minor = 0;
    v.Release = 0;
    v.Build = 22;
    EXPECT_EQ(VersionText(v), "7.0 build 22");
    v.Release = 9; // not shown
    EXPECT_EQ(VersionText(v), "7.0 build 22");
}

TEST(Version, ReadBackFromTheExecutables)
{
    // This test program and the real program both embed the project version.
    std::unique_ptr<TVersionInfo> infos[] = {GetAppVersionInfo(), std::make_unique<TVersionInfo>(VANTOREL_EXE)};
    for (const auto& info : infos) {
        ASSERT_TRUE(info->Valid) << info->FileName;
        ASSERT_TRUE(info->FixedInfo());
        TVersionNumber v;
        info->GetProductVersion(v);
        EXPECT_EQ(v.Major, PROJECT_MAJOR);
        EXPECT_EQ(v.Minor, PROJECT_MINOR);
        EXPECT_EQ(v.Build, PROJECT_BUILD);
        EXPECT_EQ(VersionText(v), std::to_string(PROJECT_MAJOR) + "." + std::to_string(PROJECT_MINOR) +
                                      " build " + std::to_string(PROJECT_BUILD));
    }
}

TEST(Version, FilesWithoutAResourceAreNotValid)
{
    TempHome home;
    TempHome::Write(home.Path() + "/text", "not an executable at all");
    TempHome::Write(home.Path() + "/elf", std::string("\x7f" "ELF\x02\x01\x01", 7) + std::string(80, '\xff'));
    for (std::string file : {home.Path() + "/text", home.Path() + "/elf", home.Path() + "/missing",
                             std::string("/bin/sh")}) {
        TVersionInfo info(file);
        EXPECT_FALSE(info.Valid) << file;
        EXPECT_EQ(info.FixedInfo(), nullptr);
        TVersionNumber v;
        v.Major = 5;
        info.GetProductVersion(v);
        EXPECT_EQ(v.Major, 0);
    }
}
