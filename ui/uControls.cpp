#include "ui/uControls.h"

#include "core/uFormat.h"
#include "toolkit/Image.h"
#include "toolkit/StdCtrls.h"

TImage* NewImage(QWidget* parent, int x, int y, int w, int h)
{
    auto* im = new TImage(parent);
    im->SetBounds(x, y, w, h);
    return im;
}

TLabel* NewLabel(QWidget* parent, int x, int y, const QString& caption, int pixelSize, bool bold,
                 const QColor& colour)
{
    auto* lb = new TLabel(parent, caption);
    lb->SetFont(MakeFont(QStringLiteral("Arial"), pixelSize, bold));
    lb->SetFontColor(colour);
    lb->move(x, y);
    return lb;
}

int HalfRounded(int value) { return int(RoundHalfEven(value / 2.0L)); }
