#pragma once
// Small helpers for building the windows' controls in code, as a form
// designer would place them.

#include <QColor>
#include <QString>

class QWidget;
class TImage;
class TLabel;
class TLSVGauge;

// An image control at (x, y) of w x h.
TImage* NewImage(QWidget* parent, int x, int y, int w, int h);
// A self-sizing Arial label at (x, y) with the given text colour.
TLabel* NewLabel(QWidget* parent, int x, int y, const QString& caption, int pixelSize, bool bold,
                 const QColor& colour = QColor(30, 30, 30));
// A plain horizontal percentage bar, 20 pixels high, with its percentage
// centred in bold black; its textures are loaded when its page is entered.
TLSVGauge* NewPercentGauge(QWidget* parent, int x, int y, int w);
// Half of a length, rounded to the nearest whole number, halves to even.
int HalfRounded(int value);
