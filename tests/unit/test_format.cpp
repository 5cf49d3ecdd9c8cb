#include "core/uFormat.h"

#include <gtest/gtest.h>

namespace {
TFormatSettings Comma()
{
    TFormatSettings fs;
    fs.DecimalSeparator = ',';
    fs.ShortDateFormat = "dd/MM/yyyy";
    fs.DateSeparator = '.';
    fs.LongTimeFormat = "hh:nn:ss";
    fs.TimeSeparator = ':';
    fs.LongDayNames[5] = "Freitag";
    fs.LongMonthNames[2] = "M\xC3\xA4rz";
    return fs;
}
} // namespace

TEST(FormatSize, TableAndBoundaries)
{
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0 Bytes"}, {512, "512 Bytes"}, {513, "0.5 KB"}, {1152, "1.12 KB"},
        {524288, "512 KB"}, {524289, "0.5 MB"}, {536870912, "512 MB"}, {536870913, "0.5 GB"},
        {10737418240, "10 GB"}, {160039239680, "149.05 GB"}, {549755813888, "512 GB"},
        {549755813889, "0.5 TB"}, {1000204886016, "0.91 TB"}, {2000398934016, "1.82 TB"},
        // Our own: negatives stay plain, 1.375 rounds up to even 1.38, huge counts.
        {-1, "-1 Bytes"}, {1, "1 Bytes"}, {1408, "1.38 KB"}, {1047552, "1 MB"},
        {INT64_MAX, "8388608 TB"},
    };
    const TFormatSettings us = TFormatSettings::UsEnglish();
    for (auto [n, text] : cases)
        EXPECT_EQ(FormatSize(n, us), text) << n;
    EXPECT_EQ(FormatSize(160039239680, Comma()), "149,05 GB");
}

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    const std::pair<long double, int64_t> cases[] = {
        {12.5L, 12}, {13.5L, 14}, {0.5L, 0}, {1.5L, 2}, {-2.5L, -2}, {2.4999L, 2}, {2.5001L, 3}};
    for (auto [v, r] : cases)
        EXPECT_EQ(RoundHalfEven(v), r) << double(v);
}

TEST(DateText, UsEnglish)
{
    const TFormatSettings us = TFormatSettings::UsEnglish();
    EXPECT_EQ(FormatDateText("", us), "Undefined");
    const TDateTime t = EncodeDateTime(2011, 3, 4, 15, 15, 42);
    const std::string stored = DateTimeToStr(t, us);
    EXPECT_EQ(stored, "3/4/2011 3:15:42 PM");
    EXPECT_EQ(FormatDateText(stored, us), "Friday, March 04, 2011 3:15:42 PM");

    const TDateTime midnight = EncodeDateTime(2011, 3, 4);
    EXPECT_EQ(DateTimeToStr(midnight, us), "3/4/2011") << "no time part at midnight";
    EXPECT_EQ(FormatDateText("3/4/2011", us), "Friday, March 04, 2011 12:00:00 AM");
    EXPECT_EQ(FormatDateText("12/31/1999 12:00:01 AM", us), "Friday, December 31, 1999 12:00:01 AM");
    EXPECT_EQ(FormatDateText("2/29/2012 12:30:00 PM", us), "Wednesday, February 29, 2012 12:30:00 PM");
}

TEST(DateText, CommaLocaleRoundTrip)
{
    const TFormatSettings fs = Comma();
    const TDateTime t = EncodeDateTime(2011, 3, 4, 15, 15, 42);
    const std::string stored = DateTimeToStr(t, fs);
    EXPECT_EQ(stored, "04.03.2011 15:15:42");
    EXPECT_DOUBLE_EQ(StrToDateTime(stored, fs), t);
    EXPECT_EQ(FormatDateText(stored, fs), "Freitag, M\xC3\xA4rz 04, 2011 15:15:42");
}

TEST(DateText, TextsThatDoNotParseRaise)
{
    const TFormatSettings us = TFormatSettings::UsEnglish();
    for (const char* bad : {"garbage", "13/1/2011", "2/30/2011", "3/4/2011 25:00:00", "3/4/2011 3:15:42 XM",
                            "3-4-2011", "3/4", "3/4/2011 3", "3/4/2011 13:00:00 PM"})
        EXPECT_THROW(FormatDateText(bad, us), EConvertError) << bad;
}

TEST(Locale, PosixPatternsBecomeProgramPatterns)
{
    const std::pair<const char*, const char*> cases[] = {
        {"%m/%d/%Y", "MM/dd/yyyy"}, {"%d.%m.%Y", "dd.MM.yyyy"}, {"%I:%M:%S %p", "h:nn:ss AMPM"},
        {"%H:%M:%S", "hh:nn:ss"}, {"%Y-%m-%d", "yyyy-MM-dd"}, {"%r", "h:nn:ss AMPM"},
        {"%Hh%M", "hh'h'nn"}, {"%e/%m/%y", "d/MM/yy"}};
    for (auto [posix, ours] : cases)
        EXPECT_EQ(PatternFromStrftime(posix), ours) << posix;
    // The C locale: US-style twelve-hour clock, full stop.
    TFormatSettings c = TFormatSettings::FromPosixLocale("C");
    EXPECT_EQ(c.ShortDateFormat, "MM/dd/yy");
    EXPECT_EQ(c.LongTimeFormat, "h:nn:ss AMPM");
    EXPECT_EQ(c.DecimalSeparator, '.');
    EXPECT_EQ(c.LongDayNames[5], "Friday");
    const TDateTime t = EncodeDateTime(2011, 3, 4, 15, 15, 42);
    EXPECT_DOUBLE_EQ(StrToDateTime(DateTimeToStr(t, c), c), t);
}
