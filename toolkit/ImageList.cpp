#include "toolkit/ImageList.h"

#include "platform/Drives.h"

#include <QFile>
#include <QIcon>

void TImageList::SetHandle(const platform::SystemImageList* handle)
{
    handle_ = handle;
    icons_.clear();
    if (!handle)
        return;
    for (const std::string& name : handle->iconNames) {
        const QString n = QString::fromStdString(name);
        QPixmap pm;
        QIcon themed = QIcon::fromTheme(n);
        if (!themed.isNull())
            pm = themed.pixmap(width_, height_);
        if (pm.isNull()) {
            QString art = QString(":/art/icon_%1_%2.png").arg(n).arg(width_);
            if (!QFile::exists(art))
                art = QString(":/art/icon_drive-harddisk_%1.png").arg(width_);
            pm = QPixmap(art);
        }
        icons_.push_back(pm);
    }
}

QPixmap TImageList::Icon(int index) const
{
    if (index < 0 || index >= int(icons_.size()))
        return {};
    return icons_[size_t(index)];
}
