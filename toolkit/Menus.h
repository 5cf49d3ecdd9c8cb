#pragma once
// A pop-up menu of plain items; a caption "-" makes a separator. Main
// thread only.

#include "toolkit/Guard.h"

#include <QMenu>

#include <vector>

class TMenuItem {
public:
    TMenuItem(QString caption, QAction* action) : caption_(std::move(caption)), action_(action) {}
    QString Caption() const { return caption_; }
    QAction* Action() const { return action_; }
    // Runs OnClick as a choice of the item would.
    void Click();

    TNotifyEvent OnClick;

private:
    QString caption_;
    QAction* action_;
};

class TPopupMenu {
public:
    TPopupMenu();
    ~TPopupMenu();
    TPopupMenu(const TPopupMenu&) = delete;
    TPopupMenu& operator=(const TPopupMenu&) = delete;

    TMenuItem* Add(const QString& caption);
    int Count() const { return int(items_.size()); }
    TMenuItem* Item(int index) const { return items_[size_t(index)].get(); }
    QMenu* Menu() { return &menu_; }

private:
    QMenu menu_;
    std::vector<std::unique_ptr<TMenuItem>> items_;
};
