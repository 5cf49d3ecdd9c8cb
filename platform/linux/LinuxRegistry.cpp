#include "platform/linux/LinuxRegistry.h"

#include "platform/Exceptions.h"
#include "platform/RegFile.h"
#include "platform/TextUtil.h"
#include "platform/Files.h"
#include "platform/linux/FileUtil.h"

#include <cerrno>
#include <dirent.h>

namespace platform {

namespace linux_backend {
namespace {

const char* HiveName(Hive hive)
{
    return hive == Hive::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A key of a hive file. The file is read when the key is opened; a change
// writes the whole hive back and only then updates the copy in memory.
class FileKey : public IRegKey {
public:
    FileKey(Hive hive, std::string file, RegFileContents contents, std::string path, bool writable)
        : hive_(hive), file_(std::move(file)), contents_(std::move(contents)),
          path_(std::move(path)), writable_(writable)
    {
    }

    std::optional<RegValue> QueryValue(const std::string& name) override
    {
        if (RegFileKey* k = contents_.Find(path_))
            for (const auto& [n, v] : k->values)
                if (SameTextAscii(n, name))
                    return v;
        return std::nullopt;
    }

    void SetValue(const std::string& name, const RegValue& value) override
    {
        RequireWritable();
        RegFileContents next = contents_;
        RegFileKey* k = Key(next);
        bool replaced = false;
        for (auto& [n, v] : k->values)
            if (SameTextAscii(n, name)) {
                v = value;
                replaced = true;
            }
        if (!replaced)
            k->values.emplace_back(name, value);
        Store(next);
    }

    bool DeleteValue(const std::string& name) override
    {
        RequireWritable();
        RegFileContents next = contents_;
        RegFileKey* k = next.Find(path_);
        if (!k)
            return false;
        auto before = k->values.size();
        std::erase_if(k->values, [&](const auto& nv) { return SameTextAscii(nv.first, name); });
        if (k->values.size() == before)
            return false;
        Store(next);
        return true;
    }

    std::vector<std::string> ValueNames() override
    {
        std::vector<std::string> names;
        if (RegFileKey* k = contents_.Find(path_))
            for (const auto& nv : k->values)
                names.push_back(nv.first);
        return names;
    }

private:
    void RequireWritable() const
    {
        if (!writable_)
            RaiseLastOSError(kErrorAccessDenied);
    }

    RegFileKey* Key(RegFileContents& c)
    {
        if (RegFileKey* k = c.Find(path_))
            return k;
        c.keys.push_back({path_, {}});
        return &c.keys.back();
    }

    void Store(RegFileContents& next)
    {
        Key(next);
        WriteFileAtomic(file_, FormatRegFile(next, HiveName(hive_)));
        contents_ = std::move(next);
    }

    Hive hive_;
    std::string file_;
    RegFileContents contents_;
    std::string path_;
    bool writable_;
};

std::string DesktopEscape(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string DesktopUnescape(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char c = s[++i];
            out += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c == 's' ? ' ' : c;
        } else {
            out += s[i];
        }
    }
    return out;
}

// File name of the autostart entry for a value name: bytes outside a safe
// set become '_', so that no name can leave the folder.
std::string EntryFileName(const std::string& name)
{
    std::string out;
    for (unsigned char c : name)
        out += (std::isalnum(c) || c == '-' || c == '_' || c == '.') && c < 0x80 ? char(c) : '_';
    if (out.empty() || out[0] == '.')
        out = "_" + out;
    return out + ".desktop";
}

class AutostartKey : public IRegKey {
public:
    std::optional<RegValue> QueryValue(const std::string& name) override
    {
        std::string text;
        if (!ReadWholeFile(AutostartFile(name), &text))
            return std::nullopt;
        std::string exec;
        for (const std::string& line : SplitLines(text)) {
            if (line.rfind("X-Vantorel-Value=", 0) == 0)
                return RegValue::String(DesktopUnescape(line.substr(17)));
            if (line.rfind("Exec=", 0) == 0)
                exec = DesktopUnescape(line.substr(5));
        }
        return RegValue::String(exec);
    }

    void SetValue(const std::string& name, const RegValue& value) override
    {
        if (value.type != RegType::Sz && value.type != RegType::ExpandSz)
            RaiseLastOSError(kErrorInvalidParameter);
        std::string command(value.data.begin(), value.data.end());
        command = command.substr(0, command.find('\0'));
        std::string entry = "[Desktop Entry]\n"
                            "Type=Application\n"
                            "Name=" + DesktopEscape(name) + "\n"
                            "Exec=" + DesktopEscape(DesktopExecLine(command)) + "\n"
                            "X-Vantorel-Value=" + DesktopEscape(command) + "\n"
                            "X-GNOME-Autostart-enabled=true\n"
                            "Terminal=false\n";
        WriteFileAtomic(AutostartFile(name), entry, 0644);
    }

    bool DeleteValue(const std::string& name) override { return RemoveFile(AutostartFile(name)); }

    std::vector<std::string> ValueNames() override
    {
        std::vector<std::string> names;
        if (DIR* d = opendir(LinuxRegistry::AutostartDir().c_str())) {
            while (dirent* e = readdir(d)) {
                std::string n = e->d_name;
                if (n.size() > 8 && n.ends_with(".desktop"))
                    names.push_back(n.substr(0, n.size() - 8));
            }
            closedir(d);
        }
        return names;
    }

private:
    static std::string AutostartFile(const std::string& name)
    {
        return LinuxRegistry::AutostartDir() + "/" + EntryFileName(name);
    }
};

std::string ExecQuote(const std::string& arg)
{
    if (!arg.empty() && arg.find_first_of(" \t\n\"'\\><~|&;$*?#()`") == std::string::npos)
        return arg;
    std::string out = "\"";
    for (char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

} // namespace

std::string DesktopExecLine(const std::string& commandLine)
{
    // The program is the longest leading part, ending at a blank, that names
    // an existing file (paths may contain blanks); else the first word.
    size_t progEnd = commandLine.find(' ');
    for (size_t i = commandLine.size(); i > 0; --i) {
        if ((i == commandLine.size() || commandLine[i] == ' ') &&
            IsFile(commandLine.substr(0, i))) {
            progEnd = i;
            break;
        }
    }
    std::string program = commandLine.substr(0, progEnd);
    std::string line = ExecQuote(program);
    if (progEnd != std::string::npos)
        for (const std::string& arg : SplitWords(commandLine.substr(progEnd)))
            line += " " + ExecQuote(arg);
    // '%' introduces field codes in Exec lines.
    std::string out;
    for (char c : line)
        out += c == '%' ? std::string("%%") : std::string(1, c);
    return out;
}

std::string LinuxRegistry::HiveFile(Hive hive)
{
    if (hive == Hive::LocalMachine)
        return "/etc/vantorel/HKEY_LOCAL_MACHINE.reg";
    return ConfigHome() + "/vantorel/HKEY_CURRENT_USER.reg";
}

std::string LinuxRegistry::AutostartDir() { return ConfigHome() + "/autostart"; }

std::unique_ptr<IRegKey> LinuxRegistry::OpenKey(Hive hive, const std::string& path,
                                                RegAccess access, bool create)
{
    const std::string norm = NormalizeKeyPath(path);
    const bool write = access == RegAccess::ReadWrite;
    if (hive == Hive::LocalMachine && write)
        return nullptr; // the machine hive is read only
    if (hive == Hive::CurrentUser && SameTextAscii(norm, kRunKey))
        return std::make_unique<AutostartKey>();

    const std::string file = HiveFile(hive);
    std::string text;
    bool exists;
    try {
        exists = ReadWholeFile(file, &text);
    } catch (const EOSError&) {
        return nullptr; // unreadable: the key cannot be opened
    }
    RegFileContents contents;
    if (exists)
        contents = ParseRegFile(text, HiveName(hive), file);
    if (!contents.KeyExists(norm) && !create)
        return nullptr;
    // A created key is stored together with its first value.
    return std::make_unique<FileKey>(hive, file, std::move(contents), norm, write);
}

} // namespace linux_backend

IRegistry& DefaultRegistry()
{
    static linux_backend::LinuxRegistry registry;
    return registry;
}

} // namespace platform
