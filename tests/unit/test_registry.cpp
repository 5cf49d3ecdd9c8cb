// The Linux registry backend: the .reg text store and the autostart key.

#include "fakes/TempHome.h"
#include "platform/Exceptions.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "platform/linux/LinuxRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace platform;

TEST(Registry, ValuesOfEveryTypeSurviveTheTextForm)
{
    TempHome home;
    const std::pair<std::string, RegValue> values[] = {
        {"plain", RegValue::String("hello world")},
        {"quotes and backslashes", RegValue::String("a\"b\\c\\\\\"")},
        {"control characters", RegValue::String("one\ntwo\r\tthree")},
        {"zero inside", RegValue::String(std::string("ab\0cd", 5))},
        {"not utf-8", RegValue::String("\xFF\xC3(\x80")},
        {"unicode", RegValue::String("\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80")},
        {"empty", RegValue::String("")},
        {"expand", RegValue::String("%HOME%/x", RegType::ExpandSz)},
        {"binary", RegValue::Binary({0, 1, 0xFF})},
        {"dword", RegValue::Dword(0xDEADBEEF)},
        {"name \"quoted\" \\ odd", RegValue::Dword(1)},
        {"", RegValue::String("default value")},
    };
    {
        auto key = Registry().OpenKey(Hive::CurrentUser, "Software\\Test\\Deep", RegAccess::ReadWrite, true);
        ASSERT_TRUE(key);
        for (const auto& [name, v] : values)
            key->SetValue(name, v);
    }
    auto key = Registry().OpenKey(Hive::CurrentUser, "\\SOFTWARE\\test\\deep\\", RegAccess::Read, false);
    ASSERT_TRUE(key) << "paths compare without regard to case";
    for (const auto& [name, v] : values) {
        auto back = key->QueryValue(name);
        ASSERT_TRUE(back) << name;
        EXPECT_EQ(*back, v) << name;
    }
    EXPECT_TRUE(key->QueryValue("PLAIN")) << "names compare without regard to case";
    EXPECT_TRUE(Registry().OpenKey(Hive::CurrentUser, "Software\\Test", RegAccess::Read, false))
        << "a parent of a stored key exists";
    EXPECT_FALSE(Registry().OpenKey(Hive::CurrentUser, "Software\\Missing", RegAccess::Read, false));
}

TEST(Registry, DeleteAndReplace)
{
    TempHome home;
    auto key = Registry().OpenKey(Hive::CurrentUser, "Software\\T", RegAccess::ReadWrite, true);
    key->SetValue("a", RegValue::Dword(1));
    key->SetValue("A", RegValue::Dword(2));
    EXPECT_EQ(key->ValueNames().size(), 1u);
    EXPECT_EQ(*key->QueryValue("a"), RegValue::Dword(2));
    EXPECT_TRUE(key->DeleteValue("a"));
    EXPECT_FALSE(key->DeleteValue("a"));
    auto again = Registry().OpenKey(Hive::CurrentUser, "Software\\T", RegAccess::Read, false);
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->QueryValue("a"));
}

TEST(Registry, ReadOnlyKeysAndTheMachineHive)
{
    TempHome home;
    EXPECT_FALSE(Registry().OpenKey(Hive::LocalMachine, "Software", RegAccess::ReadWrite, true));
    auto w = Registry().OpenKey(Hive::CurrentUser, "Software\\T", RegAccess::ReadWrite, true);
    w->SetValue("x", RegValue::Dword(1));
    auto r = Registry().OpenKey(Hive::CurrentUser, "Software\\T", RegAccess::Read, false);
    EXPECT_THROW(r->SetValue("x", RegValue::Dword(2)), EOSError);
    EXPECT_EQ(*r->QueryValue("x"), RegValue::Dword(1));
}

TEST(Registry, FailedWriteLeavesStoreAndNoTemporaryFiles)
{
    TempHome home;
    auto key = Registry().OpenKey(Hive::CurrentUser, "Software\\T", RegAccess::ReadWrite, true);
    key->SetValue("x", RegValue::Dword(1));
    const std::string dir = home.Config() + "/vantorel";
    // A folder in the file's place makes the final rename fail, also for root.
    std::filesystem::remove(dir + "/HKEY_CURRENT_USER.reg");
    std::filesystem::create_directory(dir + "/HKEY_CURRENT_USER.reg");
    std::filesystem::create_directory(dir + "/HKEY_CURRENT_USER.reg/keep");
    EXPECT_THROW(key->SetValue("x", RegValue::Dword(2)), EOSError);
    EXPECT_EQ(*key->QueryValue("x"), RegValue::Dword(1)) << "memory unchanged after a failed store";
    int leftovers = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        leftovers += e.path().filename().string().find(".tmp-") != std::string::npos;
    EXPECT_EQ(leftovers, 0);
}

TEST(Registry, MalformedFilesAreRefusedWithTheLine)
{
    const std::pair<const char*, int> cases[] = {
        {"no header\n", 1},
        {"Windows Registry Editor Version 5.00\n\"x\"=dword:1\n", 2},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n", 2},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"x\"=dword:123456789\n", 3},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"x\"=\"open\n", 3},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"x\"=hex:0g\n", 3},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X\n", 2},
        {"Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\X]\n\"x\" dword:1\n", 4},
    };
    for (auto [text, line] : cases) {
        try {
            ParseRegFile(text, "HKEY_CURRENT_USER", "f.reg");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const EOSError& e) {
            EXPECT_NE(std::string(e.what()).find("line " + std::to_string(line) + ":"), std::string::npos)
                << e.what();
        }
    }
    // Continued hex lines, comments, a byte-order mark and CR LF are accepted.
    auto c = ParseRegFile("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n; comment\r\n"
                          "[HKEY_CURRENT_USER\\X]\r\n\"b\"=hex:01,\\\r\n  02\r\n",
                          "HKEY_CURRENT_USER", "f.reg");
    ASSERT_TRUE(c.Find("X"));
    EXPECT_EQ(c.Find("X")->values.at(0).second, RegValue::Binary({1, 2}));
}

TEST(Registry, RunKeyIsTheAutostartFolder)
{
    TempHome home;
    const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    auto key = Registry().OpenKey(Hive::CurrentUser, run, RegAccess::ReadWrite, true);
    ASSERT_TRUE(key);
    key->SetValue("Vantorel", RegValue::String("/usr/bin/vantorel /ot"));
    const std::string file = home.Config() + "/autostart/Vantorel.desktop";
    const std::string entry = TempHome::Read(file);
    EXPECT_NE(entry.find("[Desktop Entry]\nType=Application\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nExec=/usr/bin/vantorel /ot\n"), std::string::npos) << entry;
    EXPECT_EQ(*key->QueryValue("Vantorel"), RegValue::String("/usr/bin/vantorel /ot"));
    EXPECT_TRUE(key->DeleteValue("Vantorel"));
    EXPECT_FALSE(TempHome::Exists(file));
    EXPECT_FALSE(key->DeleteValue("Vantorel"));
    EXPECT_FALSE(key->QueryValue("Vantorel"));

    // A value name cannot lead out of the folder.
    key->SetValue("../../evil", RegValue::String("/bin/true"));
    EXPECT_FALSE(TempHome::Exists(home.Config() + "/evil.desktop"));
    EXPECT_TRUE(key->QueryValue("../../evil"));
}

TEST(Registry, AutostartCommandLinesAreQuotedForTheDesktop)
{
    TempHome home;
    const std::string spaced = home.Path() + "/My Programs/vantorel";
    TempHome::Write(spaced, "");
    const std::pair<std::string, std::string> cases[] = {
        {"/usr/bin/vantorel /ot", "/usr/bin/vantorel /ot"},
        {spaced + " /ot", "\"" + spaced + "\" /ot"},
        {"/opt/100%/x /ot", "/opt/100%%/x /ot"},
        {"/opt/a$b/x /ot", "\"/opt/a\\$b/x\" /ot"},
    };
    for (const auto& [command, exec] : cases)
        EXPECT_EQ(linux_backend::DesktopExecLine(command), exec) << command;
}
