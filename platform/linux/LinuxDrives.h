#pragma once
// The Linux drive services, from the mount table (/proc/self/mountinfo),
// sysfs and statvfs. Exposed for tests of the mount-table rules.

#include "platform/Drives.h"

#include <string>
#include <vector>

namespace platform::linux_backend {

struct MountEntry {
    unsigned major = 0, minor = 0;
    std::string root;       // the mounted folder of the file system
    std::string mountPoint; // unescaped
    std::string fsType;
    std::string source;
};

std::vector<MountEntry> ParseMountInfo(const std::string& text);
// Roots in listing order ("/" first, then by path), one per device.
std::vector<MountEntry> ListedMounts(std::vector<MountEntry> entries);
// Drive kind from the file-system type and, for block devices, sysfs.
uint32_t DriveTypeOf(const MountEntry& e, const std::string& sysfsRoot = "/sys");
// "Root (/)", "home (/home)", or "LABEL (/data)".
std::string DisplayNameOf(const std::string& mountPoint, const std::string& label);

} // namespace platform::linux_backend
