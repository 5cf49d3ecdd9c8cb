#include "toolkit/ComCtrls.h"

TTabSheet::TTabSheet(TPageControl* pageControl, const QString& caption)
    : QWidget(pageControl), caption_(caption)
{
    pageControl->addWidget(this);
}

TPageControl::TPageControl(QWidget* parent) : QStackedWidget(parent) {}

void TPageControl::SetBounds(int x, int y, int width, int height) { setGeometry(x, y, width, height); }

TTabSheet* TPageControl::Page(int index) const { return static_cast<TTabSheet*>(widget(index)); }

void TPageControl::SetActivePageIndex(int index)
{
    if (index >= 0 && index < count())
        setCurrentIndex(index);
}

TTabSheet* TPageControl::ActivePage() const { return static_cast<TTabSheet*>(currentWidget()); }

void TPageControl::SetActivePage(TTabSheet* sheet) { setCurrentWidget(sheet); }
