#include "core/uDebugLog.h"

#include "platform/SystemInfo.h"

#include <cerrno>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

namespace {
std::mutex gFolderLock;
std::string gFolder;
} // namespace

void SetDebugLogFolder(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(gFolderLock);
    gFolder = folder.empty() ? folder : platform::IncludeTrailingPathDelimiter(folder);
}

std::string DebugLogPath()
{
    std::lock_guard<std::mutex> lock(gFolderLock);
    if (gFolder.empty()) {
        const std::string exe = platform::System().ExecutablePath();
        const size_t slash = exe.rfind(platform::kPathDelim);
        gFolder = slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
    }
    return gFolder + "debug.log";
}

void WriteDebugLog(const std::string& pattern, const std::vector<TFormatArg>& args, const TFormatSettings& fs)
{
    const std::string text = args.empty() ? pattern : Format(pattern, args, fs);
    const std::string line = FormatDateTime("hh:nn:ss:zzz", Now(), fs) + " " + text + "\r\n";
    const std::string path = DebugLogPath();
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        RaiseLastOSError(uint32_t(errno));
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = errno;
            close(fd);
            RaiseLastOSError(uint32_t(err));
        }
        done += size_t(n);
    }
    close(fd);
}

void DeleteDebugLog() { unlink(DebugLogPath().c_str()); }
