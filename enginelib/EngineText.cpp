#include "enginelib/EngineText.h"

namespace vtengine {

std::u16string Utf16FromBytes(const std::string& bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        uint32_t cp = 0;
        int len = 0;
        if (c < 0x80) {
            cp = c;
            len = 1;
        } else if (c >= 0xC2 && c <= 0xDF) {
            cp = c & 0x1F;
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            cp = c & 0x0F;
            len = 3;
        } else if (c >= 0xF0 && c <= 0xF4) {
            cp = c & 0x07;
            len = 4;
        }
        bool ok = len > 0 && i + len <= n;
        for (int k = 1; ok && k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (ok && ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
                   (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))))
            ok = false;
        if (!ok) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
        i += len;
    }
    return out;
}

namespace {
void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

template <class Unpaired>
std::string Encode(const char16_t* text, size_t n, Unpaired unpaired)
{
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((uint32_t(c) - 0xD800) << 10) + (uint32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            unpaired(out, c);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}
} // namespace

std::string BytesFromUtf16(const char16_t* text)
{
    if (!text)
        return std::string();
    size_t n = 0;
    while (text[n])
        ++n;
    return Encode(text, n, [](std::string& out, char16_t c) {
        if (c >= 0xDC80 && c <= 0xDCFF)
            out.push_back(char(c - 0xDC00));
        else
            AppendUtf8(out, 0xFFFD);
    });
}

std::string Utf8FromUtf16(const std::u16string& text)
{
    return Encode(text.data(), text.size(), [](std::string& out, char16_t) { AppendUtf8(out, 0xFFFD); });
}

std::string Utf8FromUtf16(const char16_t* text) { return text ? Utf8FromUtf16(std::u16string(text)) : std::string(); }

std::u16string FormatMessage(const char16_t* pattern, const std::vector<MessageArg>& args)
{
    std::u16string out;
    if (!pattern)
        return out;
    size_t next = 0;
    for (const char16_t* p = pattern; *p; ++p) {
        if (*p != u'%') {
            out.push_back(*p);
            continue;
        }
        const char16_t* spec = p + 1;
        if (*spec == u'%') {
            out.push_back(u'%');
            p = spec;
            continue;
        }
        bool wide = false;
        if (spec[0] == u'I' && spec[1] == u'6' && spec[2] == u'4') {
            wide = true;
            spec += 3;
        }
        (void)wide;
        if ((*spec != u's' && *spec != u'd' && *spec != u'u') || next >= args.size()) {
            out.push_back(u'%');
            continue;
        }
        const MessageArg& a = args[next++];
        if (const auto* text = std::get_if<std::u16string>(&a)) {
            out += *text;
        } else {
            std::string digits = std::holds_alternative<int64_t>(a) ? std::to_string(std::get<int64_t>(a))
                                                                    : std::to_string(std::get<uint64_t>(a));
            out.append(digits.begin(), digits.end());
        }
        p = spec;
    }
    return out;
}

} // namespace vtengine
