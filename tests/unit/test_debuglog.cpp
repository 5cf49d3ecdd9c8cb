// The formatter and the debug log.

#include "core/uDebugLog.h"
#include "fakes/TempHome.h"

#include <regex>

#include <gtest/gtest.h>

TEST(Format, Directives)
{
    TFormatSettings comma = TFormatSettings::UsEnglish();
    comma.DecimalSeparator = ',';
    struct Case {
        const char* pattern;
        std::vector<TFormatArg> args;
        bool useComma;
        std::string text;
    };
    const Case cases[] = {
        {"- Total disk space: %d bytes (%.2f gigabytes), %d clusters",
         {int64_t(4294967296), 4.0, int64_t(1048576)}, false,
         "- Total disk space: 4294967296 bytes (4.00 gigabytes), 1048576 clusters"},
        {"%.2f and %.4f", {4.0, 12.5}, true, "4,00 and 12,5000"},
        {"  %9d %12d %9d %s", {int64_t(3), int64_t(81920), int64_t(20), std::string("/a b")}, false,
         "          3        81920        20 /a b"},
        {"%u of %d%%", {uint64_t(7), int64_t(-2)}, false, "7 of -2%"},
        {"%d and %s", {int64_t(1)}, false, "1 and %s"}, // missing argument
        {"%s", {int64_t(5)}, false, "%s"},              // wrong kind
        {"%-5s|", {std::string("ab")}, false, "ab   |"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Format(c.pattern, c.args, c.useComma ? comma : TFormatSettings::UsEnglish()), c.text) << c.pattern;
}

TEST(DebugLog, LinesCarryTheTimeAndAreCompleteOnDisk)
{
    TempHome home;
    SetDebugLogFolder(home.Path());
    DeleteDebugLog();
    TFormatSettings dots = TFormatSettings::UsEnglish();
    dots.TimeSeparator = '.';
    dots.DecimalSeparator = ',';
    WriteDebugLog("Analyze", {}, dots);
    WriteDebugLog("", {}, dots);
    WriteDebugLog("Files %d kept as %d", {}, dots); // no arguments: written unchanged
    WriteDebugLog("%.2f%%", {12.345}, dots);
    const std::string log = TempHome::Read(home.Path() + "/debug.log");
    const std::regex expected(
        "\\d\\d\\.\\d\\d\\.\\d\\d\\.\\d{3} Analyze\r\n"
        "\\d\\d\\.\\d\\d\\.\\d\\d\\.\\d{3} \r\n"
        "\\d\\d\\.\\d\\d\\.\\d\\d\\.\\d{3} Files %d kept as %d\r\n"
        "\\d\\d\\.\\d\\d\\.\\d\\d\\.\\d{3} 12,3[45]%\r\n");
    EXPECT_TRUE(std::regex_match(log, expected)) << log;

    // A new run starts with an empty log.
    DeleteDebugLog();
    WriteDebugLog("second run");
    EXPECT_NE(TempHome::Read(home.Path() + "/debug.log").find("second run"), std::string::npos);
    EXPECT_EQ(TempHome::Read(home.Path() + "/debug.log").find("Analyze"), std::string::npos);
    DeleteDebugLog();
    DeleteDebugLog(); // a missing file is no error

    SetDebugLogFolder(home.Path() + "/no/such/folder");
    EXPECT_THROW(WriteDebugLog("x"), EOSError);
    SetDebugLogFolder("");
}
