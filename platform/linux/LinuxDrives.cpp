#include "platform/linux/LinuxDrives.h"

#include "platform/TextUtil.h"
#include "platform/linux/FileUtil.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform {
namespace linux_backend {
namespace {

// mountinfo escapes blanks, tabs, newlines and backslashes as \ooo.
std::string Unescape(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() + 0 && std::isdigit((unsigned char)s[i + 1]) &&
            std::isdigit((unsigned char)s[i + 2]) && std::isdigit((unsigned char)s[i + 3])) {
            out += char((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

bool ReadSmallFile(const std::string& path, std::string* out)
{
    try {
        return ReadWholeFile(path, out);
    } catch (...) {
        return false;
    }
}

std::string TrimNewline(std::string s)
{
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s;
}

const std::set<std::string> kPseudo = {
    "proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "securityfs", "debugfs",
    "tracefs", "pstore", "bpf", "configfs", "fusectl", "mqueue", "hugetlbfs", "autofs",
    "binfmt_misc", "efivarfs", "overlay", "aufs", "nsfs", "rpc_pipefs", "selinuxfs",
    "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs"};
const std::set<std::string> kRemote = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs",
                                       "ceph", "glusterfs", "fuse.sshfs", "fuse.rclone", "9p",
                                       "fuse.glusterfs", "davfs", "fuse.davfs2", "lustre"};
const std::set<std::string> kOptical = {"iso9660", "udf"};
const std::set<std::string> kRam = {"tmpfs", "ramfs"};

// The ext2/3/4 volume label from the superblock; empty when none.
std::string ExtLabel(const std::string& device)
{
    int fd = open(device.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return "";
    unsigned char sb[256];
    ssize_t n = pread(fd, sb, sizeof sb, 1024);
    close(fd);
    if (n != ssize_t(sizeof sb) || sb[56] != 0x53 || sb[57] != 0xEF)
        return "";
    return std::string(reinterpret_cast<char*>(sb + 120), strnlen(reinterpret_cast<char*>(sb + 120), 16));
}

// The label udev publishes under /dev/disk/by-label, else the superblock's.
std::string VolumeLabel(const MountEntry& e)
{
    if (DIR* d = opendir("/dev/disk/by-label")) {
        struct stat src;
        bool haveSrc = stat(e.source.c_str(), &src) == 0 && S_ISBLK(src.st_mode);
        while (dirent* ent = readdir(d)) {
            if (ent->d_name[0] == '.')
                continue;
            struct stat st;
            std::string path = std::string("/dev/disk/by-label/") + ent->d_name;
            if (haveSrc && stat(path.c_str(), &st) == 0 && st.st_rdev == src.st_rdev) {
                closedir(d);
                return Unescape(ent->d_name); // udev writes \x20 style; good enough for digits
            }
        }
        closedir(d);
    }
    if (e.fsType.rfind("ext", 0) == 0)
        return ExtLabel(e.source);
    return "";
}

class LinuxDrives : public IDrives {
public:
    std::vector<std::string> LogicalDriveStrings() override
    {
        std::vector<std::string> roots;
        for (const auto& e : Mounts())
            roots.push_back(e.mountPoint == "/" ? "/" : e.mountPoint + "/");
        return roots;
    }

    uint32_t GetDriveType(const std::string& root) override
    {
        const MountEntry* e = Find(root);
        return e ? DriveTypeOf(*e) : kDriveNoRootDir;
    }

    bool GetFileInfo(const std::string& root, std::string* displayName, int* iconIndex) override
    {
        const MountEntry* e = Find(root);
        if (!e)
            return false;
        *displayName = DisplayNameOf(e->mountPoint, VolumeLabel(*e));
        uint32_t type = DriveTypeOf(*e);
        *iconIndex = type == kDriveRemovable ? 1 : type == kDriveCdrom ? 2 : type == kDriveRemote ? 3 : 0;
        return true;
    }

    bool GetVolumeInformation(const std::string& root, std::string* label,
                              std::string* fileSystem) override
    {
        const MountEntry* e = Find(root);
        if (!e)
            return false;
        *label = VolumeLabel(*e);
        *fileSystem = e->fsType;
        return true;
    }

    bool GetDiskFreeSpaceEx(const std::string& root, uint64_t* freeAvailable, uint64_t* total,
                            uint64_t* totalFree) override
    {
        struct statvfs st;
        if (statvfs(root.c_str(), &st) != 0)
            return false;
        *total = uint64_t(st.f_blocks) * st.f_frsize;
        *freeAvailable = uint64_t(st.f_bavail) * st.f_frsize;
        *totalFree = uint64_t(st.f_bfree) * st.f_frsize;
        return true;
    }

    // Linux shows no system dialogs for drives that do not answer; the mode
    // is kept so that callers can restore it.
    uint32_t SetErrorMode(uint32_t mode) override
    {
        uint32_t old = errorMode_;
        errorMode_ = mode;
        return old;
    }

    const SystemImageList* GetSystemImageList(int sizeClass) override
    {
        static const std::vector<std::string> names = {"drive-harddisk", "drive-removable-media",
                                                       "drive-optical", "folder-remote"};
        static const SystemImageList large{32, names}, extraLarge{48, names};
        return sizeClass == 0 ? &large : sizeClass == 2 ? &extraLarge : nullptr;
    }

private:
    const std::vector<MountEntry>& Mounts()
    {
        std::string text;
        ReadSmallFile("/proc/self/mountinfo", &text);
        mounts_ = ListedMounts(ParseMountInfo(text));
        return mounts_;
    }

    const MountEntry* Find(const std::string& root)
    {
        std::string mp = root.size() > 1 && root.back() == '/' ? root.substr(0, root.size() - 1) : root;
        if (mounts_.empty())
            Mounts();
        for (const auto& e : mounts_)
            if (e.mountPoint == mp)
                return &e;
        return nullptr;
    }

    std::vector<MountEntry> mounts_;
    uint32_t errorMode_ = 0;
};

} // namespace

std::vector<MountEntry> ParseMountInfo(const std::string& text)
{
    std::vector<MountEntry> out;
    for (const std::string& line : SplitLines(text)) {
        const std::vector<std::string> f = SplitWords(line);
        auto dash = std::find(f.begin(), f.end(), "-");
        if (f.size() < 7 || dash == f.end() || f.end() - dash < 3)
            continue;
        MountEntry m;
        if (std::sscanf(f[2].c_str(), "%u:%u", &m.major, &m.minor) != 2)
            continue;
        m.root = Unescape(f[3]);
        m.mountPoint = Unescape(f[4]);
        m.fsType = Unescape(*(dash + 1));
        m.source = Unescape(*(dash + 2));
        out.push_back(m);
    }
    return out;
}

std::vector<MountEntry> ListedMounts(std::vector<MountEntry> entries)
{
    // A later mount on the same point hides the earlier one.
    std::vector<MountEntry> visible;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (std::none_of(visible.begin(), visible.end(),
                         [&](const MountEntry& v) { return v.mountPoint == it->mountPoint; }))
            visible.push_back(*it);
    std::stable_sort(visible.begin(), visible.end(), [](const MountEntry& a, const MountEntry& b) {
        if ((a.mountPoint == "/") != (b.mountPoint == "/"))
            return a.mountPoint == "/";
        return a.mountPoint < b.mountPoint;
    });
    std::vector<MountEntry> out;
    std::set<std::pair<unsigned, unsigned>> seen;
    for (const auto& e : visible) {
        // Bind mounts and repeated mounts of one device collapse to the first;
        // device numbers of pseudo file systems are unique anyway.
        if (!seen.insert({e.major, e.minor}).second)
            continue;
        out.push_back(e);
    }
    return out;
}

uint32_t DriveTypeOf(const MountEntry& e, const std::string& sysfsRoot)
{
    if (kPseudo.count(e.fsType))
        return kDriveNoRootDir;
    if (kRemote.count(e.fsType))
        return kDriveRemote;
    if (kOptical.count(e.fsType))
        return kDriveCdrom;
    if (kRam.count(e.fsType))
        return kDriveRamdisk;
    unsigned major = e.major, minor = e.minor;
    struct stat st;
    // btrfs and others report anonymous device numbers; the source names the device.
    if (stat(e.source.c_str(), &st) == 0 && S_ISBLK(st.st_mode)) {
        major = ::major(st.st_rdev);
        minor = ::minor(st.st_rdev);
    }
    const std::string dev = sysfsRoot + "/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
    struct stat sys;
    if (stat(dev.c_str(), &sys) != 0)
        return kDriveNoRootDir; // not a block device: nothing to defragment
    std::string removable;
    // A partition's removable flag is its disk's.
    if (!ReadSmallFile(dev + "/removable", &removable))
        ReadSmallFile(dev + "/../removable", &removable);
    return TrimNewline(removable) == "1" ? kDriveRemovable : kDriveFixed;
}

std::string DisplayNameOf(const std::string& mountPoint, const std::string& label)
{
    std::string name = label;
    if (name.empty()) {
        if (mountPoint == "/")
            name = "Root";
        else
            name = mountPoint.substr(mountPoint.find_last_of('/') + 1);
    }
    return name + " (" + mountPoint + ")";
}

} // namespace linux_backend

IDrives& DefaultDrives()
{
    static linux_backend::LinuxDrives drives;
    return drives;
}

} // namespace platform
