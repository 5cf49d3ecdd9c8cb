#pragma once
// Drives: the roots of mounted file systems, their kinds, names and space,
// modelled on the Windows drive calls. On Linux a root is a mount point
// ending with '/'. One installed instance (Drives()); tests install their own.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

constexpr uint32_t kDriveUnknown = 0;
constexpr uint32_t kDriveNoRootDir = 1;
constexpr uint32_t kDriveRemovable = 2;
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kDriveRemote = 4;
constexpr uint32_t kDriveCdrom = 5;
constexpr uint32_t kDriveRamdisk = 6;

constexpr uint32_t kSemNoOpenFileErrorBox = 0x8000;

// A system image list: icon names (freedesktop names such as
// "drive-harddisk") by icon index, at one pixel size.
struct SystemImageList {
    int size = 0;
    std::vector<std::string> iconNames;
};

class IDrives {
public:
    virtual ~IDrives() = default;
    // Every root, in a stable order.
    virtual std::vector<std::string> LogicalDriveStrings() = 0;
    virtual uint32_t GetDriveType(const std::string& root) = 0;
    // The shell's display name and icon index; false when unknown.
    virtual bool GetFileInfo(const std::string& root, std::string* displayName, int* iconIndex) = 0;
    virtual bool GetVolumeInformation(const std::string& root, std::string* label,
                                      std::string* fileSystem) = 0;
    virtual bool GetDiskFreeSpaceEx(const std::string& root, uint64_t* freeAvailable,
                                    uint64_t* total, uint64_t* totalFree) = 0;
    // Returns the previous mode.
    virtual uint32_t SetErrorMode(uint32_t mode) = 0;
    // Size class 0: 32 x 32, 2: 48 x 48; nullptr when there is none.
    virtual const SystemImageList* GetSystemImageList(int sizeClass) = 0;
};

IDrives& Drives();
void SetDrives(IDrives* drives);

} // namespace platform
