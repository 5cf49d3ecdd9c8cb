#include "toolkit/Menus.h"

void TMenuItem::Click() { Fire(OnClick, action_); }

TPopupMenu::TPopupMenu() = default;
TPopupMenu::~TPopupMenu() = default;

TMenuItem* TPopupMenu::Add(const QString& caption)
{
    QAction* action = caption == QStringLiteral("-") ? menu_.addSeparator() : menu_.addAction(caption);
    items_.push_back(std::make_unique<TMenuItem>(caption, action));
    TMenuItem* item = items_.back().get();
    QObject::connect(action, &QAction::triggered, action, [item] { item->Click(); });
    return item;
}
