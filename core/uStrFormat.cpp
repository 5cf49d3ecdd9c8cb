#include "core/uStrFormat.h"

#include <cstdio>

std::string Format(const std::string& pattern, const std::vector<TFormatArg>& args, const TFormatSettings& fs)
{
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%') {
            out.push_back(c);
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            out.push_back('%');
            ++i;
            continue;
        }
        // %[-][width][.precision]type
        size_t j = i + 1;
        bool left = false;
        if (j < pattern.size() && pattern[j] == '-') {
            left = true;
            ++j;
        }
        int width = 0;
        while (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j])))
            width = width * 10 + (pattern[j++] - '0');
        int precision = -1;
        if (j < pattern.size() && pattern[j] == '.') {
            precision = 0;
            ++j;
            while (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j])))
                precision = precision * 10 + (pattern[j++] - '0');
        }
        if (j >= pattern.size() || next >= args.size()) {
            out.push_back('%');
            continue;
        }
        const char type = pattern[j];
        const TFormatArg& a = args[next];
        std::string text;
        if ((type == 'd' || type == 'u') && !std::holds_alternative<double>(a) && !std::holds_alternative<std::string>(a)) {
            if (const auto* s = std::get_if<int64_t>(&a))
                text = type == 'u' ? std::to_string(uint64_t(*s)) : std::to_string(*s);
            else
                text = type == 'd' ? std::to_string(int64_t(std::get<uint64_t>(a))) : std::to_string(std::get<uint64_t>(a));
        } else if (type == 'f' && std::holds_alternative<double>(a)) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.*f", precision < 0 ? 2 : precision, std::get<double>(a));
            text = buf;
            for (char& ch : text)
                if (ch == '.')
                    ch = fs.DecimalSeparator;
        } else if (type == 's' && std::holds_alternative<std::string>(a)) {
            text = std::get<std::string>(a);
            if (precision >= 0 && text.size() > size_t(precision))
                text.resize(size_t(precision));
        } else {
            out.push_back('%');
            continue;
        }
        ++next;
        if (int(text.size()) < width)
            text = left ? text + std::string(width - text.size(), ' ') : std::string(width - text.size(), ' ') + text;
        out += text;
        i = j;
    }
    return out;
}
