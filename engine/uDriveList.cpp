#include "engine/uDriveList.h"

#include "core/uFormat.h"
#include "platform/Drives.h"
#include "toolkit/ImageList.h"

#include <algorithm>

using namespace platform;

std::string TrimText(const std::string& text)
{
    size_t b = 0, e = text.size();
    while (b < e && (unsigned char)text[b] <= ' ')
        ++b;
    while (e > b && (unsigned char)text[e - 1] <= ' ')
        --e;
    return text.substr(b, e - b);
}

const SystemImageList* GetSystemImageList(int32_t sizeClass)
{
    return Drives().GetSystemImageList(sizeClass);
}

std::string GetVolumeFileSystem(const std::string& root)
{
    std::string label, fs;
    if (!Drives().GetVolumeInformation(root, &label, &fs))
        return "";
    return fs.substr(0, fs.find('\0'));
}

void GetDriveSpace(const std::string& root, int64_t& total, int64_t& freeAvailable)
{
    uint64_t avail = 0, all = 0, allFree = 0;
    if (!Drives().GetDiskFreeSpaceEx(root, &avail, &all, &allFree)) {
        total = freeAvailable = 0;
        return;
    }
    total = int64_t(all);
    freeAvailable = int64_t(avail);
}

void BuildDriveList(TDriveList& list, int32_t& count, TImageList* largeIcons,
                    TImageList* extraLargeIcons)
{
    count = 0;
    list.clear();
    if (largeIcons)
        largeIcons->SetHandle(GetSystemImageList(0));
    if (extraLargeIcons)
        extraLargeIcons->SetHandle(GetSystemImageList(2));

    IDrives& drives = Drives();
    const uint32_t oldMode = drives.SetErrorMode(kSemNoOpenFileErrorBox);
    struct RestoreMode {
        IDrives& d;
        uint32_t mode;
        ~RestoreMode() { d.SetErrorMode(mode); }
    } restore{drives, oldMode};

    for (const std::string& root : drives.LogicalDriveStrings()) {
        if (drives.GetDriveType(root) != kDriveFixed)
            continue;
        std::string displayName;
        int iconIndex = 0;
        drives.GetFileInfo(root, &displayName, &iconIndex);
        const std::string fileSystem = TrimText(GetVolumeFileSystem(root));
        if (fileSystem.empty())
            continue;
        ++count;
        list.resize(size_t(count));
        TDriveListItem& item = list.back();
        item.DisplayName = TrimText(displayName);
        // A drive the shell gives no name is shown by its root.
        if (item.DisplayName.empty())
            item.DisplayName = root;
        item.RootPath = root;
        item.IconIndex = iconIndex;
        item.AnalysisTotal = 0;
        item.FragmentedFiles = 0;
        item.Fragments = 0;
        item.Selected = true;
        item.CheckState = kCheckStateNormal;
        item.FileSystem = fileSystem;

        int64_t total = 0, freeAvailable = 0;
        GetDriveSpace(root, total, freeAvailable);
        item.TotalSizeText = FormatSize(total);
        item.FreeSizeText = FormatSize(freeAvailable);
        // A size that cannot be read shows as 0 Bytes with no free space.
        item.FreePercent = total > 0 ? uint8_t(std::clamp<int64_t>(
                                           RoundHalfEven((long double)freeAvailable / total * 100), 0, 100))
                                     : 0;
    }
}
