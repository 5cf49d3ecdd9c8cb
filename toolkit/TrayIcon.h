#pragma once
// The program's icon in the notification area, with a hint, a pop-up menu
// and a double-click event. Where the desktop has no notification area the
// icon keeps its state and shows nothing. Main thread only.

#include "toolkit/Guard.h"

#include <QIcon>
#include <QSystemTrayIcon>

class TPopupMenu;

class TTrayIcon : public QObject {
public:
    explicit TTrayIcon(QObject* owner);

    void SetIcon(const QIcon& icon);
    QString Hint() const { return hint_; }
    void SetHint(const QString& hint);
    void SetPopupMenu(TPopupMenu* menu);
    TPopupMenu* PopupMenu() const { return menu_; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    TNotifyEvent OnDblClick;

private:
    QSystemTrayIcon icon_;
    QString hint_;
    TPopupMenu* menu_ = nullptr;
    bool visible_ = false;
};
