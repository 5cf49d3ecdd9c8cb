// Draws the program's artwork, so that every picture can be regenerated and
// reviewed: PNG and JPEG through Qt, GIF through ImageMagick's convert.
// Usage: vantorel-artgen OUTPUT_DIR
// Also writes contact_sheet.png beside OUTPUT_DIR: every picture, read back
// from the written file, with its name and size.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QRadialGradient>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// One palette and one type face for the whole product.
const QColor kNavy(0x1B, 0x2A, 0x41);
const QColor kNavyDark(0x12, 0x1C, 0x2C);
const QColor kNavyLight(0x34, 0x48, 0x66);
const QColor kTeal(0x2E, 0xC4, 0xB6);
const QColor kTealDark(0x1F, 0x9E, 0x92);
const QColor kBody(0xEE, 0xF2, 0xF7);
const QColor kPanel(0xFF, 0xFF, 0xFF);
const QColor kLine(0xD5, 0xDD, 0xE8);
const QColor kMuted(0x8A, 0x99, 0xAD);
const QColor kText(0x1E, 0x1E, 0x1E);
const QColor kHeading(0x4A, 0x5A, 0x70);
const QColor kRed(215, 0, 0);
const QColor kOrange(255, 106, 0);
const QColor kGreen(0, 160, 0);
const char* kFace = "DejaVu Sans";

QFont Font(int px, bool bold = false)
{
    QFont f(kFace);
    f.setPixelSize(px);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QImage Canvas(int w, int h, QColor fill = Qt::transparent)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

void Smooth(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// The product mark: a disk platter with a row of tidy blocks.
void DrawMark(QPainter& p, QRectF r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kTeal);
    p.drawEllipse(r);
    p.setBrush(kNavyDark);
    p.drawEllipse(r.adjusted(r.width() * 0.18, r.height() * 0.18, -r.width() * 0.18, -r.height() * 0.18));
    p.setBrush(kTeal);
    const double s = r.width() * 0.12;
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(r.center().x() - 1.6 * s + i * 1.1 * s, r.center().y() - s / 2, s, s),
                          s * 0.2, s * 0.2);
}

// A hard disk seen from the front.
void DrawDisk(QPainter& p, QRectF r)
{
    const double u = r.width() / 32.0;
    QLinearGradient g(0, r.top() + 8 * u, 0, r.top() + 24 * u);
    g.setColorAt(0, QColor(0xC9, 0xD3, 0xE0));
    g.setColorAt(1, QColor(0x8E, 0x9C, 0xB0));
    p.setPen(QPen(kNavy, 1.2 * u));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(r.left() + 2.5 * u, r.top() + 8.5 * u, 27 * u, 16 * u), 3 * u, 3 * u);
    p.setPen(Qt::NoPen);
    p.setBrush(kNavyDark);
    p.drawRoundedRect(QRectF(r.left() + 5 * u, r.top() + 18 * u, 16 * u, 3.5 * u), 1.5 * u, 1.5 * u);
    p.setBrush(kTeal);
    p.drawEllipse(QPointF(r.left() + 25 * u, r.top() + 19.75 * u), 1.8 * u, 1.8 * u);
}

// ---- Windows and pages ----

// The product's dark band: navy fading to a darker navy, top to bottom.
void NavyBand(QPainter& p, const QRect& r)
{
    QLinearGradient g(0, r.top(), 0, r.bottom() + 1);
    g.setColorAt(0, kNavy);
    g.setColorAt(1, kNavyDark);
    p.fillRect(r, g);
}

QImage Splash()
{
    QImage img = Canvas(315, 170);
    QPainter p(&img);
    Smooth(p);
    NavyBand(p, img.rect());
    DrawMark(p, QRectF(24, 42, 64, 64));
    p.setPen(Qt::white);
    p.setFont(Font(30, true));
    p.drawText(QRectF(104, 40, 200, 40), Qt::AlignLeft | Qt::AlignVCenter, "Vantorel");
    p.setPen(kTeal);
    p.setFont(Font(13));
    p.drawText(QRectF(106, 80, 200, 22), Qt::AlignLeft | Qt::AlignVCenter, "Disk Defragmenter");
    for (int i = 0; i < 18; ++i)
        p.fillRect(QRectF(24 + i * 15, 134, 12, 8), i < 11 ? kTeal : kNavyLight);
    p.setPen(kMuted);
    p.setFont(Font(10));
    p.drawText(QRectF(24, 146, 267, 16), Qt::AlignLeft | Qt::AlignVCenter, "Starting up...");
    return img;
}

void TitleBar(QPainter& p, int w, int h, const QString& subtitle)
{
    NavyBand(p, QRect(0, 0, w, h));
    DrawMark(p, QRectF(22, (h - 36) / 2.0, 36, 36));
    p.setPen(Qt::white);
    p.setFont(Font(22, true));
    p.drawText(QRectF(68, 0, 300, h), Qt::AlignLeft | Qt::AlignVCenter, "Vantorel");
    p.setPen(kTeal);
    p.setFont(Font(11));
    p.drawText(QRectF(178, 2, 300, h), Qt::AlignLeft | Qt::AlignVCenter, subtitle);
}

QImage MainBackground()
{
    QImage img = Canvas(750, 550, kBody);
    QPainter p(&img);
    Smooth(p);
    TitleBar(p, 750, 64, "Disk Defragmenter");
    p.setPen(QPen(kLine, 1));
    p.setBrush(kPanel);
    p.drawRoundedRect(QRectF(14.5, 95.5, 721, 380), 6, 6);
    p.setPen(Qt::NoPen);
    p.fillRect(QRect(0, 518, 750, 32), QColor(0xE1, 0xE7, 0xEF));
    p.fillRect(QRect(0, 518, 750, 1), kLine);
    p.setPen(kMuted);
    p.setFont(Font(10));
    p.drawText(QRectF(480, 518, 250, 32), Qt::AlignRight | Qt::AlignVCenter, QString::fromUtf8("\u00A9 Quorbis Software"));
    return img;
}

// A white panel with a title and optional column headings (x, text).
QImage Panel(int w, int h, const QString& title, const std::vector<std::pair<int, QString>>& headings = {},
             int headingsRight = 0)
{
    QImage img = Canvas(w, h, kPanel);
    QPainter p(&img);
    Smooth(p);
    p.setPen(kNavy);
    p.setFont(Font(15, true));
    p.drawText(QRectF(17, 8, w - 34, 24), Qt::AlignLeft | Qt::AlignVCenter, title);
    if (!title.isEmpty())
        p.fillRect(QRectF(17, 33, 28, 3), kTeal);
    if (!headings.empty()) {
        const int right = headingsRight > 0 ? headingsRight : w - 17;
        p.fillRect(QRectF(17, 42, right - 17, 24), QColor(0xF3, 0xF6, 0xFA));
        p.setPen(kHeading);
        p.setFont(Font(11, true));
        for (const auto& [x, text] : headings)
            p.drawText(QRectF(x, 42, 220, 24), Qt::AlignLeft | Qt::AlignVCenter, text);
        p.fillRect(QRectF(17, 65, right - 17, 1), kLine);
    }
    p.setPen(QPen(kLine, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    return img;
}

QImage ScanSummary()
{
    QImage img = Panel(360, 265, "Scan summary");
    QPainter p(&img);
    p.fillRect(QRect(200, 44, 1, 200), kLine);
    return img;
}

QImage ScanSummaryBlank()
{
    QImage img = Panel(355, 265, "Scan summary");
    QPainter p(&img);
    Smooth(p);
    DrawDisk(p, QRectF(137, 36, 80, 80));
    p.setPen(kText);
    p.setFont(Font(15, true));
    p.drawText(QRectF(0, 118, 355, 24), Qt::AlignHCenter | Qt::AlignVCenter, "System Drives Health is");
    p.setPen(kRed);
    p.setFont(Font(34, true));
    p.drawText(QRectF(0, 142, 355, 46), Qt::AlignHCenter | Qt::AlignVCenter, "Low");
    p.setPen(kHeading);
    p.setFont(Font(12));
    p.drawText(QRectF(30, 190, 295, 40), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
               "We strongly recommend you to scan your system drives and defragment files.");
    return img;
}

QImage InfoBackground()
{
    QImage img = Canvas(500, 220, kPanel);
    QPainter p(&img);
    Smooth(p);
    NavyBand(p, QRect(0, 0, 500, 30));
    p.setPen(Qt::white);
    p.setFont(Font(13, true));
    p.drawText(QRectF(14, 0, 300, 30), Qt::AlignLeft | Qt::AlignVCenter, "Vantorel");
    // The information sign beside the message.
    p.setPen(Qt::NoPen);
    p.setBrush(kTeal);
    p.drawEllipse(QRectF(26, 62, 50, 50));
    p.setPen(Qt::white);
    p.setFont(Font(32, true));
    p.drawText(QRectF(26, 62, 50, 50), Qt::AlignCenter, "i");
    p.fillRect(QRect(0, 164, 500, 1), kLine);
    p.setPen(QPen(kLine, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 499, 219));
    return img;
}

QImage AboutBackground()
{
    QImage img = Canvas(500, 275, kPanel);
    QPainter p(&img);
    Smooth(p);
    NavyBand(p, QRect(0, 0, 500, 110));
    DrawMark(p, QRectF(30, 25, 60, 60));
    p.setPen(Qt::white);
    p.setFont(Font(30, true));
    p.drawText(QRectF(105, 22, 380, 40), Qt::AlignLeft | Qt::AlignVCenter, "Vantorel");
    p.setPen(kTeal);
    p.setFont(Font(13));
    p.drawText(QRectF(107, 60, 380, 24), Qt::AlignLeft | Qt::AlignVCenter, "Disk Defragmenter");
    p.setPen(kText);
    p.setFont(Font(12));
    p.drawText(QRectF(60, 134, 83, 18), Qt::AlignRight | Qt::AlignTop, "Version");
    p.setFont(Font(12));
    p.setPen(kHeading);
    p.drawText(QRectF(99, 170, 380, 60), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QString::fromUtf8("Keeps your drives tidy: finds fragmented files and puts them back "
                                 "in one piece.\n\u00A9 Quorbis Software. All rights reserved."));
    p.setPen(QPen(kLine, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 499, 274));
    return img;
}

QImage EditFrame(int w, int h)
{
    QImage img = Canvas(w, h, kPanel);
    QPainter p(&img);
    p.setPen(QPen(QColor(0xB4, 0xC0, 0xD0), 1));
    p.drawRect(0, 0, w - 1, h - 1);
    return img;
}

QImage Separator()
{
    QImage img = Canvas(670, 2, kPanel);
    QPainter p(&img);
    p.fillRect(QRect(0, 0, 670, 1), kLine);
    return img;
}

// A companion product's box, upright.
QImage ToolBox(const QColor& accent, const QString& name, const QString& glyph)
{
    QImage img = Canvas(100, 170, kPanel);
    QPainter p(&img);
    Smooth(p);
    QLinearGradient g(0, 10, 0, 160);
    g.setColorAt(0, accent.lighter(115));
    g.setColorAt(1, accent.darker(130));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(QRectF(16, 14, 74, 148), 6, 6);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(12, 8, 74, 148), 6, 6);
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawRect(QRectF(12, 100, 74, 3));
    p.setPen(Qt::white);
    p.setFont(Font(34, true));
    p.drawText(QRectF(12, 28, 74, 60), Qt::AlignCenter, glyph);
    p.setFont(Font(11, true));
    p.drawText(QRectF(12, 112, 74, 20), Qt::AlignCenter, name);
    p.setFont(Font(8));
    p.drawText(QRectF(12, 130, 74, 16), Qt::AlignCenter, "Quorbis");
    return img;
}

QImage ToolHeading(int w, int h, const QString& name, const QColor& accent)
{
    QImage img = Canvas(w, h, kPanel);
    QPainter p(&img);
    Smooth(p);
    p.setPen(accent.darker(120));
    p.setFont(Font(h - 5, true));
    p.drawText(QRectF(0, 0, w, h), Qt::AlignLeft | Qt::AlignVCenter, name);
    return img;
}

// ---- Buttons ----

enum class Look { NA, A, DN, GRAY };

// A rounded push button with a label; primary buttons are teal.
QImage Button(int w, int h, const QString& label, Look look, bool primary)
{
    QImage img = Canvas(w, h);
    QPainter p(&img);
    Smooth(p);
    QColor top = primary ? kTeal : QColor(0xF7, 0xF9, 0xFC), bottom = primary ? kTealDark : QColor(0xDD, 0xE4, 0xEE);
    QColor border = primary ? kTealDark.darker(115) : QColor(0xA9, 0xB6, 0xC8);
    QColor text = primary ? Qt::white : kNavy;
    if (look == Look::A) {
        top = top.lighter(110);
        bottom = bottom.lighter(108);
    } else if (look == Look::DN) {
        std::swap(top, bottom);
        top = top.darker(110);
    } else if (look == Look::GRAY) {
        top = QColor(0xE6, 0xE9, 0xED);
        bottom = QColor(0xD3, 0xD8, 0xDE);
        border = QColor(0xC3, 0xC9, 0xD1);
        text = QColor(0x9A, 0xA3, 0xAF);
    }
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(border, 1));
    p.setBrush(g);
    const double r = std::min(6.0, h / 3.0);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), r, r);
    p.setPen(text);
    p.setFont(Font(h >= 40 ? 17 : h >= 30 ? 13 : 11, true));
    const int shift = look == Look::DN ? 1 : 0;
    p.drawText(QRectF(shift, shift, w, h), Qt::AlignCenter, label);
    return img;
}

// The small caption buttons hanging from the top edge of a window.
QImage CaptionButton(int w, int h, bool close, Look look)
{
    QImage img = Canvas(w, h);
    QPainter p(&img);
    Smooth(p);
    QColor fill = close ? QColor(0xC0, 0x39, 0x2B) : kNavyLight;
    if (look == Look::A)
        fill = close ? QColor(0xE7, 0x4C, 0x3C) : kTealDark;
    else if (look == Look::DN)
        fill = fill.darker(130);
    QPainterPath path;
    path.moveTo(0, 0);
    path.lineTo(w, 0);
    path.lineTo(w, h - 4);
    path.quadTo(w, h, w - 4, h);
    path.lineTo(4, h);
    path.quadTo(0, h, 0, h - 4);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    const double cx = w / 2.0, cy = h / 2.0 - 0.5;
    if (close) {
        p.drawLine(QPointF(cx - 3.5, cy - 3.5), QPointF(cx + 3.5, cy + 3.5));
        p.drawLine(QPointF(cx + 3.5, cy - 3.5), QPointF(cx - 3.5, cy + 3.5));
    } else {
        p.drawLine(QPointF(cx - 4, cy + 3), QPointF(cx + 4, cy + 3));
    }
    return img;
}

// A flat link-like button of the bottom bar.
QImage BarButton(int w, int h, const QString& label, Look look)
{
    QImage img = Canvas(w, h);
    QPainter p(&img);
    Smooth(p);
    QColor text = kNavy;
    if (look == Look::A || look == Look::DN) {
        p.setPen(Qt::NoPen);
        p.setBrush(look == Look::A ? QColor(0xCF, 0xDA, 0xE6) : QColor(0xB8, 0xC6, 0xD6));
        p.drawRoundedRect(QRectF(0, 0, w, h), 4, 4);
    } else if (look == Look::GRAY) {
        text = QColor(0xA4, 0xAE, 0xBB);
    }
    p.setPen(text);
    p.setFont(Font(11, look != Look::GRAY));
    p.drawText(QRectF(0, look == Look::DN ? 1 : 0, w, h), Qt::AlignCenter, label);
    return img;
}

QImage CheckBox(bool ticked, Look look)
{
    QImage img = Canvas(13, 13);
    QPainter p(&img);
    Smooth(p);
    QColor border = look == Look::NA ? QColor(0x8A, 0x99, 0xAD) : kTealDark;
    QColor fill = look == Look::DN ? QColor(0xD8, 0xF3, 0xF0) : look == Look::A ? QColor(0xEE, 0xFB, 0xFA) : Qt::white;
    if (ticked) {
        fill = look == Look::DN ? kTealDark : look == Look::A ? kTeal.lighter(108) : kTeal;
        border = kTealDark;
    }
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, 12, 12), 2.5, 2.5);
    if (ticked) {
        p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(3.2, 6.6), QPointF(5.4, 8.9), QPointF(9.8, 3.9)}));
    }
    return img;
}

// ---- Page-header tabs ----

enum class Tab { Active, Inactive, Hot, Disabled };

QPainterPath TabShape(int x, int w, int h)
{
    QPainterPath path;
    path.moveTo(x, h);
    path.lineTo(x, 6);
    path.quadTo(x, 0, x + 6, 0);
    path.lineTo(x + w - 6, 0);
    path.quadTo(x + w, 0, x + w, 6);
    path.lineTo(x + w, h);
    path.closeSubpath();
    return path;
}

void DrawTab(QPainter& p, int x, int w, int h, const QString& label, Tab state)
{
    QColor fill = state == Tab::Active ? kPanel : state == Tab::Hot ? QColor(0xD2, 0xF1, 0xEE) : QColor(0xDC, 0xE3, 0xEC);
    QColor text = state == Tab::Active ? kNavy : state == Tab::Disabled ? QColor(0xA4, 0xAE, 0xBB) : kHeading;
    p.setPen(QPen(kLine, 1));
    p.setBrush(fill);
    p.drawPath(TabShape(x, w - 1, h));
    if (state == Tab::Active)
        p.fillRect(QRectF(x + 8, 2, w - 17, 3), kTeal);
    p.setPen(text);
    p.setFont(Font(12, state == Tab::Active));
    p.drawText(QRectF(x, 3, w, h - 3), Qt::AlignCenter, label);
}

QImage PageHead(Tab defrag, Tab freeScans)
{
    QImage img = Canvas(236, 25);
    QPainter p(&img);
    Smooth(p);
    DrawTab(p, 0, 118, 25, "Defrag", defrag);
    DrawTab(p, 118, 118, 25, "Free Scans", freeScans);
    return img;
}

// A tab's hot area: black on white, hard edges (the mask colour is white).
QImage TabMask(int x)
{
    QImage img = Canvas(236, 25, Qt::white);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(TabShape(x, 117, 25));
    return img;
}

// ---- Health gauges, bars, textures, animation ----

QImage Thermometer(int w, int h, const QColor& level, double share)
{
    QImage img = Canvas(w, h);
    QPainter p(&img);
    Smooth(p);
    const double u = w / 56.0;
    const QRectF tube(w / 2.0 - 9 * u, 6 * u, 18 * u, h - 44 * u);
    const QPointF bulbCentre(w / 2.0, h - 22 * u);
    const double bulbR = 17 * u;
    QPainterPath outline;
    outline.addRoundedRect(tube, 9 * u, 9 * u);
    outline.addEllipse(bulbCentre, bulbR, bulbR);
    p.setPen(QPen(kMuted, 1.5 * u));
    p.setBrush(QColor(0xF3, 0xF6, 0xFA));
    p.drawPath(outline.simplified());
    // The coloured column rises from the bulb to the level.
    const double top = tube.bottom() - (tube.height() - 10 * u) * share;
    QPainterPath column;
    column.addRoundedRect(QRectF(w / 2.0 - 5 * u, top, 10 * u, h - top - 22 * u), 5 * u, 5 * u);
    column.addEllipse(bulbCentre, bulbR - 4 * u, bulbR - 4 * u);
    p.setPen(Qt::NoPen);
    p.setBrush(level);
    p.drawPath(column.simplified());
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawEllipse(QPointF(bulbCentre.x() - 5 * u, bulbCentre.y() - 5 * u), 4 * u, 4 * u);
    p.setPen(QPen(kMuted, 1.2 * u));
    for (int i = 0; i < 5; ++i) {
        const double y = tube.top() + 10 * u + i * (tube.height() - 20 * u) / 4;
        p.drawLine(QPointF(tube.right() + 3 * u, y), QPointF(tube.right() + 9 * u, y));
    }
    return img;
}

QImage DriveRow(int w)
{
    QImage img = Canvas(w, 60, kPanel);
    QPainter p(&img);
    p.fillRect(QRect(8, 59, w - 16, 1), kLine);
    return img;
}

QImage BarBack(int w, int h)
{
    QImage img = Canvas(w, h, kPanel);
    QPainter p(&img);
    Smooth(p);
    p.setPen(QPen(QColor(0xC6, 0xD0, 0xDC), 1));
    p.setBrush(QColor(0xE8, 0xED, 0xF3));
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), h / 2.0 - 1, h / 2.0 - 1);
    return img;
}

QImage BarFill(int w, int h)
{
    QImage img = Canvas(w, h, kPanel);
    QPainter p(&img);
    Smooth(p);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, kTeal.lighter(112));
    g.setColorAt(1, kTealDark);
    p.setPen(QPen(kTealDark, 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), h / 2.0 - 1, h / 2.0 - 1);
    return img;
}

QImage GaugeBack(int w, int h)
{
    QImage img = Canvas(w, h, QColor(0xE8, 0xED, 0xF3));
    QPainter p(&img);
    p.fillRect(QRect(0, 0, w, 1), QColor(0xC6, 0xD0, 0xDC));
    p.fillRect(QRect(0, h - 1, w, 1), QColor(0xD6, 0xDE, 0xE8));
    for (int x = 9; x < w; x += 10)
        p.fillRect(QRect(x, 1, 1, h - 2), QColor(0xDF, 0xE5, 0xEC));
    return img;
}

QImage GaugeFill(int w, int h)
{
    QImage img = Canvas(w, h);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, kTeal.lighter(125));
    g.setColorAt(0.5, kTeal);
    g.setColorAt(1, kTealDark);
    p.fillRect(img.rect(), g);
    for (int x = 9; x < w; x += 10)
        p.fillRect(QRect(x, 0, 1, h), QColor(0x1F, 0x9E, 0x92, 90));
    return img;
}

QImage WaitFrame(int frame)
{
    QImage img = Canvas(36, 36);
    QPainter p(&img);
    Smooth(p);
    p.translate(18, 18);
    for (int i = 0; i < 12; ++i) {
        // The spoke at the frame's position is brightest; the others fade behind it.
        const int age = (frame - 1 - i + 12) % 12;
        QColor c = kTeal;
        c.setAlpha(255 - age * 18);
        p.save();
        p.rotate(i * 30.0);
        p.setPen(QPen(c, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, -8), QPointF(0, -15));
        p.restore();
    }
    return img;
}

QImage AppIcon(int size)
{
    QImage img = Canvas(size, size);
    QPainter p(&img);
    Smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawRoundedRect(QRectF(0, 0, size, size), size * 0.2, size * 0.2);
    DrawMark(p, QRectF(size * 0.12, size * 0.12, size * 0.76, size * 0.76));
    return img;
}

QImage DiskIcon(int size)
{
    QImage img = Canvas(size, size);
    QPainter p(&img);
    Smooth(p);
    DrawDisk(p, QRectF(0, 0, size, size));
    return img;
}

// ---- Output ----

struct Picture {
    QString file; // name with extension
    std::function<QImage()> draw;
};

std::vector<Picture> AllPictures()
{
    std::vector<Picture> v;
    auto add = [&](const QString& file, std::function<QImage()> draw) { v.push_back({file, std::move(draw)}); };
    const std::pair<Look, const char*> looks[] = {{Look::NA, "NA"}, {Look::A, "A"}, {Look::DN, "DN"}};

    add("bg_splash.png", Splash);
    add("bg_main.png", MainBackground);
    add("bg_info.jpg", InfoBackground);
    add("bg_about.gif", AboutBackground);
    add("bg_drives_ts4.gif", [] { return Panel(365, 364, "System Drives"); });
    add("bg_scansumm_ts4.gif", ScanSummary);
    add("bg_scansumm_ts4_blank.gif", ScanSummaryBlank);
    add("bg_scanprog_ts5.gif",
        [] { return Panel(720, 365, "Scan progress", {{61, "Drive"}, {497, "Fragmented files found"}}, 704); });
    add("bg_fixprog_ts7.gif", [] {
        return Panel(720, 365, "Fix progress", {{61, "Drive"}, {440, "Files found"}, {588, "Files fixed"}}, 704);
    });
    add("bg_scanres_ts6.gif", [] {
        return Panel(535, 365, "Scan results",
                     {{61, "Drive"}, {240, "Size"}, {321, "Fragmented Files"}, {438, "Fragments"}}, 518);
    });
    add("bg_health_ts6.gif", [] { return Panel(170, 270, "Scan summary"); });
    add("bg_fix_ts6.gif", [] { return Panel(170, 90, ""); });
    add("bg_settings_ts8.gif", [] { return Panel(720, 372, "Settings"); });
    add("bg_freescans_ts3.gif", [] { return Panel(720, 372, ""); });
    add("frame_edit_host.gif", [] { return EditFrame(226, 19); });
    add("frame_edit_port.gif", [] { return EditFrame(77, 19); });
    add("frame_edit_login.gif", [] { return EditFrame(110, 19); });
    add("line_separator.gif", Separator);
    add("tool1_box.png", [] { return ToolBox(QColor(0x2E, 0x86, 0xDE), "Helvorin", "H"); });
    add("tool1_head.png", [] { return ToolHeading(191, 21, "Helvorin", QColor(0x2E, 0x86, 0xDE)); });
    add("tool2_box.png", [] { return ToolBox(QColor(0x8E, 0x44, 0xAD), "Ostrakane", "O"); });
    add("tool2_head.png", [] { return ToolHeading(160, 22, "Ostrakane", QColor(0x8E, 0x44, 0xAD)); });

    struct Btn {
        const char* base;
        int w, h;
        const char* label;
        bool primary;
        bool gray;
    };
    const Btn buttons[] = {
        {"btn_scannow", 152, 32, "Scan Now", true, false},
        {"Btn_FixDrives", 152, 32, "Fix", true, true},
        {"BTN_BACK", 102, 32, "Back", false, false},
        {"BTN_CANCEL", 102, 32, "Cancel", false, false},
        {"BTN_OK", 102, 32, "OK", true, false},
        {"BTN_RETRY", 102, 32, "Retry", false, false},
        {"btn_freescans", 252, 52, "Free Scan", true, false},
    };
    for (const Btn& b : buttons) {
        for (const auto& [look, suffix] : looks)
            add(QString("%1_%2.png").arg(b.base, suffix), [b, look = look] { return Button(b.w, b.h, b.label, look, b.primary); });
        if (b.gray)
            add(QString("%1_GRAY.png").arg(b.base), [b] { return Button(b.w, b.h, b.label, Look::GRAY, b.primary); });
    }
    struct Bar {
        const char* base;
        int w;
        const char* label;
        bool gray;
    };
    const Bar barButtons[] = {{"BTN_SETTINGS", 71, "Settings", true}, {"BTN_HELP", 53, "Help", false}, {"BTN_ABOUT", 60, "About", false}};
    for (const Bar& b : barButtons) {
        for (const auto& [look, suffix] : looks)
            add(QString("%1_%2.png").arg(b.base, suffix), [b, look = look] { return BarButton(b.w, 23, b.label, look); });
        if (b.gray)
            add(QString("%1_GRAY.png").arg(b.base), [b] { return BarButton(b.w, 23, b.label, Look::GRAY); });
    }
    for (const auto& [look, suffix] : looks) {
        add(QString("BTN_MIN_%1.png").arg(suffix), [look = look] { return CaptionButton(24, 15, false, look); });
        add(QString("BTN_CLOSE_%1.png").arg(suffix), [look = look] { return CaptionButton(41, 15, true, look); });
        add(QString("BTN_CLOSE2_%1.png").arg(suffix), [look = look] { return CaptionButton(41, 15, true, look); });
        for (int state = 0; state < 2; ++state)
            add(QString("CHECKBOX_%1_%2.png").arg(state).arg(suffix), [state, look = look] { return CheckBox(state == 1, look); });
    }

    add("BtnPg_Defrag.png", [] { return PageHead(Tab::Active, Tab::Inactive); });
    add("BtnPg_Defrag_a2.png", [] { return PageHead(Tab::Active, Tab::Hot); });
    add("BtnPg_Defrag_na.png", [] { return PageHead(Tab::Active, Tab::Disabled); });
    add("BtnPg_FreeScans.png", [] { return PageHead(Tab::Inactive, Tab::Active); });
    add("BtnPg_FreeScans_a1.png", [] { return PageHead(Tab::Hot, Tab::Active); });
    add("BtnPg_Defrag_r2.gif", [] { return TabMask(118); });
    add("BtnPg_FreeScans_r1.gif", [] { return TabMask(0); });

    const std::tuple<const char*, QColor, double> levels[] = {{"red", kRed, 0.2}, {"orange", kOrange, 0.55}, {"green", kGreen, 0.9}};
    for (const auto& [name, colour, share] : levels) {
        add(QString("term1_%1.png").arg(name), [c = colour, s = share] { return Thermometer(56, 141, c, s); });
        add(QString("term2_%1.png").arg(name), [c = colour, s = share] { return Thermometer(28, 69, c, s); });
    }
    add("bg_drive_large.gif", [] { return DriveRow(326); });
    add("bg_drive_small.gif", [] { return DriveRow(308); });
    add("ts_prog_bg_large.gif", [] { return BarBack(224, 13); });
    add("ts_prog_bg_small.gif", [] { return BarBack(206, 13); });
    add("ts_prog_main_large.gif", [] { return BarFill(224, 13); });
    add("ts_prog_main_small.gif", [] { return BarFill(206, 13); });
    add("TS5PROG_BG.gif", [] { return GaugeBack(690, 20); });
    add("TS5PROG_MAIN.gif", [] { return GaugeFill(690, 20); });
    add("ts3downprog_bg.gif", [] { return GaugeBack(570, 20); });
    add("ts3downprog_main.gif", [] { return GaugeFill(570, 20); });
    for (int i = 1; i <= 12; ++i)
        add(QString("WAIT%1.png").arg(i), [i] { return WaitFrame(i); });
    for (int size : {16, 32, 48, 64})
        add(QString("icon_app_%1.png").arg(size), [size] { return AppIcon(size); });
    add("icon_drive-harddisk_32.png", [] { return DiskIcon(32); });
    add("icon_drive-harddisk_48.png", [] { return DiskIcon(48); });
    return v;
}

bool Write(const QImage& img, const QString& path, const QString& scratch)
{
    if (path.endsWith(".png"))
        return img.save(path, "png");
    if (path.endsWith(".jpg"))
        return img.convertToFormat(QImage::Format_RGB32).save(path, "jpeg", 92);
    // GIF: flattened onto white, quantised by ImageMagick without dithering
    // so that masks and flat colours stay exact.
    const QString tmp = scratch + "/pic.png";
    QImage flat(img.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, img);
    if (!flat.save(tmp, "png"))
        return false;
    return QProcess::execute("convert", {tmp, "+dither", "-colors", "256", "gif:" + path}) == 0;
}

void ContactSheet(const std::vector<std::pair<QString, QImage>>& pictures, const QString& path)
{
    const int pad = 14, label = 16, width = 1500, minCell = 200;
    // Lay the pictures out in rows, left to right.
    struct Placed {
        int x, y;
    };
    std::vector<Placed> at;
    int x = pad, y = pad, rowHeight = 0;
    for (const auto& [name, img] : pictures) {
        const int w = std::max(img.width(), minCell);
        if (x + w > width - pad && x > pad) {
            x = pad;
            y += rowHeight + label + pad;
            rowHeight = 0;
        }
        at.push_back({x, y});
        x += w + pad;
        rowHeight = std::max(rowHeight, img.height());
    }
    QImage sheet(width, y + rowHeight + label + pad, QImage::Format_RGB32);
    sheet.fill(QColor(0xB8, 0xC2, 0xCE));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const auto& [name, img] = pictures[i];
        p.setPen(Qt::black);
        p.setFont(Font(10, true));
        p.drawText(at[i].x, at[i].y + 12, QString("%1 %2x%3").arg(name).arg(img.width()).arg(img.height()));
        p.drawImage(at[i].x, at[i].y + label, img);
    }
    sheet.save(path);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantorel-artgen OUTPUT_DIR\n");
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(".");
    QTemporaryDir scratch;
    std::vector<std::pair<QString, QImage>> written;
    for (const Picture& pic : AllPictures()) {
        const QString path = out.filePath(pic.file);
        if (!Write(pic.draw(), path, scratch.path())) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        QImage back(path);
        if (back.isNull()) {
            std::fprintf(stderr, "cannot read back %s\n", qPrintable(path));
            return 1;
        }
        written.emplace_back(pic.file, back);
    }
    ContactSheet(written, out.filePath("../contact_sheet.png"));
    return 0;
}
