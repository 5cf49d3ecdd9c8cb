#include "ui/uControls.h"

#include "controls/cm_LSVGauges.h"
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

TLSVGauge* NewPercentGauge(QWidget* parent, int x, int y, int w)
{
    auto* gauge = new TLSVGauge(parent);
    gauge->SetLoading(true);
    gauge->SetBounds(x, y, w, 20);
    gauge->SetKind(lgkHorizontalBar);
    gauge->SetBorderStyle(bsNone);
    gauge->SetFrame3D(false);
    gauge->SetForeColor(QColor(0, 0, 128));
    gauge->SetText(QStringLiteral("%d%%"));
    gauge->SetShowText(true);
    gauge->SetHorTextAlignment(taCenter);
    gauge->SetVerTextAlignment(taCentered);
    TGFont font;
    font.SetFont(MakeFont(QStringLiteral("Tahoma"), 11, true));
    font.SetColor(Qt::black);
    font.SetFixTextColor(true);
    gauge->SetFont(font);
    gauge->SetTransparentBack(false);
    gauge->SetTransparentFore(false);
    gauge->SetLoading(false);
    return gauge;
}

int HalfRounded(int value) { return int(RoundHalfEven(value / 2.0L)); }
