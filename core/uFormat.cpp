#include "core/uFormat.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <langinfo.h>
#include <locale.h>

int64_t RoundHalfEven(long double value)
{
    // nearbyint rounds in the current mode; make sure it is to-nearest-even.
    const int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    long double r = std::nearbyintl(value);
    std::fesetround(old);
    return int64_t(r);
}

std::string FormatSize(int64_t n, const TFormatSettings& fs)
{
    struct Unit {
        int64_t above;
        int64_t divisor;
        const char* suffix;
    };
    static const Unit units[] = {
        {549755813888LL, 1099511627776LL, " TB"},
        {536870912LL, 1073741824LL, " GB"},
        {524288LL, 1048576LL, " MB"},
        {512LL, 1024LL, " KB"},
    };
    for (const Unit& u : units) {
        if (n > u.above) {
            long double value = (long double)n / (long double)u.divisor;
            double twoDecimals = double(RoundHalfEven(value * 100)) * 0.01;
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.15g", twoDecimals);
            std::string text = buf;
            for (char& c : text)
                if (c == '.')
                    c = fs.DecimalSeparator;
            return text + u.suffix;
        }
    }
    return std::to_string(n) + " Bytes";
}

// ---- calendar arithmetic on days since 1899-12-30 ----

namespace {

// Days from 1970-01-01 for a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t yy = int64_t(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yy + (m <= 2));
}

constexpr int64_t kEpochOffset = 25569; // 1970-01-01 as days since 1899-12-30

struct Parts {
    int year, month, day, hour, minute, second, ms, dayOfWeek; // dayOfWeek 0 = Sunday
};

Parts Decode(TDateTime value)
{
    // Milliseconds of the whole value, rounded, so 23:59:59.9995 becomes the next day.
    const long double totalMs = std::roundl((long double)value * 86400000.0L);
    int64_t days = int64_t(std::floor(totalMs / 86400000.0L));
    int64_t msOfDay = int64_t(totalMs - (long double)days * 86400000.0L);
    Parts p{};
    CivilFromDays(days - kEpochOffset, p.year, p.month, p.day);
    p.hour = int(msOfDay / 3600000);
    p.minute = int(msOfDay / 60000 % 60);
    p.second = int(msOfDay / 1000 % 60);
    p.ms = int(msOfDay % 1000);
    p.dayOfWeek = int(((days - kEpochOffset) % 7 + 7 + 4) % 7); // 1970-01-01 was a Thursday
    return p;
}

bool DaysInRange(int y, int m, int d)
{
    static const int dim[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1)
        return false;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= dim[m - 1] + (m == 2 && leap);
}

std::string Pad(int v, int width)
{
    std::string s = std::to_string(v);
    while (int(s.size()) < width)
        s = "0" + s;
    return s;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

bool HasAmPm(const std::string& pattern)
{
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '\'' || pattern[i] == '"') {
            size_t close = pattern.find(pattern[i], i + 1);
            i = close == std::string::npos ? pattern.size() : close;
            continue;
        }
        if (Lower(pattern[i]) == 'a')
            return true;
    }
    return false;
}

void Render(const std::string& pattern, const Parts& p, const TFormatSettings& fs, std::string& out,
            int depth)
{
    const bool twelve = HasAmPm(pattern);
    bool afterHour = false;
    size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        const char lc = Lower(c);
        size_t run = 1;
        while (i + run < pattern.size() && Lower(pattern[i + run]) == lc)
            ++run;
        if (c == '\'' || c == '"') {
            size_t close = pattern.find(c, i + 1);
            if (close == std::string::npos)
                close = pattern.size();
            out += pattern.substr(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        if (lc == 'a') {
            if (pattern.compare(i, 4, "AMPM") == 0 || pattern.compare(i, 4, "ampm") == 0) {
                out += p.hour < 12 ? fs.TimeAMString : fs.TimePMString;
                i += 4;
            } else if (pattern.compare(i, 5, "am/pm") == 0 || pattern.compare(i, 5, "AM/PM") == 0) {
                out += p.hour < 12 ? pattern.substr(i, 2) : pattern.substr(i + 3, 2);
                i += 5;
            } else {
                out += c;
                ++i;
            }
            continue;
        }
        switch (lc) {
        case 'd':
            if (run >= 4) out += fs.LongDayNames[p.dayOfWeek];
            else if (run == 3) out += fs.ShortDayNames[p.dayOfWeek];
            else out += Pad(p.day, int(run));
            break;
        case 'm':
            if (afterHour && run <= 2) {
                out += Pad(p.minute, int(run));
            } else if (run >= 4) out += fs.LongMonthNames[p.month - 1];
            else if (run == 3) out += fs.ShortMonthNames[p.month - 1];
            else out += Pad(p.month, int(run));
            break;
        case 'y': out += run <= 2 ? Pad(p.year % 100, 2) : Pad(p.year, 4); break;
        case 'h': {
            int h = p.hour;
            if (twelve) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += Pad(h, run >= 2 ? 2 : 1);
            break;
        }
        case 'n': out += Pad(p.minute, run >= 2 ? 2 : 1); break;
        case 's': out += Pad(p.second, run >= 2 ? 2 : 1); break;
        case 'z': out += Pad(p.ms, run >= 3 ? 3 : 1); break;
        case 't':
            if (depth < 2)
                Render(run >= 2 ? fs.LongTimeFormat : fs.ShortTimeFormat, p, fs, out, depth + 1);
            break;
        case '/': out += std::string(run, fs.DateSeparator); break;
        case ':': out += std::string(run, fs.TimeSeparator); break;
        default: out += pattern.substr(i, run);
        }
        if (lc == 'h')
            afterHour = true;
        else if (lc != ' ' && lc != ':' && !(lc == 'm' && afterHour))
            afterHour = false;
        i += run;
    }
}

[[noreturn]] void Invalid(const std::string& text)
{
    throw EConvertError("'" + text + "' is not a valid date and time");
}

} // namespace

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond)
{
    const int64_t days = DaysFromCivil(year, unsigned(month), unsigned(day)) + kEpochOffset;
    return double(days) + (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) /
                              86400000.0;
}

TDateTime Now()
{
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local;
    localtime_r(&ts.tv_sec, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec, int(ts.tv_nsec / 1000000));
}

std::string FormatDateTime(const std::string& pattern, TDateTime value, const TFormatSettings& fs)
{
    std::string out;
    Render(pattern, Decode(value), fs, out, 0);
    return out;
}

std::string DateTimeToStr(TDateTime value, const TFormatSettings& fs)
{
    Parts p = Decode(value);
    std::string text = FormatDateTime(fs.ShortDateFormat, value, fs);
    if (p.hour || p.minute || p.second || p.ms)
        text += " " + FormatDateTime(fs.LongTimeFormat, value, fs);
    return text;
}

TDateTime StrToDateTime(const std::string& text, const TFormatSettings& fs)
{
    size_t pos = 0;
    auto skipBlanks = [&] { while (pos < text.size() && text[pos] == ' ') ++pos; };
    auto number = [&](int maxDigits, int& v) {
        size_t start = pos;
        v = 0;
        while (pos < text.size() && std::isdigit((unsigned char)text[pos]) &&
               int(pos - start) < maxDigits)
            v = v * 10 + (text[pos++] - '0');
        return pos > start;
    };
    auto word = [&](const std::string& w) {
        if (w.empty() || text.size() - pos < w.size())
            return false;
        for (size_t k = 0; k < w.size(); ++k)
            if (Lower(text[pos + k]) != Lower(w[k]))
                return false;
        pos += w.size();
        return true;
    };
    // The order of day, month and year follows the short date format.
    std::string order;
    for (char c : fs.ShortDateFormat) {
        char l = Lower(c);
        if ((l == 'd' || l == 'm' || l == 'y') && order.find(l) == std::string::npos)
            order += l;
    }
    if (order.size() != 3)
        order = "mdy";
    skipBlanks();
    int v[3];
    int yearDigits = 0;
    for (int k = 0; k < 3; ++k) {
        if (k > 0) {
            if (pos >= text.size() || text[pos] != fs.DateSeparator)
                Invalid(text);
            ++pos;
        }
        size_t start = pos;
        if (!number(order[k] == 'y' ? 4 : 2, v[k]))
            Invalid(text);
        if (order[k] == 'y')
            yearDigits = int(pos - start);
    }
    int day = 0, month = 0, year = 0;
    for (int k = 0; k < 3; ++k)
        (order[k] == 'd' ? day : order[k] == 'm' ? month : year) = v[k];
    if (yearDigits <= 2)
        year += year < 50 ? 2000 : 1900;
    if (!DaysInRange(year, month, day))
        Invalid(text);

    int hour = 0, minute = 0, second = 0, ms = 0;
    skipBlanks();
    if (pos < text.size()) {
        int pm = -1;
        auto marker = [&] {
            if (word(fs.TimeAMString) || word("AM")) pm = 0;
            else if (word(fs.TimePMString) || word("PM")) pm = 1;
            skipBlanks();
        };
        marker();
        if (!number(2, hour) || pos >= text.size() || text[pos] != fs.TimeSeparator)
            Invalid(text);
        ++pos;
        if (!number(2, minute))
            Invalid(text);
        if (pos < text.size() && text[pos] == fs.TimeSeparator) {
            ++pos;
            if (!number(2, second))
                Invalid(text);
            if (pos < text.size() && (text[pos] == '.' || text[pos] == fs.DecimalSeparator)) {
                ++pos;
                if (!number(3, ms))
                    Invalid(text);
            }
        }
        skipBlanks();
        if (pm < 0)
            marker();
        if (pos != text.size())
            Invalid(text);
        if (pm >= 0) {
            if (hour < 1 || hour > 12)
                Invalid(text);
            hour = hour % 12 + (pm ? 12 : 0);
        }
        if (hour > 23 || minute > 59 || second > 59)
            Invalid(text);
    }
    return EncodeDateTime(year, month, day, hour, minute, second, ms);
}

std::string FormatDateText(const std::string& text, const TFormatSettings& fs)
{
    if (text.empty())
        return "Undefined";
    return FormatDateTime("dddd, MMMM dd, yyyy tt", StrToDateTime(text, fs), fs);
}

// ---- the POSIX locale ----

std::string PatternFromStrftime(const std::string& posix)
{
    std::string out;
    for (size_t i = 0; i < posix.size(); ++i) {
        char c = posix[i];
        if (c != '%' || i + 1 >= posix.size()) {
            if (std::isalpha((unsigned char)c))
                out += std::string("'") + c + "'";
            else
                out += c;
            continue;
        }
        char f = posix[++i];
        if (f == 'E' || f == 'O' || f == '-' || f == '_' || f == '0') {
            if (i + 1 >= posix.size())
                break;
            f = posix[++i];
        }
        switch (f) {
        case 'd': out += "dd"; break;
        case 'e': out += "d"; break;
        case 'm': out += "MM"; break;
        case 'Y': out += "yyyy"; break;
        case 'y': out += "yy"; break;
        case 'b':
        case 'h': out += "MMM"; break;
        case 'B': out += "MMMM"; break;
        case 'a': out += "ddd"; break;
        case 'A': out += "dddd"; break;
        case 'H': out += "hh"; break;
        case 'k': out += "h"; break;
        case 'I':
        case 'l': out += "h"; break;
        case 'M': out += "nn"; break;
        case 'S': out += "ss"; break;
        case 'p':
        case 'P': out += "AMPM"; break;
        case 'D': out += "MM/dd/yy"; break;
        case 'F': out += "yyyy-MM-dd"; break;
        case 'T': out += "hh:nn:ss"; break;
        case 'R': out += "hh:nn"; break;
        case 'r': out += "h:nn:ss AMPM"; break;
        case '%': out += '%'; break;
        default: break;
        }
    }
    return out;
}

TFormatSettings TFormatSettings::FromPosixLocale(const char* name)
{
    TFormatSettings fs;
    locale_t loc = newlocale(LC_TIME_MASK | LC_NUMERIC_MASK, name, locale_t(0));
    if (!loc)
        return fs;
    auto info = [&](nl_item item) { return std::string(nl_langinfo_l(item, loc)); };
    std::string dateFmt = PatternFromStrftime(info(D_FMT));
    std::string ampm = info(T_FMT_AMPM);
    std::string timeFmt = info(T_FMT);
    // Locales with a 12-hour clock give AM/PM texts.
    const bool twelve = !info(AM_STR).empty() && !ampm.empty();
    std::string longTime = PatternFromStrftime(twelve ? ampm : timeFmt);
    if (!dateFmt.empty())
        fs.ShortDateFormat = dateFmt;
    if (!longTime.empty()) {
        fs.LongTimeFormat = longTime;
        std::string shortTime = longTime;
        size_t s = shortTime.find(":ss");
        if (s != std::string::npos)
            shortTime.erase(s, 3);
        fs.ShortTimeFormat = shortTime;
    }
    for (char c : fs.ShortDateFormat)
        if (c == '/' || c == '.' || c == '-') {
            fs.DateSeparator = c;
            break;
        }
    // Separators in the patterns become the placeholders '/' and ':'.
    for (char& c : fs.ShortDateFormat)
        if (c == fs.DateSeparator)
            c = '/';
    for (char c : fs.LongTimeFormat)
        if (c == ':' || c == '.') {
            fs.TimeSeparator = c;
            break;
        }
    for (std::string* p : {&fs.LongTimeFormat, &fs.ShortTimeFormat})
        for (char& c : *p)
            if (c == fs.TimeSeparator)
                c = ':';
    if (twelve) {
        fs.TimeAMString = info(AM_STR);
        fs.TimePMString = info(PM_STR);
    }
    std::string radix = info(RADIXCHAR);
    if (radix.size() == 1)
        fs.DecimalSeparator = radix[0];
    for (int d = 0; d < 7; ++d) {
        fs.LongDayNames[d] = info(nl_item(DAY_1 + d));
        fs.ShortDayNames[d] = info(nl_item(ABDAY_1 + d));
    }
    for (int m = 0; m < 12; ++m) {
        fs.LongMonthNames[m] = info(nl_item(MON_1 + m));
        fs.ShortMonthNames[m] = info(nl_item(ABMON_1 + m));
    }
    freelocale(loc);
    return fs;
}

const TFormatSettings& TFormatSettings::System()
{
    static const TFormatSettings settings = FromPosixLocale("");
    return settings;
}
