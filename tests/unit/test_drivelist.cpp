// The drive list over a fake machine, and once over the real one.

#include "core/uFormat.h"
#include "engine/uDriveList.h"
#include "platform/Drives.h"
#include "platform/linux/LinuxDrives.h"

#include <gtest/gtest.h>

#include <map>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>

using namespace platform;

namespace {

struct FakeDrive {
    uint32_t type = kDriveFixed;
    std::string name = "Disk";
    std::string fileSystem = "ext4";
    bool volumeReadable = true;
    bool spaceReadable = true;
    uint64_t total = 1000, freeAvailable = 500, totalFree = 500;
    int icon = 0;
};

class FakeDrives : public IDrives {
public:
    FakeDrives() { SetDrives(this); }
    ~FakeDrives() override { SetDrives(nullptr); }

    std::vector<std::pair<std::string, FakeDrive>> drives;
    uint32_t mode = 0x1;
    std::vector<uint32_t> modes;

    std::vector<std::string> LogicalDriveStrings() override
    {
        std::vector<std::string> r;
        for (auto& d : drives) r.push_back(d.first);
        return r;
    }
    const FakeDrive& At(const std::string& root)
    {
        for (auto& d : drives)
            if (d.first == root) return d.second;
        throw std::runtime_error("no drive " + root);
    }
    uint32_t GetDriveType(const std::string& root) override { return At(root).type; }
    bool GetFileInfo(const std::string& root, std::string* name, int* icon) override
    {
        *name = At(root).name;
        *icon = At(root).icon;
        return true;
    }
    bool GetVolumeInformation(const std::string& root, std::string* label, std::string* fs) override
    {
        if (!At(root).volumeReadable) return false;
        *label = "";
        *fs = At(root).fileSystem;
        return true;
    }
    bool GetDiskFreeSpaceEx(const std::string& root, uint64_t* avail, uint64_t* total, uint64_t* totalFree) override
    {
        const FakeDrive& d = At(root);
        if (!d.spaceReadable) return false;
        *avail = d.freeAvailable;
        *total = d.total;
        *totalFree = d.totalFree;
        return true;
    }
    uint32_t SetErrorMode(uint32_t m) override
    {
        modes.push_back(m);
        std::swap(m, mode);
        return m;
    }
    const SystemImageList* GetSystemImageList(int) override { return nullptr; }
};

TDriveList Build(int32_t& count)
{
    TDriveList list(3); // stale entries are dropped
    count = -1;
    BuildDriveList(list, count, nullptr, nullptr);
    return list;
}

} // namespace

TEST(DriveList, OnlyFixedDrivesWithAFileSystem)
{
    FakeDrives m;
    FakeDrive removable, remote, unformatted, unreadable, blankFs;
    removable.type = kDriveRemovable;
    remote.type = kDriveRemote;
    unformatted.fileSystem = "";
    unreadable.volumeReadable = false;
    blankFs.fileSystem = " \t";
    m.drives = {{"/a/", removable}, {"/b/", remote}, {"/c/", unformatted}, {"/d/", unreadable},
                {"/e/", blankFs}};
    int32_t count;
    EXPECT_TRUE(Build(count).empty());
    EXPECT_EQ(count, 0);

    FakeDrive next;
    next.name = "Next";
    m.drives.push_back({"/f/", next});
    TDriveList list = Build(count);
    ASSERT_EQ(count, 1);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].RootPath, "/f/");
    EXPECT_EQ(list[0].DisplayName, "Next");
    // The error mode is set while probing and restored afterwards.
    EXPECT_EQ(m.modes.front(), kSemNoOpenFileErrorBox);
    EXPECT_EQ(m.mode, 0x1u);
}

TEST(DriveList, AllRootsInOrderTickedAndZeroed)
{
    FakeDrives m;
    for (char c = 'A'; c <= 'Z'; ++c) {
        FakeDrive d;
        d.name = std::string(1, c);
        d.icon = c - 'A';
        m.drives.push_back({std::string("/") + c + "/", d});
    }
    int32_t count;
    TDriveList list = Build(count);
    ASSERT_EQ(count, 26);
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(list[i].DisplayName, std::string(1, char('A' + i)));
        EXPECT_EQ(list[i].IconIndex, i);
        EXPECT_TRUE(list[i].Selected);
        EXPECT_EQ(list[i].CheckState, 4);
        EXPECT_EQ(list[i].AnalysisTotal, 0);
        EXPECT_EQ(list[i].FragmentedFiles, 0);
        EXPECT_EQ(list[i].DefragFragmentedFiles, 0);
        EXPECT_EQ(list[i].Fragments, 0);
    }
}

TEST(DriveList, NamesTrimmedSpaceAndPercentages)
{
    FakeDrives m;
    struct Case {
        const char* root;
        uint64_t total, avail, totalFree;
        int percent;
        const char* totalText;
        const char* freeText;
    } cases[] = {
        {"/half-down/", 1000, 125, 125, 12, "0.98 KB", "125 Bytes"}, // 12.5 %
        {"/half-up/", 1000, 135, 135, 14, "0.98 KB", "135 Bytes"},   // 13.5 %
        {"/full/", 10737418240ULL, 0, 0, 0, "10 GB", "0 Bytes"},
        {"/quota/", 10737418240ULL, 1073741824ULL, 5368709120ULL, 10, "10 GB", "1 GB"},
        {"/empty/", 2000398934016ULL, 2000398934016ULL, 2000398934016ULL, 100, "1.82 TB", "1.82 TB"},
    };
    for (const auto& c : cases) {
        FakeDrive d;
        d.name = " \t Data\x01 ";
        d.fileSystem = "  xfs\n";
        d.total = c.total;
        d.freeAvailable = c.avail;
        d.totalFree = c.totalFree;
        m.drives.push_back({c.root, d});
    }
    FakeDrive broken, nameless;
    broken.spaceReadable = false;
    nameless.name = "  ";
    m.drives.push_back({"/broken/", broken});
    m.drives.push_back({"/nameless/", nameless});
    int32_t count;
    TDriveList list = Build(count);
    ASSERT_EQ(count, 7);
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(list[i].DisplayName, "Data") << cases[i].root;
        EXPECT_EQ(list[i].FileSystem, "xfs");
        EXPECT_EQ(list[i].FreePercent, cases[i].percent) << cases[i].root;
        EXPECT_EQ(list[i].TotalSizeText, FormatSize(int64_t(cases[i].total)));
        EXPECT_EQ(list[i].FreeSizeText, FormatSize(int64_t(cases[i].avail)));
    }
    EXPECT_EQ(list[5].TotalSizeText, FormatSize(0)) << "space unknown";
    EXPECT_EQ(list[5].FreePercent, 0);
    EXPECT_EQ(list[6].DisplayName, "/nameless/") << "no display name: the root";
}

TEST(LinuxDrives, MountTableRules)
{
    using namespace platform::linux_backend;
    const std::string text =
        "27 1 254:0 / / rw - ext4 /dev/vda rw\n"
        "21 27 0:20 / /proc rw - proc proc rw\n"
        "40 27 7:0 / /mnt/img\\040one rw - ext4 /dev/loop0 rw\n"
        "41 27 254:0 /srv /bind rw - ext4 /dev/vda rw\n"
        "42 27 7:1 / /a rw - vfat /dev/loop1 rw\n"
        "43 27 7:1 / /a rw - vfat /dev/loop1 rw\n"
        "garbage line\n";
    auto listed = ListedMounts(ParseMountInfo(text));
    std::vector<std::string> points;
    for (auto& e : listed) points.push_back(e.mountPoint);
    EXPECT_EQ(points, (std::vector<std::string>{"/", "/a", "/mnt/img one", "/proc"}));
    EXPECT_EQ(DisplayNameOf("/", ""), "Root (/)");
    EXPECT_EQ(DisplayNameOf("/home", ""), "home (/home)");
    EXPECT_EQ(DisplayNameOf("/data", "Backup"), "Backup (/data)");

    MountEntry tmp{0, 50, "/", "/tmp", "tmpfs", "tmpfs"};
    MountEntry nfs{0, 51, "/", "/net", "nfs4", "srv:/x"};
    MountEntry cd{11, 0, "/", "/cd", "iso9660", "/dev/sr0"};
    MountEntry overlay{0, 52, "/", "/", "overlay", "overlay"};
    EXPECT_EQ(DriveTypeOf(tmp), kDriveRamdisk);
    EXPECT_EQ(DriveTypeOf(nfs), kDriveRemote);
    EXPECT_EQ(DriveTypeOf(cd), kDriveCdrom);
    EXPECT_EQ(DriveTypeOf(overlay), kDriveNoRootDir);
}

TEST(LinuxDrives, RealMachineListsTheRootFileSystem)
{
    // On this machine "/" is a local block device; where it is not (a
    // container's overlay), it is rightly not listed.
    struct statvfs st;
    ASSERT_EQ(statvfs("/", &st), 0);
    if (Drives().GetDriveType("/") != kDriveFixed)
        GTEST_SKIP() << "the root file system here is not a local block device";
    int32_t count = 0;
    TDriveList list;
    BuildDriveList(list, count, nullptr, nullptr);
    ASSERT_GE(count, 1);
    EXPECT_EQ(list[0].RootPath, "/");
    EXPECT_EQ(list[0].DisplayName.substr(list[0].DisplayName.size() - 4), " (/)");
    std::string fs;
    std::string label;
    Drives().GetVolumeInformation("/", &label, &fs);
    EXPECT_EQ(list[0].FileSystem, fs);
    EXPECT_FALSE(fs.empty());
    const int64_t total = int64_t(st.f_blocks) * int64_t(st.f_frsize);
    EXPECT_EQ(list[0].TotalSizeText, FormatSize(total));
    EXPECT_GT(total, 16 * 1048576LL);
    EXPECT_LE(list[0].FreePercent, 100);
}

TEST(LinuxDrives, LoopMountedImageIsListedWithItsLabel)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to mount an image";
    char dir[] = "/tmp/vantorel-loop-XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    const std::string d = dir, img = d + "/disk.img", mnt = d + "/mnt";
    const std::string setup = "truncate -s 64M " + img + " && mkfs.ext4 -q -L VTDATA " + img +
                              " && mkdir " + mnt + " && mount -o loop " + img + " " + mnt;
    if (std::system((setup + " 2>/dev/null").c_str()) != 0) {
        std::system(("rm -rf " + d).c_str());
        GTEST_SKIP() << "no loop device available";
    }
    int32_t count = 0;
    TDriveList list;
    BuildDriveList(list, count, nullptr, nullptr);
    std::system(("umount " + mnt + " && rm -rf " + d).c_str());
    const TDriveListItem* found = nullptr;
    for (const auto& item : list)
        if (item.RootPath == mnt + "/")
            found = &item;
    ASSERT_TRUE(found) << "the loop-mounted image is a fixed drive";
    EXPECT_EQ(found->DisplayName, "VTDATA (" + mnt + ")");
    EXPECT_EQ(found->FileSystem, "ext4");
    EXPECT_NE(found->TotalSizeText.find(" MB"), std::string::npos) << found->TotalSizeText;
    EXPECT_GT(found->FreePercent, 50);
}
