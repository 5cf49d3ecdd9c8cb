#include "platform/linux/FileUtil.h"

#include "platform/Exceptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::linux_backend {

void RaiseErrno(int err, const std::string& path)
{
    uint32_t code;
    switch (err) {
    case ENOENT: code = kErrorFileNotFound; break;
    case EACCES:
    case EPERM:
    case EROFS: code = kErrorAccessDenied; break;
    default: code = 31; // a device attached to the system is not functioning
    }
    throw EOSError(code, "System Error.  Code: " + std::to_string(code) + ".\n" +
                             SysErrorMessage(code) + " (" + path + ": " + std::strerror(err) + ")");
}

namespace {
std::string DirName(const std::string& path)
{
    auto pos = path.find_last_of('/');
    if (pos == std::string::npos)
        return ".";
    return pos == 0 ? "/" : path.substr(0, pos);
}
} // namespace

void MakeDirs(const std::string& path, mode_t mode)
{
    if (path.empty())
        return;
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode))
            RaiseErrno(ENOTDIR, path);
        return;
    }
    std::string parent = DirName(path);
    if (parent != path)
        MakeDirs(parent, mode);
    if (mkdir(path.c_str(), mode) != 0 && errno != EEXIST)
        RaiseErrno(errno, path);
}

void WriteFileAtomic(const std::string& path, const std::string& content, mode_t mode)
{
    const std::string dir = DirName(path);
    MakeDirs(dir);
    std::string tmpl = path + ".tmp-XXXXXX";
    int fd = mkstemp(tmpl.data());
    if (fd < 0)
        RaiseErrno(errno, path);
    auto fail = [&](int err) {
        close(fd);
        unlink(tmpl.c_str());
        RaiseErrno(err, path);
    };
    if (fchmod(fd, mode) != 0)
        fail(errno);
    size_t done = 0;
    while (done < content.size()) {
        ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        done += size_t(n);
    }
    if (fsync(fd) != 0)
        fail(errno);
    if (close(fd) != 0) {
        int err = errno;
        unlink(tmpl.c_str());
        RaiseErrno(err, path);
    }
    if (rename(tmpl.c_str(), path.c_str()) != 0) {
        int err = errno;
        unlink(tmpl.c_str());
        RaiseErrno(err, path);
    }
    int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
}

bool ReadWholeFile(const std::string& path, std::string* content)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return false;
        RaiseErrno(errno, path);
    }
    content->clear();
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            close(fd);
            RaiseErrno(err, path);
        }
        if (n == 0)
            break;
        content->append(buf, size_t(n));
    }
    close(fd);
    return true;
}

bool RemoveFile(const std::string& path)
{
    if (unlink(path.c_str()) == 0)
        return true;
    if (errno == ENOENT)
        return false;
    RaiseErrno(errno, path);
}

std::string ConfigHome()
{
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/')
        return x;
    const char* home = std::getenv("HOME");
    std::string h = home && *home ? home : "";
    if (h.empty()) {
        if (passwd* pw = getpwuid(geteuid()))
            h = pw->pw_dir;
    }
    return h + "/.config";
}

} // namespace platform::linux_backend

namespace platform {

bool IsFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsFolder(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void WriteFileAtomic(const std::string& path, const std::string& content, unsigned mode)
{
    linux_backend::WriteFileAtomic(path, content, mode_t(mode));
}

bool RemoveFile(const std::string& path) { return linux_backend::RemoveFile(path); }

} // namespace platform
