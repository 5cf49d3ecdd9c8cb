#include "enginelib/Engine.h"

#include "enginelib/EngineText.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include <dirent.h>
#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <linux/fsmap.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/statvfs.h>
#include <unistd.h>

// The move ioctl of ext4 (fs/ext4/ext4.h); not in the exported headers.
struct move_extent {
    uint32_t reserved;
    uint32_t donor_fd;
    uint64_t orig_start;
    uint64_t donor_start;
    uint64_t len;
    uint64_t moved_len;
};
#define EXT4_IOC_MOVE_EXT _IOWR('f', 15, struct move_extent)

namespace vtengine {
namespace {

// Debug levels: 0 and 1 reach the program's log, higher ones are detail.
constexpr int kLevelMain = 0;
constexpr int kLevelError = 1;
constexpr int kLevelDetail = 3;
constexpr int kFiemapBatch = 256;
// Clusters moved per ioctl, so that a stop request is seen between chunks.
constexpr int64_t kMoveChunk = 8192;

struct MountEntry {
    std::string mountPoint, fsType, source;
    bool readOnly = false;
};

std::string Unescape(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && std::isdigit((unsigned char)s[i + 1])) {
            out.push_back(char(((s[i + 1] - '0') << 6) | ((s[i + 2] - '0') << 3) | (s[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

// The mount table entry whose mount point is `root` (the last one wins, as
// it is the one on top).
bool FindMount(const std::string& root, MountEntry& found)
{
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    bool ok = false;
    while (std::getline(in, line)) {
        std::istringstream ss(line);
        std::string id, parent, devno, fsroot, mnt, opts, field;
        ss >> id >> parent >> devno >> fsroot >> mnt >> opts;
        while (ss >> field && field != "-") {
        }
        std::string type, source;
        ss >> type >> source;
        if (Unescape(mnt) != root)
            continue;
        found.mountPoint = root;
        found.fsType = type;
        found.source = Unescape(source);
        found.readOnly = ("," + opts + ",").find(",ro,") != std::string::npos;
        ok = true;
    }
    return ok;
}

bool IsBlockFileSystem(const MountEntry& m)
{
    static const char* const kNoDisk[] = {"tmpfs", "ramfs", "proc", "sysfs", "devtmpfs", "devpts", "cgroup",
                                          "cgroup2", "overlay", "squashfs", "nfs", "nfs4", "cifs", "smb3",
                                          "fuse", "fuse.sshfs", "autofs", "debugfs", "tracefs", "securityfs",
                                          "pstore", "bpf", "mqueue", "hugetlbfs", "configfs", "fusectl"};
    for (const char* t : kNoDisk)
        if (m.fsType == t)
            return false;
    return m.source.rfind("/dev/", 0) == 0;
}

std::vector<std::string> ActiveSwapFiles()
{
    std::vector<std::string> out;
    std::ifstream in("/proc/swaps");
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::istringstream ss(line);
        std::string name, type;
        ss >> name >> type;
        if (type == "file")
            out.push_back(Unescape(name));
    }
    return out;
}

std::string JoinPath(const std::string& dir, const std::string& name)
{
    return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

class Pass {
public:
    explicit Pass(const PassArgs& a) : args_(a) { std::memset(&status_, 0, sizeof status_); }
    ~Pass()
    {
        if (rootFd_ >= 0)
            close(rootFd_);
    }
    int Run();

private:
    bool Stopping() const
    {
        return args_.runState && __atomic_load_n(args_.runState, __ATOMIC_ACQUIRE) == kRunStateStopRequested;
    }
    void Debug(int level, EngineItem* item, int message, const std::vector<MessageArg>& values = {});
    void Phase(int code);
    void Progress()
    {
        if (args_.progress)
            args_.progress(&status_);
    }
    bool Analyze();
    void ResetAnalysis();
    void Walk(int dirFd, const std::string& path, Item* self);
    Item* AddItem(const std::string& path, const std::string& name, const struct stat& st, bool directory);
    bool ReadRuns(int fd, std::vector<ClusterRun>& runs, bool sync);
    void Account(Item& item);
    void ReadGaps();
    void BuildTree();
    void Defragment();
    enum class Outcome { Moved, Left, Stop };
    Outcome DefragFile(Item& item);
    int64_t CountEntries(int dirFd);

    PassArgs args_;
    EngineStatus status_;
    MountEntry mount_;
    int rootFd_ = -1;
    dev_t dev_ = 0;
    uint64_t mntId_ = 0;
    bool haveMntId_ = false;
    int64_t clusterBytes_ = 4096;
    std::vector<std::unique_ptr<Item>> items_;
    std::vector<Item*> order_; // the items by first cluster
    std::vector<std::string> swapFiles_;
    double distanceSum_ = 0;
    int64_t distanceCount_ = 0;
};

void Pass::Debug(int level, EngineItem* item, int message, const std::vector<MessageArg>& values)
{
    if (!args_.debug)
        return;
    const char16_t* pattern =
        args_.messages && message >= 0 && message < kMessageCount ? args_.messages[message] : nullptr;
    if (!pattern)
        return;
    const std::u16string text = FormatMessage(pattern, values);
    args_.debug(level, item, text.c_str());
}

void Pass::Phase(int code)
{
    status_.PhaseCode = code;
    status_.WorkTotal = 0;
    status_.WorkDone = 0;
    if (args_.status)
        args_.status(&status_);
}

int Pass::Run()
{
    const std::u16string root16 = Utf16FromBytes(args_.root);
    if (!FindMount(args_.root, mount_)) {
        Debug(kLevelError, nullptr, kMsgNotMounted, {root16, root16});
        return 1;
    }
    const std::u16string device = Utf16FromBytes(mount_.source);
    Debug(kLevelMain, nullptr, kMsgOpeningVolume, {device, root16});
    if (!IsBlockFileSystem(mount_)) {
        Debug(kLevelError, nullptr, kMsgNotHardDisk, {root16});
        return 1;
    }
    rootFd_ = open(args_.root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct statvfs vfs {};
    struct stat st {};
    if (rootFd_ < 0 || fstatvfs(rootFd_, &vfs) != 0 || fstat(rootFd_, &st) != 0) {
        Debug(kLevelError, nullptr, kMsgCouldNotOpen, {root16, Utf16FromBytes(std::strerror(errno))});
        return 1;
    }
    dev_ = st.st_dev;
    struct statx sx {};
    if (statx(rootFd_, "", AT_EMPTY_PATH, STATX_MNT_ID, &sx) == 0 && (sx.stx_mask & STATX_MNT_ID)) {
        mntId_ = sx.stx_mnt_id;
        haveMntId_ = true;
    }
    clusterBytes_ = vfs.f_frsize ? int64_t(vfs.f_frsize) : int64_t(vfs.f_bsize);
    swapFiles_ = ActiveSwapFiles();

    bool defragment = args_.mode == kModeDefragment;
    if (defragment && mount_.readOnly) {
        Debug(kLevelError, nullptr, kMsgReadOnly, {root16});
        defragment = false;
    } else if (defragment && mount_.fsType != "ext4") {
        Debug(kLevelError, nullptr, kMsgCannotDefragment, {device, root16});
        defragment = false;
    }

    Debug(kLevelMain, nullptr, kMsgAnalyzingVolume, {root16});
    if (!Analyze())
        return 0;
    if (defragment) {
        Defragment();
        if (Stopping())
            return 0;
        // A fresh analysis, so that the report describes the result.
        if (!Analyze())
            return 0;
    }
    Phase(kPhaseFinished);
    Debug(kLevelMain, nullptr, kMsgFinished);
    return 0;
}

void Pass::ResetAnalysis()
{
    items_.clear();
    order_.clear();
    status_.ItemRoot = nullptr;
    status_.FolderCount = status_.FileCount = status_.FragmentedItemCount = 0;
    status_.ItemClusters = status_.FragmentedClusters = 0;
    status_.GapCount = status_.LargestGap = status_.SmallGapCount = status_.SmallGapClusters = 0;
    status_.MeanEndBeginDistance = 0;
    distanceSum_ = 0;
    distanceCount_ = 0;
}

int64_t Pass::CountEntries(int dirFd)
{
    // A metadata-only walk for file systems that keep no inode counts.
    int64_t n = 1;
    DIR* d = fdopendir(dup(dirFd));
    if (!d)
        return n;
    rewinddir(d); // the duplicate shares the descriptor's position
    while (dirent* e = readdir(d)) {
        if (!std::strcmp(e->d_name, ".") || !std::strcmp(e->d_name, ".."))
            continue;
        ++n;
        if (e->d_type == DT_DIR) {
            const int sub = openat(dirFd, e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub >= 0) {
                n += CountEntries(sub) - 1;
                close(sub);
            }
        }
        if (Stopping())
            break;
    }
    closedir(d);
    return n;
}

bool Pass::Analyze()
{
    ResetAnalysis();
    struct statvfs vfs {};
    fstatvfs(rootFd_, &vfs);
    status_.ClusterBytes = clusterBytes_;
    status_.VolumeClusters = int64_t(vfs.f_blocks) * int64_t(vfs.f_frsize) / clusterBytes_;
    status_.FreeClusters = int64_t(vfs.f_bfree) * int64_t(vfs.f_frsize) / clusterBytes_;
    Phase(kPhaseAnalyze);
    // The work total is known from the start: the used inodes, or a count
    // of the entries where the file system keeps none.
    status_.WorkTotal = vfs.f_files > vfs.f_ffree ? int64_t(vfs.f_files - vfs.f_ffree) : CountEntries(rootFd_);
    Progress();
    if (Stopping())
        return false;

    struct stat st {};
    fstat(rootFd_, &st);
    Item* root = AddItem(args_.root, "", st, true);
    Walk(rootFd_, args_.root, root);
    if (Stopping())
        return false;
    ReadGaps();
    status_.MeanEndBeginDistance = distanceCount_ ? distanceSum_ / double(distanceCount_) : 0.0;
    BuildTree();
    Progress();
    return !Stopping();
}

Item* Pass::AddItem(const std::string& path, const std::string& name, const struct stat& st, bool directory)
{
    auto item = std::make_unique<Item>();
    std::memset(static_cast<EngineItem*>(item.get()), 0, sizeof(EngineItem));
    item->raw = path;
    item->path = Utf16FromBytes(path);
    item->name = Utf16FromBytes(name.empty() ? path : name);
    item->RawPath = item->raw.c_str();
    item->PathText = item->path.c_str();
    item->NameText = item->name.c_str();
    item->IsDirectory = directory ? 1 : 0;
    item->Inode = int64_t(st.st_ino);
    item->ByteSize = int64_t(st.st_size);
    items_.push_back(std::move(item));
    return items_.back().get();
}

bool Pass::ReadRuns(int fd, std::vector<ClusterRun>& runs, bool sync)
{
    runs.clear();
    // A fiemap head followed by room for a batch of extents.
    std::vector<uint64_t> buffer((sizeof(fiemap) + kFiemapBatch * sizeof(fiemap_extent)) / sizeof(uint64_t) + 1);
    auto* map = reinterpret_cast<fiemap*>(buffer.data());
    uint64_t start = 0;
    for (;;) {
        std::fill(buffer.begin(), buffer.end(), 0);
        map->fm_start = start;
        map->fm_length = FIEMAP_MAX_OFFSET - start;
        map->fm_flags = sync ? FIEMAP_FLAG_SYNC : 0;
        map->fm_extent_count = kFiemapBatch;
        if (ioctl(fd, FS_IOC_FIEMAP, map) != 0)
            return false;
        const uint32_t n = map->fm_mapped_extents;
        if (n == 0)
            return true;
        bool last = false;
        for (uint32_t i = 0; i < n; ++i) {
            const fiemap_extent& e = map->fm_extents[i];
            last = last || (e.fe_flags & FIEMAP_EXTENT_LAST);
            start = e.fe_logical + e.fe_length;
            // Data kept inside metadata, or not yet placed, has no clusters of its own.
            if (e.fe_flags & (FIEMAP_EXTENT_UNKNOWN | FIEMAP_EXTENT_DELALLOC | FIEMAP_EXTENT_DATA_INLINE |
                              FIEMAP_EXTENT_DATA_TAIL | FIEMAP_EXTENT_NOT_ALIGNED))
                continue;
            const int64_t lcn = int64_t(e.fe_physical / uint64_t(clusterBytes_));
            const int64_t clusters = int64_t((e.fe_length + uint64_t(clusterBytes_) - 1) / uint64_t(clusterBytes_));
            if (clusters <= 0)
                continue;
            // Physically contiguous extents (ext4 splits long ones, unwritten
            // and written parts are separate) are one run.
            if (!runs.empty() && runs.back().lcn + runs.back().clusters == lcn)
                runs.back().clusters += clusters;
            else
                runs.push_back({lcn, clusters});
        }
        if (last || Stopping())
            return true;
    }
}

void Pass::Account(Item& item)
{
    item.Fragments = int32_t(std::min<size_t>(item.runs.size(), INT32_MAX));
    item.ClusterCount = 0;
    for (const ClusterRun& r : item.runs)
        item.ClusterCount += r.clusters;
    item.Lcn = item.runs.empty() ? 0 : item.runs.front().lcn;
    for (size_t i = 1; i < item.runs.size(); ++i) {
        const int64_t end = item.runs[i - 1].lcn + item.runs[i - 1].clusters;
        distanceSum_ += double(item.runs[i].lcn > end ? item.runs[i].lcn - end : end - item.runs[i].lcn);
        ++distanceCount_;
    }
    if (item.IsDirectory)
        ++status_.FolderCount;
    else
        ++status_.FileCount;
    status_.ItemClusters += item.ClusterCount;
    if (item.Fragments > 1) {
        ++status_.FragmentedItemCount;
        status_.FragmentedClusters += item.ClusterCount;
        if (item.IsDirectory)
            item.PinnedFlag = 1; // only regular files are relocated
        Debug(kLevelDetail, &item, kMsgFragmented);
    }
    ++status_.WorkDone;
    if (args_.analyze)
        args_.analyze(&status_, &item);
    Progress();
}

void Pass::Walk(int dirFd, const std::string& path, Item* self)
{
    if (self) {
        if (!ReadRuns(dirFd, self->runs, false))
            self->runs.clear();
        Account(*self);
    }
    // The names are read first, so that the directory is not held open
    // across the whole subtree by the listing itself.
    std::vector<std::string> names;
    if (DIR* d = fdopendir(dup(dirFd))) {
        rewinddir(d); // the duplicate shares the descriptor's position
        while (dirent* e = readdir(d))
            if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
                names.emplace_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        if (Stopping())
            return;
        const std::string full = JoinPath(path, name);
        struct statx sx {};
        if (statx(dirFd, name.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_INO | STATX_SIZE |
                                                                                  STATX_MNT_ID,
                  &sx) != 0)
            continue; // vanished since the listing
        const bool dir = S_ISDIR(sx.stx_mode), reg = S_ISREG(sx.stx_mode);
        if (!dir && !reg)
            continue; // links, devices, pipes and sockets own no data clusters
        if (makedev(sx.stx_dev_major, sx.stx_dev_minor) != dev_ ||
            (haveMntId_ && (sx.stx_mask & STATX_MNT_ID) && sx.stx_mnt_id != mntId_))
            continue; // another file system, or another mount of this one
        int flags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (dir ? O_DIRECTORY : 0);
        int fd = openat(dirFd, name.c_str(), flags | O_NOATIME);
        if (fd < 0 && errno == EPERM)
            fd = openat(dirFd, name.c_str(), flags);
        struct stat st {};
        if (fd < 0) {
            if (errno == ENOENT)
                continue;
            st.st_ino = sx.stx_ino;
            st.st_size = off_t(sx.stx_size);
            Item* item = AddItem(full, name, st, dir);
            item->IgnoreFlag = 1;
            Debug(kLevelError, item, kMsgCouldNotOpen, {item->path, Utf16FromBytes(std::strerror(errno))});
            Account(*item);
            continue;
        }
        if (fstat(fd, &st) != 0 || st.st_ino != sx.stx_ino || st.st_dev != dev_ ||
            S_ISDIR(st.st_mode) != dir) {
            close(fd); // replaced between the listing and the open
            continue;
        }
        Item* item = AddItem(full, name, st, dir);
        Debug(kLevelDetail, item, kMsgAnalyzingItem, {item->path});
        if (dir) {
            Walk(fd, full, item);
            close(fd);
            continue;
        }
        int attrs = 0;
        if (ioctl(fd, FS_IOC_GETFLAGS, &attrs) == 0 && (attrs & (FS_IMMUTABLE_FL | FS_APPEND_FL)))
            item->PinnedFlag = 1;
        if (std::find(swapFiles_.begin(), swapFiles_.end(), full) != swapFiles_.end())
            item->PinnedFlag = 1;
        if (!ReadRuns(fd, item->runs, true)) {
            item->IgnoreFlag = 1;
            Debug(kLevelError, item, kMsgCouldNotOpen, {item->path, Utf16FromBytes(std::strerror(errno))});
        }
        close(fd);
        Account(*item);
    }
}

void Pass::ReadGaps()
{
    // Free-space extents, where the file system can list them (ext4, xfs).
    constexpr unsigned kRecords = 512;
    const size_t bytes = sizeof(fsmap_head) + kRecords * sizeof(fsmap);
    std::vector<unsigned char> buffer(bytes);
    auto* head = reinterpret_cast<fsmap_head*>(buffer.data());
    std::memset(head, 0, bytes);
    head->fmh_keys[1].fmr_device = UINT32_MAX;
    head->fmh_keys[1].fmr_flags = UINT32_MAX;
    head->fmh_keys[1].fmr_physical = UINT64_MAX;
    head->fmh_keys[1].fmr_owner = UINT64_MAX;
    head->fmh_keys[1].fmr_offset = UINT64_MAX;
    head->fmh_count = kRecords;
    int64_t gapStart = -1, gapLen = 0;
    auto closeGap = [&] {
        if (gapLen <= 0)
            return;
        ++status_.GapCount;
        status_.LargestGap = std::max(status_.LargestGap, gapLen);
        if (gapLen < kSmallGapClusters) {
            ++status_.SmallGapCount;
            status_.SmallGapClusters += gapLen;
        }
        gapLen = 0;
    };
    for (;;) {
        if (ioctl(rootFd_, FS_IOC_GETFSMAP, head) != 0)
            break;
        if (head->fmh_entries == 0)
            break;
        for (unsigned i = 0; i < head->fmh_entries; ++i) {
            const fsmap& r = head->fmh_recs[i];
            if (r.fmr_owner != FMR_OWN_FREE)
                continue;
            const int64_t start = int64_t(r.fmr_physical / uint64_t(clusterBytes_));
            const int64_t len = int64_t(r.fmr_length / uint64_t(clusterBytes_));
            if (gapLen > 0 && gapStart + gapLen == start) {
                gapLen += len; // free extents that touch across group edges are one gap
            } else {
                closeGap();
                gapStart = start;
                gapLen = len;
            }
        }
        const fsmap& lastRec = head->fmh_recs[head->fmh_entries - 1];
        if (lastRec.fmr_flags & FMR_OF_LAST)
            break;
        head->fmh_keys[0] = lastRec;
    }
    closeGap();
}

// A balanced binary tree over the items, ordered by first cluster.
EngineItem* Link(std::vector<Item*>& sorted, size_t lo, size_t hi, EngineItem* parent)
{
    if (lo >= hi)
        return nullptr;
    const size_t mid = lo + (hi - lo) / 2;
    Item* node = sorted[mid];
    node->Parent = parent;
    node->Smaller = Link(sorted, lo, mid, node);
    node->Bigger = Link(sorted, mid + 1, hi, node);
    return node;
}

void Pass::BuildTree()
{
    order_.clear();
    order_.reserve(items_.size());
    for (auto& i : items_)
        order_.push_back(i.get());
    std::stable_sort(order_.begin(), order_.end(), [](const Item* a, const Item* b) {
        return a->Lcn != b->Lcn ? a->Lcn < b->Lcn : a->Inode < b->Inode;
    });
    status_.ItemRoot = Link(order_, 0, order_.size(), nullptr);
}

void Pass::Defragment()
{
    std::vector<Item*> todo;
    for (Item* item : order_) {
        if (!item->IsDirectory && item->Fragments > 1 && !item->PinnedFlag && !item->IgnoreFlag)
            todo.push_back(item);
    }
    Phase(kPhaseDefragment);
    status_.WorkTotal = int64_t(todo.size());
    Progress();
    for (Item* item : todo) {
        if (Stopping())
            return;
        Debug(kLevelDetail + 1, item, kMsgProcessing, {item->path});
        const Outcome o = DefragFile(*item);
        if (o == Outcome::Stop)
            return;
        ++status_.WorkDone;
        Progress();
    }
}

// An open regular file of this volume that is the same inode as item.
int OpenSame(const Item& item, int flags, dev_t dev)
{
    const int fd = open(item.raw.c_str(), flags | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != dev || int64_t(st.st_ino) != item.Inode) {
        close(fd);
        errno = ESTALE;
        return -1;
    }
    return fd;
}

Pass::Outcome Pass::DefragFile(Item& item)
{
    auto leave = [&](const char* why) {
        if (why)
            Debug(kLevelError, &item, kMsgCouldNotOpen, {item.path, Utf16FromBytes(why)});
        else
            Debug(kLevelError, &item, kMsgLeavingFile);
        return Outcome::Left;
    };
    // A read lease is granted only while nobody has the file open for
    // writing; a file in use by a writer is left alone.
    int fd = OpenSame(item, O_RDONLY, dev_);
    if (fd < 0)
        return leave(std::strerror(errno));
    if (fcntl(fd, F_SETLEASE, F_RDLCK) != 0) {
        const bool busy = errno == EAGAIN;
        close(fd);
        if (busy)
            return leave("the file is open for writing by another program");
    } else {
        fcntl(fd, F_SETLEASE, F_UNLCK);
        close(fd);
    }
    fd = OpenSame(item, O_RDWR, dev_);
    if (fd < 0)
        return leave(std::strerror(errno));
    struct stat st {};
    fstat(fd, &st);
    const int64_t clusters = (int64_t(st.st_size) + clusterBytes_ - 1) / clusterBytes_;
    struct statvfs vfs {};
    fstatvfs(fd, &vfs);
    const int64_t freeBytes = int64_t(vfs.f_bavail) * int64_t(vfs.f_frsize);
    // Room for the whole file plus a margin for the extent tree.
    if (clusters <= 0 || freeBytes < (clusters + 64) * clusterBytes_) {
        close(fd);
        if (clusters <= 0)
            return Outcome::Left;
        Debug(kLevelError, &item, kMsgDiskFull);
        return Outcome::Left;
    }
    fdatasync(fd);
    std::vector<ClusterRun> before;
    if (!ReadRuns(fd, before, true) || before.size() < 2) {
        close(fd);
        return Outcome::Left;
    }
    // The donor: an unnamed file of this volume; whatever happens to this
    // process, the kernel frees it when its last descriptor closes.
    const int donor = openat(rootFd_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (donor < 0) {
        close(fd);
        return leave(std::strerror(errno));
    }
    auto finish = [&](Outcome o) {
        close(donor);
        close(fd);
        return o;
    };
    if (fallocate(donor, 0, 0, off_t(clusters * clusterBytes_)) != 0) {
        if (errno == ENOSPC)
            Debug(kLevelError, &item, kMsgDiskFull);
        else
            Debug(kLevelError, &item, kMsgLeavingFile);
        return finish(Outcome::Left);
    }
    std::vector<ClusterRun> donorRuns;
    if (!ReadRuns(donor, donorRuns, false) || donorRuns.size() >= before.size()) {
        Debug(kLevelError, &item, kMsgLeavingFile);
        return finish(Outcome::Left);
    }
    const int64_t source = before.front().lcn, target = donorRuns.front().lcn;
    for (int64_t done = 0; done < clusters;) {
        if (Stopping())
            return finish(Outcome::Stop);
        move_extent me{};
        me.donor_fd = uint32_t(donor);
        me.orig_start = uint64_t(done);
        me.donor_start = uint64_t(done);
        me.len = uint64_t(std::min(kMoveChunk, clusters - done));
        if (ioctl(fd, EXT4_IOC_MOVE_EXT, &me) != 0 || me.moved_len == 0) {
            if (errno == EBUSY)
                continue;
            Debug(kLevelError, &item, kMsgLeavingFile);
            return finish(Outcome::Left);
        }
        done += int64_t(me.moved_len);
    }
    fsync(fd);
    if (args_.move)
        args_.move(&item, clusters, source, target);
    return finish(Outcome::Moved);
}

} // namespace

int RunPass(const PassArgs& args)
{
    Pass pass(args);
    return pass.Run();
}

} // namespace vtengine
