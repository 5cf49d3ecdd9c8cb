#include "app/uSingleRun.h"

#include "core/uOSInfo.h"
#include "platform/Exceptions.h"
#include "platform/SharedMemory.h"
#include "platform/Windows.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

TSingleRun* SingleRun = nullptr;

namespace {
constexpr size_t kPublicationSize = 8;

uint32_t Get32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}
} // namespace

std::string ShowSignalPath(const std::string& tempDir, const std::string& title)
{
    return tempDir + "show" + title + ".dat";
}

void WriteShowSignal(const std::string& tempDir, const std::string& title)
{
    const std::string path = ShowSignalPath(tempDir, title);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        throw EInOutError(errno, path);
    close(fd);
}

TSingleRun::TSingleRun(const std::string& name) : name_(name) {}

TSingleRun::~TSingleRun() { UnregisterInstance(); }

bool TSingleRun::ActivateRunningInstance()
{
    platform::ISharedMemory& memory = platform::SharedMemory();
    auto handle = memory.Open(name_);
    if (!handle)
        return false;
    struct Closer {
        platform::ISharedMemory& memory;
        platform::MappingHandle handle;
        ~Closer() { memory.Close(handle); }
    } closer{memory, *handle};
    auto bytes = memory.Read(*handle, kPublicationSize);
    if (!bytes)
        return false;
    const platform::WindowHandle appWindow = Get32(*bytes, 0), mainWindow = Get32(*bytes, 4);
    platform::IWindows& windows = platform::Windows();
    if (!windows.IsWindow(appWindow) || !windows.IsWindow(mainWindow))
        return false;
    if (windows.IsIconic(appWindow))
        windows.ShowNormal(appWindow);
    if (windows.IsIconic(mainWindow))
        windows.ShowNormal(mainWindow);
    windows.SetForeground(mainWindow);
    // A window hidden in the notification area is brought back by the
    // running instance itself when it finds this signal.
    WriteShowSignal(GetSysFolder(kSysFolderTemp), "Vantorel");
    return true;
}

void TSingleRun::RegisterInstance(uint64_t mainWindow)
{
    if (registered_)
        return;
    platform::ISharedMemory& memory = platform::SharedMemory();
    auto handle = memory.Create(name_, kPublicationSize);
    if (!handle)
        return;
    mapping_ = *handle;
    // The toolkit has no separate application window: the main window
    // stands in at both places.
    std::vector<uint8_t> bytes(kPublicationSize);
    Put32(bytes, 0, uint32_t(mainWindow));
    Put32(bytes, 4, uint32_t(mainWindow));
    if (!memory.Write(*handle, bytes)) {
        UnregisterInstance();
        return;
    }
    registered_ = true;
}

void TSingleRun::UnregisterInstance()
{
    if (!mapping_)
        return;
    platform::SharedMemory().Close(mapping_);
    mapping_ = 0;
    registered_ = false;
}
