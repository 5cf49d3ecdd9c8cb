#include "toolkit/TrayIcon.h"

#include "toolkit/Menus.h"

TTrayIcon::TTrayIcon(QObject* owner) : QObject(owner)
{
    QObject::connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
        if (why == QSystemTrayIcon::DoubleClick)
            Fire(OnDblClick, this);
    });
}

void TTrayIcon::SetIcon(const QIcon& icon) { icon_.setIcon(icon); }

void TTrayIcon::SetHint(const QString& hint)
{
    hint_ = hint;
    icon_.setToolTip(hint);
}

void TTrayIcon::SetPopupMenu(TPopupMenu* menu)
{
    menu_ = menu;
    icon_.setContextMenu(menu ? menu->Menu() : nullptr);
}

void TTrayIcon::SetVisible(bool visible)
{
    visible_ = visible;
    icon_.setVisible(visible);
}
