// Named shared memory over POSIX shm objects, one per user ("/<name>.<uid>").
// The creator keeps a shared lock on its descriptor for as long as it holds
// the object; an object nobody holds locked is a leftover of a process that
// ended, so Open ignores it, and the next Create takes it over. A creator
// that closes the last hold removes the object.

#include "platform/SharedMemory.h"

#include <cerrno>
#include <map>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::string ObjectName(const std::string& name)
{
    std::string safe;
    for (char c : name)
        safe += c == '/' ? '_' : c;
    return "/" + safe + "." + std::to_string(getuid());
}

// True when some process holds the object open as its creator.
bool HeldByItsCreator(int fd)
{
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        flock(fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

class PosixSharedMemory : public ISharedMemory {
public:
    std::optional<MappingHandle> Create(const std::string& name, size_t size) override
    {
        int fd = shm_open(ObjectName(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            return std::nullopt;
        struct stat st {};
        if (fstat(fd, &st) != 0 || st.st_uid != getuid() ||
            (size_t(st.st_size) < size && ftruncate(fd, off_t(size)) != 0)) {
            close(fd);
            return std::nullopt;
        }
        // A reader testing the lock holds it exclusively for a moment.
        for (int attempt = 0; flock(fd, LOCK_SH | LOCK_NB) != 0; ++attempt) {
            if (attempt == 50) {
                close(fd);
                return std::nullopt;
            }
            usleep(1000);
        }
        created_[fd] = ObjectName(name);
        return fd;
    }

    std::optional<MappingHandle> Open(const std::string& name) override
    {
        int fd = shm_open(ObjectName(name).c_str(), O_RDONLY | O_CLOEXEC, 0);
        if (fd < 0)
            return std::nullopt;
        struct stat st {};
        if (fstat(fd, &st) != 0 || st.st_uid != getuid() || !HeldByItsCreator(fd)) {
            close(fd);
            return std::nullopt;
        }
        return fd;
    }

    std::optional<std::vector<uint8_t>> Read(MappingHandle handle, size_t size) override
    {
        struct stat st {};
        if (fstat(int(handle), &st) != 0 || size_t(st.st_size) < size)
            return std::nullopt;
        void* p = mmap(nullptr, size, PROT_READ, MAP_SHARED, int(handle), 0);
        if (p == MAP_FAILED)
            return std::nullopt;
        std::vector<uint8_t> bytes(static_cast<uint8_t*>(p), static_cast<uint8_t*>(p) + size);
        munmap(p, size);
        return bytes;
    }

    bool Write(MappingHandle handle, const std::vector<uint8_t>& bytes) override
    {
        if (bytes.empty())
            return true;
        void* p = mmap(nullptr, bytes.size(), PROT_READ | PROT_WRITE, MAP_SHARED, int(handle), 0);
        if (p == MAP_FAILED)
            return false;
        std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(p));
        munmap(p, bytes.size());
        return true;
    }

    void Close(MappingHandle handle) override
    {
        const int fd = int(handle);
        auto it = created_.find(fd);
        if (it != created_.end()) {
            // No other creator holds it: nobody needs the object any more.
            if (flock(fd, LOCK_EX | LOCK_NB) == 0)
                shm_unlink(it->second.c_str());
            created_.erase(it);
        }
        close(fd);
    }

private:
    std::map<int, std::string> created_;
};

} // namespace

ISharedMemory& DefaultSharedMemory()
{
    static PosixSharedMemory memory;
    return memory;
}

} // namespace platform
