#pragma once
// A list of icons of one size, attached to a system image list: each icon
// name is taken from the desktop's icon theme, or else from the program's
// artwork (":/art/icon_<name>_<size>.png"). The attached list is shared,
// never owned. Main thread only.

#include <QPixmap>

#include <vector>

namespace platform { struct SystemImageList; }

class TImageList {
public:
    TImageList(int width, int height) : width_(width), height_(height) {}

    void SetHandle(const platform::SystemImageList* handle);
    const platform::SystemImageList* Handle() const { return handle_; }
    int Count() const { return int(icons_.size()); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // A null picture for an index outside the list.
    QPixmap Icon(int index) const;

private:
    int width_, height_;
    const platform::SystemImageList* handle_ = nullptr;
    std::vector<QPixmap> icons_;
};
