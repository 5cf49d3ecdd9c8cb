#include "platform/RegFile.h"

#include "platform/Exceptions.h"

#include <cstdio>

namespace platform {

RegFileKey* RegFileContents::Find(const std::string& path)
{
    for (auto& k : keys)
        if (SameTextAscii(k.path, path))
            return &k;
    return nullptr;
}

bool RegFileContents::KeyExists(const std::string& path) const
{
    for (const auto& k : keys) {
        if (SameTextAscii(k.path, path))
            return true;
        if (k.path.size() > path.size() && k.path[path.size()] == '\\' &&
            SameTextAscii(k.path.substr(0, path.size()), path))
            return true;
    }
    return false;
}

namespace {

bool IsPlainUtf8(const std::vector<uint8_t>& s)
{
    for (size_t i = 0; i < s.size();) {
        uint8_t c = s[i];
        if (c < 0x20 || c == 0x7F)
            return false;
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (size_t j = 1; j < n; ++j)
            if ((s[i + j] & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

std::string Quote(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Hex(const std::vector<uint8_t>& bytes)
{
    std::string out;
    char buf[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", bytes[i]);
        if (i)
            out += ',';
        out += buf;
    }
    return out;
}

struct Parser {
    const std::string& fileName;
    int line = 0;

    [[noreturn]] void Fail(const std::string& why) const
    {
        throw EOSError(kErrorBadRegistryFile,
                       "The settings file '" + fileName + "' is damaged at line " +
                           std::to_string(line) + ": " + why +
                           ". It was left unchanged; repair or remove it.");
    }

    // A quoted text starting at s[pos]; pos ends after the closing quote.
    std::string QuotedText(const std::string& s, size_t& pos) const
    {
        if (pos >= s.size() || s[pos] != '"')
            Fail("a quoted text was expected");
        std::string out;
        for (++pos; pos < s.size(); ++pos) {
            char c = s[pos];
            if (c == '\\') {
                if (++pos >= s.size())
                    break;
                out += s[pos];
            } else if (c == '"') {
                ++pos;
                return out;
            } else {
                out += c;
            }
        }
        Fail("a quoted text is not closed");
    }

    std::vector<uint8_t> HexBytes(const std::string& s) const
    {
        std::vector<uint8_t> out;
        size_t i = 0;
        auto skip = [&] { while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i; };
        skip();
        while (i < s.size()) {
            auto digit = [&](char c) -> int {
                if (c >= '0' && c <= '9') return c - '0';
                if (c >= 'a' && c <= 'f') return c - 'a' + 10;
                if (c >= 'A' && c <= 'F') return c - 'A' + 10;
                Fail("bad hexadecimal byte");
            };
            if (i + 1 >= s.size())
                Fail("bad hexadecimal byte");
            out.push_back(uint8_t(digit(s[i]) * 16 + digit(s[i + 1])));
            i += 2;
            skip();
            if (i < s.size()) {
                if (s[i] != ',')
                    Fail("bytes must be separated by commas");
                ++i;
                skip();
            }
        }
        return out;
    }

    RegValue Value(const std::string& s) const
    {
        if (!s.empty() && s[0] == '"') {
            size_t pos = 0;
            std::string text = QuotedText(s, pos);
            if (pos != s.size())
                Fail("unexpected text after a string");
            return RegValue::String(text);
        }
        if (s.rfind("dword:", 0) == 0) {
            std::string digits = s.substr(6);
            if (digits.empty() || digits.size() > 8 ||
                digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                Fail("bad dword value");
            return RegValue::Dword(uint32_t(std::stoul(digits, nullptr, 16)));
        }
        if (s.rfind("hex:", 0) == 0)
            return RegValue::Binary(HexBytes(s.substr(4)));
        if (s.rfind("hex(", 0) == 0) {
            size_t close = s.find("):");
            if (close == std::string::npos)
                Fail("bad value type");
            std::string t = s.substr(4, close - 4);
            if (t.empty() || t.size() > 8 ||
                t.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                Fail("bad value type");
            return RegValue{RegType(std::stoul(t, nullptr, 16)), HexBytes(s.substr(close + 2))};
        }
        Fail("unknown value form");
    }
};

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

} // namespace

RegFileContents ParseRegFile(const std::string& text, const std::string& hiveName,
                             const std::string& fileName)
{
    Parser p{fileName};
    RegFileContents out;
    RegFileKey* current = nullptr;
    bool header = false;
    size_t pos = 0;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        pos = 3;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        ++p.line;
        const int firstLine = p.line;
        // A trailing backslash continues a hex list on the next line.
        while (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos &&
               pos < text.size()) {
            line.pop_back();
            end = text.find('\n', pos);
            if (end == std::string::npos)
                end = text.size();
            line += Trim(text.substr(pos, end - pos));
            pos = end + 1;
            ++p.line;
        }
        if (line.empty() || line[0] == ';')
            continue;
        if (!header) {
            if (line != "Windows Registry Editor Version 5.00" && line != "REGEDIT4")
                p.Fail("the header line is missing");
            header = true;
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']')
                p.Fail("a key line must end with ']'");
            std::string full = line.substr(1, line.size() - 2);
            if (!full.empty() && full[0] == '-')
                p.Fail("key deletions are not supported");
            std::string norm = NormalizeKeyPath(full);
            std::string head = norm.substr(0, norm.find('\\'));
            if (!SameTextAscii(head, hiveName))
                p.Fail("the key does not belong to " + hiveName);
            std::string path = head.size() < norm.size() ? norm.substr(head.size() + 1) : "";
            current = out.Find(path);
            if (!current) {
                out.keys.push_back({path, {}});
                current = &out.keys.back();
            }
            continue;
        }
        if (!current)
            p.Fail("a value appears before any key");
        std::string name;
        size_t at = 0;
        if (line[0] == '@') {
            at = 1;
        } else {
            name = p.QuotedText(line, at);
        }
        if (at >= line.size() || line[at] != '=')
            p.Fail("'=' was expected after the value name");
        const int lastLine = p.line;
        p.line = firstLine;
        RegValue value = p.Value(Trim(line.substr(at + 1)));
        p.line = lastLine;
        bool replaced = false;
        for (auto& [n, v] : current->values)
            if (SameTextAscii(n, name)) {
                v = value;
                replaced = true;
            }
        if (!replaced)
            current->values.emplace_back(name, value);
    }
    return out;
}

std::string FormatRegFile(const RegFileContents& contents, const std::string& hiveName)
{
    std::string out = "Windows Registry Editor Version 5.00\n";
    for (const auto& key : contents.keys) {
        out += "\n[" + hiveName + (key.path.empty() ? "" : "\\" + key.path) + "]\n";
        for (const auto& [name, v] : key.values) {
            out += name.empty() ? "@" : Quote(name);
            out += '=';
            char buf[16];
            switch (v.type) {
            case RegType::Sz:
                if (IsPlainUtf8(v.data)) {
                    out += Quote(std::string(v.data.begin(), v.data.end()));
                    break;
                }
                out += "hex(1):" + Hex(v.data);
                break;
            case RegType::Dword:
                if (v.data.size() == 4) {
                    uint32_t x = uint32_t(v.data[0]) | uint32_t(v.data[1]) << 8 |
                                 uint32_t(v.data[2]) << 16 | uint32_t(v.data[3]) << 24;
                    std::snprintf(buf, sizeof buf, "dword:%08x", x);
                    out += buf;
                    break;
                }
                out += "hex(4):" + Hex(v.data);
                break;
            case RegType::Binary: out += "hex:" + Hex(v.data); break;
            default:
                std::snprintf(buf, sizeof buf, "hex(%x):", unsigned(v.type));
                out += buf + Hex(v.data);
            }
            out += '\n';
        }
    }
    return out;
}

} // namespace platform
