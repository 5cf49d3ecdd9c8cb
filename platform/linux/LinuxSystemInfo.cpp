// System facts on Linux. The platform reports the NT family (a multi-user
// system with access tokens); the native architecture comes from the kernel's
// machine name, which a 32-bit process on a 64-bit kernel sees as the 64-bit one.

#include "platform/SystemInfo.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace platform {
namespace {

// A folder of our own, mode 0700, owned by us and not a symbolic link.
bool IsPrivateDir(const std::string& path)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid())
        return false;
    if ((st.st_mode & 077) != 0 && chmod(path.c_str(), 0700) != 0)
        return false;
    return true;
}

// The per-user temporary folder: <TMPDIR or /tmp>/vantorel-<uid>. The
// program creates and trusts files there, so a folder of that name that is
// not ours is never used; a fresh private one is made instead.
std::string PrivateTempDir()
{
    const char* env = std::getenv("TMPDIR");
    std::string base = env && *env == '/' ? env : "/tmp";
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    std::string dir = base + "/vantorel-" + std::to_string(geteuid());
    if (mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST) {
        if (IsPrivateDir(dir))
            return dir;
    }
    static std::string fallback;
    if (fallback.empty()) {
        std::string tmpl = dir + "-XXXXXX";
        if (mkdtemp(tmpl.data()))
            fallback = tmpl;
    }
    return fallback;
}

class LinuxSystemInfo : public ISystemInfo {
public:
    uint32_t PlatformId() override { return kPlatformWin32Nt; }

    std::optional<uint16_t> NativeProcessorArchitecture() override
    {
        utsname u;
        if (uname(&u) != 0)
            return std::nullopt;
        return ArchitectureFromMachineName(u.machine);
    }

    uint16_t ProcessorArchitecture() override { return BuildArchitecture(); }

    std::string ShellSpecialFolder(int csidl) override
    {
        if (csidl == kCsidlWindows)
            return "/usr/";
        if (csidl == kCsidlSystem)
            return "/usr/lib/";
        return "";
    }

    std::string TempPath() override
    {
        std::string dir = PrivateTempDir();
        return dir.empty() ? "" : IncludeTrailingPathDelimiter(dir);
    }

    std::string WindowsDirectory() override { return "/usr/"; }
    std::string SystemDirectory() override { return "/usr/lib/"; }

    // Software of other makers goes below /opt, or below /usr/local when the
    // administrator installs it by hand.
    std::vector<std::string> ProgramFilesFolders() override { return {"/opt/", "/usr/local/"}; }

    std::string ExecutablePath() override
    {
        char buf[PATH_MAX];
        ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        if (n <= 0)
            return "";
        return std::string(buf, size_t(n));
    }
};

} // namespace

ISystemInfo& DefaultSystem()
{
    static LinuxSystemInfo system;
    return system;
}

} // namespace platform
