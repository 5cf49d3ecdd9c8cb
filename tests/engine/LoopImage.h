#pragma once
// A file-system image made by a test and loop-mounted on a temporary folder;
// unmounted and deleted when the object goes. Needs root and a loop device:
// Skip() says why when it cannot be made.

#include <map>
#include <string>
#include <vector>

class LoopImage {
public:
    // type: "ext4", "ext2", "vfat", "xfs" or "btrfs"; sizeMiB: the image size.
    LoopImage(const std::string& type, int sizeMiB);
    ~LoopImage();

    // Empty when the image is mounted; otherwise why it is not.
    const std::string& Skip() const { return skip_; }
    const std::string& Mount() const { return mount_; }
    const std::string& Image() const { return image_; }
    std::string Path(const std::string& relative) const { return mount_ + "/" + relative; }

    bool Unmount();
    bool Remount(const std::string& options = "");
    // e2fsck -fn on the unmounted image: true when it finds nothing wrong.
    bool FsckClean(std::string* output = nullptr) const;

    // Writes `count` files of `blocks` 4 KiB blocks each, in turns and with
    // an fsync after every block, so that their blocks interleave.
    void WriteInterleaved(const std::vector<std::string>& names, int blocks) const;
    void WriteFile(const std::string& relative, size_t bytes) const;
    // SHA-256 of every regular file below the mount point, by path.
    std::map<std::string, std::string> Checksums() const;
    // The physically contiguous runs of a file as ext4's own tools see them.
    int DebugfsRuns(const std::string& relative) const;

private:
    std::string dir_, image_, mount_, type_, skip_;
    bool mounted_ = false;
};

// Runs a shell command; returns its exit status and, if asked, its output.
int Shell(const std::string& command, std::string* output = nullptr);
