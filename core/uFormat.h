#pragma once
// Regional settings and the text formatters built on them: sizes, dates and
// times. Settings are passed explicitly so that tests can pin a locale.
// Pattern letters: d dd ddd dddd (day), m mm mmm mmmm or M... (month; m or mm
// right after an hour means minutes), yy yyyy, h hh (12-hour when the pattern
// holds AMPM), n nn (minutes), s ss, z zzz, AMPM, t (short time), tt (long
// time), '/' date separator, ':' time separator, quoted text literal.

#include "platform/Exceptions.h"

#include <array>
#include <cstdint>
#include <string>

using TDateTime = double; // days since 1899-12-30, fraction = time of day

struct TFormatSettings {
    std::string ShortDateFormat = "M/d/yyyy";
    std::string LongTimeFormat = "h:nn:ss AMPM";
    std::string ShortTimeFormat = "h:nn AMPM";
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char DecimalSeparator = '.';
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::array<std::string, 7> LongDayNames{"Sunday", "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 12> LongMonthNames{"January", "February", "March",     "April",
                                               "May",     "June",     "July",      "August",
                                               "September", "October", "November", "December"};
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

    // US English, the defaults above.
    static TFormatSettings UsEnglish() { return {}; }
    // From the process's POSIX locale (LC_TIME, LC_NUMERIC), read once.
    static const TFormatSettings& System();
    // From a named POSIX locale ("" = the environment's); US English fields
    // stay where the locale cannot be loaded.
    static TFormatSettings FromPosixLocale(const char* name);
};

// A strftime pattern ("%m/%d/%Y", "%I:%M:%S %p") in the program's letters.
std::string PatternFromStrftime(const std::string& posix);

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Rounds to the nearest whole number, halves to the even neighbour
// (12.5 -> 12, 13.5 -> 14). Every rounding of the program goes through it.
int64_t RoundHalfEven(long double value);

// "512 Bytes", "1.12 KB", "149.05 GB", "0.5 TB".
std::string FormatSize(int64_t bytes, const TFormatSettings& fs = TFormatSettings::System());

TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0,
                         int second = 0, int millisecond = 0);
TDateTime Now();
std::string FormatDateTime(const std::string& pattern, TDateTime value, const TFormatSettings& fs);
// The stored form: short date, a blank, long time; no time at exactly midnight.
std::string DateTimeToStr(TDateTime value, const TFormatSettings& fs);
// Parses the stored form (time part optional); raises EConvertError.
TDateTime StrToDateTime(const std::string& text, const TFormatSettings& fs);
// "Undefined" for empty text, else "dddd, MMMM dd, yyyy tt" of the parsed text.
std::string FormatDateText(const std::string& text,
                           const TFormatSettings& fs = TFormatSettings::System());
