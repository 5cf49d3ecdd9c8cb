#include "engine/LoopImage.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

int Shell(const std::string& command, std::string* output)
{
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p)
        return -1;
    std::array<char, 4096> buf{};
    std::string out;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
        out.append(buf.data(), n);
    const int status = pclose(p);
    if (output)
        *output = out;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

LoopImage::LoopImage(const std::string& type, int sizeMiB) : type_(type)
{
    if (geteuid() != 0) {
        skip_ = "needs root to mount a loop image";
        return;
    }
    char tmpl[] = "/tmp/vantorel-img-XXXXXX";
    if (!mkdtemp(tmpl)) {
        skip_ = "cannot make a temporary folder";
        return;
    }
    dir_ = tmpl;
    image_ = dir_ + "/image";
    mount_ = dir_ + "/mnt";
    std::string out;
    const std::map<std::string, std::string> mkfsOf = {
        {"ext4", "mkfs.ext4 -q -F -b 4096 "}, {"ext2", "mkfs.ext2 -q -F -b 4096 "}, {"vfat", "mkfs.vfat "},
        {"xfs", "mkfs.xfs -q -f "},           {"btrfs", "mkfs.btrfs -q -f "}};
    const std::string mkfs = mkfsOf.at(type);
    if (Shell("truncate -s " + std::to_string(sizeMiB) + "M " + image_ + " && mkdir " + mount_ + " && " + mkfs +
                  image_,
              &out) != 0) {
        skip_ = "cannot make the image: " + out;
        return;
    }
    if (Shell("mount -o loop " + image_ + " " + mount_, &out) != 0) {
        skip_ = "cannot mount the " + type + " image (no loop device, or the kernel lacks " + type + "): " + out;
        return;
    }
    mounted_ = true;
}

LoopImage::~LoopImage()
{
    Unmount();
    if (!dir_.empty())
        Shell("rm -rf " + dir_);
}

bool LoopImage::Unmount()
{
    if (!mounted_)
        return true;
    mounted_ = Shell("umount " + mount_) != 0;
    return !mounted_;
}

bool LoopImage::Remount(const std::string& options)
{
    Unmount();
    mounted_ = Shell("mount -o loop" + (options.empty() ? "" : "," + options) + " " + image_ + " " + mount_) == 0;
    return mounted_;
}

bool LoopImage::FsckClean(std::string* output) const
{
    return Shell("e2fsck -fn " + image_, output) == 0;
}

void LoopImage::WriteInterleaved(const std::vector<std::string>& names, int blocks) const
{
    std::vector<int> fds;
    for (const std::string& n : names)
        fds.push_back(open(Path(n).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    std::mt19937 rng(7);
    std::vector<char> block(4096);
    for (int b = 0; b < blocks; ++b)
        for (int fd : fds) {
            for (char& c : block)
                c = char(rng());
            if (write(fd, block.data(), block.size()) != ssize_t(block.size()) || fsync(fd) != 0)
                std::abort();
        }
    for (int fd : fds)
        close(fd);
}

void LoopImage::WriteFile(const std::string& relative, size_t bytes) const
{
    std::ofstream out(Path(relative), std::ios::binary);
    std::mt19937 rng(11);
    for (size_t i = 0; i < bytes; ++i)
        out.put(char(rng()));
}

std::map<std::string, std::string> LoopImage::Checksums() const
{
    std::string out;
    Shell("cd " + mount_ + " && find . -xdev -type f -print0 | sort -z | xargs -0 -r sha256sum", &out);
    std::map<std::string, std::string> sums;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line))
        if (line.size() > 66)
            sums[line.substr(66)] = line.substr(0, 64);
    return sums;
}

int LoopImage::DebugfsRuns(const std::string& relative) const
{
    Shell("sync");
    std::string out;
    Shell("debugfs -c -R 'ex /" + relative + "' " + image_, &out);
    // Leaf lines: "L/ M  i/ n  lstart - lend  pstart - pend  len", leaves have L == M.
    std::istringstream in(out);
    std::string line;
    long long lastEnd = -2;
    int runs = 0;
    while (std::getline(in, line)) {
        int level, maxLevel, entry, entries;
        long long l0, l1, p0, p1, len;
        if (std::sscanf(line.c_str(), " %d/ %d %d/ %d %lld - %lld %lld - %lld %lld", &level, &maxLevel, &entry,
                        &entries, &l0, &l1, &p0, &p1, &len) == 9 ||
            (std::sscanf(line.c_str(), " %d/ %d %d/ %d %lld - %lld %lld %lld", &level, &maxLevel, &entry,
                         &entries, &l0, &l1, &p0, &len) == 8 &&
             (p1 = p0 + len - 1, true))) {
            if (level != maxLevel)
                continue;
            if (p0 != lastEnd + 1)
                ++runs;
            lastEnd = p1;
        }
    }
    return runs;
}
