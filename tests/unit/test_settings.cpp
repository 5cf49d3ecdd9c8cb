// The settings store over the real registry backend in a temporary home.

#include "core/uSettings.h"
#include "fakes/TempHome.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::string kExe = "/opt/vantorel/vantorel";

std::string Hive(const std::string& values)
{
    return "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Quorbis\\Vantorel]\n" +
           values;
}

int CountValues(const std::string& file)
{
    return int(std::count(file.begin(), file.end(), '\n')) - 3; // header, blank, key line
}

std::string ReadError(TSettings& s, TSettingsOrigin* origin = nullptr)
{
    try {
        ReadSettings(s, origin);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(Settings, FirstRunDefaultsThenExitStoresEverything)
{
    TempHome home;
    TSettings s;
    s.ErrFound = 99;
    TSettingsOrigin origin;
    ReadSettings(s, &origin);
    EXPECT_EQ(s, TSettings{});
    EXPECT_TRUE(s.AutoRun);
    EXPECT_TRUE(s.CloseToTray);
    EXPECT_FALSE(s.UseProxy);

    WriteSettings(s, kExe, &origin);
    const std::string hive = TempHome::Read(home.HiveFile());
    EXPECT_EQ(CountValues(hive), 12) << hive;
    EXPECT_NE(hive.find("\"CloseToTray\"=dword:00000001"), std::string::npos);
    EXPECT_NE(hive.find("\"ProxyPort\"=\"\""), std::string::npos) << "empty port stored as empty text";
    EXPECT_NE(hive.find("\"ErrFixed\"=dword:00000000"), std::string::npos);
    const std::string entry = TempHome::Read(home.AutostartFile());
    EXPECT_NE(entry.find("\nExec=/opt/vantorel/vantorel /ot\n"), std::string::npos) << entry;
}

TEST(Settings, RoundTripKeepsEveryFieldIncludingOddText)
{
    TempHome home;
    TSettings s;
    s.AutoRun = false;
    s.CloseToTray = false;
    s.UseProxy = true;
    s.LastScanDate = "3/4/2011 2:05:07 PM";
    s.LastDefragDate = "written \"elsewhere\" \\ kept";
    s.LastDefragRes = "line1\nline2\ttab";
    s.ProxyHost = "pr\xC3\xB6xy.example";
    s.ProxyPort = "";
    s.ProxyLogin = "bad utf8 \xFF\xFE";
    s.ProxyPassw = "p@ss;w=rd,";
    s.ErrFound = -7;
    s.ErrFixed = 2147483647;
    WriteSettings(s, kExe);
    for (int run = 0; run < 3; ++run) { // values survive repeated runs unchanged
        TSettings back;
        TSettingsOrigin origin;
        ReadSettings(back, &origin);
        EXPECT_EQ(back, s) << "run " << run;
        WriteSettings(back, kExe, &origin);
    }
}

TEST(Settings, BooleansAreTrueOnlyForExactlyOne)
{
    TempHome home;
    const std::pair<const char*, bool> cases[] = {
        {"00000001", true}, {"00000000", false}, {"00000002", false}, {"ffffffff", false}, {"00000101", false}};
    for (auto [stored, expected] : cases) {
        TempHome::Write(home.HiveFile(), Hive(std::string("\"UseProxy\"=dword:") + stored + "\n"));
        TSettings s;
        ReadSettings(s);
        EXPECT_EQ(s.UseProxy, expected) << stored;
    }
}

TEST(Settings, WrongTypesStopReadingAtThatValue)
{
    TempHome home;
    struct Case {
        const char* what;
        std::string values;
        std::string error;
    } cases[] = {
        {"AutoRun as text", "\"CloseToTray\"=dword:00000000\n\"AutoRun\"=\"1\"\n\"ErrFound\"=dword:00000005\n",
         "Invalid data type for 'AutoRun'"},
        {"ProxyHost as number", "\"CloseToTray\"=dword:00000000\n\"ProxyHost\"=dword:00000001\n\"ErrFound\"=dword:00000005\n",
         "Invalid data type for 'ProxyHost'"},
        {"number too long for 4 bytes", "\"CloseToTray\"=dword:00000000\n\"AutoRun\"=hex:01,00,00,00,00\n",
         "Failed to get data for 'AutoRun'"},
        {"long text under a number", "\"CloseToTray\"=dword:00000000\n\"ErrFound\"=\"12345\"\n",
         "Failed to get data for 'ErrFound'"},
        {"binary under a text", "\"CloseToTray\"=dword:00000000\n\"LastScanDate\"=hex:41,42\n",
         "Invalid data type for 'LastScanDate'"},
    };
    for (const auto& c : cases) {
        TempHome::Write(home.HiveFile(), Hive(c.values));
        TSettings s;
        TSettingsOrigin origin;
        EXPECT_EQ(ReadError(s, &origin), c.error) << c.what;
        EXPECT_FALSE(s.CloseToTray) << c.what << ": read before the error";
        EXPECT_EQ(s.ErrFound, 0) << c.what << ": after the error keeps its default";
        EXPECT_TRUE(origin.Known[0]);
        EXPECT_FALSE(origin.Known[11]);
    }
}

TEST(Settings, TextValuesEmptyOrWithZeroCharacters)
{
    TempHome home;
    // An empty binary value reads as empty text; text ends at its first zero;
    // REG_EXPAND_SZ is text too.
    TempHome::Write(home.HiveFile(), Hive("\"LastScanDate\"=hex:\n\"ProxyHost\"=hex(1):61,62,00,63\n"
                                          "\"ProxyLogin\"=hex(2):75,73,65,72\n"));
    TSettings s;
    ReadSettings(s);
    EXPECT_EQ(s.LastScanDate, "");
    EXPECT_EQ(s.ProxyHost, "ab");
    EXPECT_EQ(s.ProxyLogin, "user");
}

TEST(Settings, AutoRunStoredAsTwoRemovesTheAutostartEntry)
{
    TempHome home;
    TempHome::Write(home.HiveFile(), Hive("\"AutoRun\"=dword:00000002\n"));
    TempHome::Write(home.AutostartFile(), "[Desktop Entry]\nExec=/old /ot\n");
    TSettings s;
    TSettingsOrigin origin;
    ReadSettings(s, &origin);
    EXPECT_FALSE(s.AutoRun);
    WriteSettings(s, kExe, &origin);
    EXPECT_NE(TempHome::Read(home.HiveFile()).find("\"AutoRun\"=dword:00000000"), std::string::npos);
    EXPECT_FALSE(TempHome::Exists(home.AutostartFile()));
    // Off with no entry present is no error.
    EXPECT_NO_THROW(WriteSettings(s, kExe, &origin));
}

TEST(Settings, ExitBeforeReadingWritesNothing)
{
    TempHome home;
    const std::string stored = Hive("\"AutoRun\"=dword:00000000\n\"ErrFound\"=dword:00000009\n");
    TempHome::Write(home.HiveFile(), stored);
    TempHome::Write(home.AutostartFile(), "[Desktop Entry]\nExec=/keep\n");
    TSettings unread;
    TSettingsOrigin neverRead;
    WriteSettings(unread, kExe, &neverRead);
    EXPECT_EQ(TempHome::Read(home.HiveFile()), stored);
    EXPECT_EQ(TempHome::Read(home.AutostartFile()), "[Desktop Entry]\nExec=/keep\n");
}

TEST(Settings, PartialReadKeepsUnreadValuesButWritesChanges)
{
    TempHome home;
    TempHome::Write(home.HiveFile(),
                    Hive("\"CloseToTray\"=dword:00000000\n\"AutoRun\"=\"1\"\n"
                         "\"LastDefragDate\"=\"1/2/2010\"\n\"ErrFound\"=dword:00000007\n"));
    TempHome::Write(home.AutostartFile(), "[Desktop Entry]\nExec=/keep\n");
    TSettings s;
    TSettingsOrigin origin;
    EXPECT_EQ(ReadError(s, &origin), "Invalid data type for 'AutoRun'");
    s.ProxyHost = "typed.after.start"; // changed by the user during the run
    WriteSettings(s, kExe, &origin);

    const std::string hive = TempHome::Read(home.HiveFile());
    EXPECT_NE(hive.find("\"AutoRun\"=\"1\""), std::string::npos) << hive;
    EXPECT_NE(hive.find("\"LastDefragDate\"=\"1/2/2010\""), std::string::npos) << hive;
    EXPECT_NE(hive.find("\"ErrFound\"=dword:00000007"), std::string::npos) << hive;
    EXPECT_NE(hive.find("\"ProxyHost\"=\"typed.after.start\""), std::string::npos) << hive;
    EXPECT_NE(hive.find("\"CloseToTray\"=dword:00000000"), std::string::npos) << hive;
    EXPECT_EQ(TempHome::Read(home.AutostartFile()), "[Desktop Entry]\nExec=/keep\n");
}

TEST(Settings, DamagedStoreIsReportedAndNeverOverwritten)
{
    TempHome home;
    const std::string damaged = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Quorbis\\Vantorel]\n"
                                "\"AutoRun\"=dword:0000000\x01zz\n";
    TempHome::Write(home.HiveFile(), damaged);
    TSettings s;
    TSettingsOrigin origin;
    const std::string error = ReadError(s, &origin);
    EXPECT_NE(error.find(home.HiveFile()), std::string::npos) << error;
    EXPECT_NE(error.find("line 4"), std::string::npos) << error;
    EXPECT_EQ(s, TSettings{});

    WriteSettings(s, kExe, &origin); // nothing read, nothing changed
    EXPECT_EQ(TempHome::Read(home.HiveFile()), damaged);
    s.ErrFound = 3;                  // a change cannot be stored over it
    EXPECT_THROW(WriteSettings(s, kExe, &origin), EOSError);
    EXPECT_EQ(TempHome::Read(home.HiveFile()), damaged);
}

TEST(Settings, ValueThatCannotBeWrittenNamesTheValue)
{
    TempHome home;
    // A configuration folder that cannot be created, also not by root.
    setenv("XDG_CONFIG_HOME", "/proc/vantorel-no-such-folder", 1);
    TSettings s;
    try {
        WriteSettings(s, kExe);
        FAIL() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'CloseToTray'");
    }
}
