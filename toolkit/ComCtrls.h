#pragma once
// A page control whose tabs are never shown: one sheet is visible at a time
// and only code switches them. The page control owns its sheets. Main
// thread only.

#include <QStackedWidget>

class TPageControl;

class TTabSheet : public QWidget {
public:
    // Appends the sheet to the page control's pages.
    TTabSheet(TPageControl* pageControl, const QString& caption);
    QString Caption() const { return caption_; }

private:
    QString caption_;
};

class TPageControl : public QStackedWidget {
public:
    explicit TPageControl(QWidget* parent);

    void SetBounds(int x, int y, int width, int height);
    int PageCount() const { return count(); }
    TTabSheet* Page(int index) const;
    int ActivePageIndex() const { return currentIndex(); }
    void SetActivePageIndex(int index);
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* sheet);
};
