// Draws the program's artwork into PNG files, so that every picture can be
// regenerated and reviewed. Usage: vantorel-artgen OUTPUT_DIR
// Also writes contact_sheet.png, every picture with its name.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>
#include <map>

namespace {

// One palette and one type face for the whole product.
const QColor kNavy(0x1B, 0x2A, 0x41);
const QColor kNavyDark(0x12, 0x1C, 0x2C);
const QColor kTeal(0x2E, 0xC4, 0xB6);
const QColor kBody(0xEE, 0xF2, 0xF7);
const QColor kPanel(0xFF, 0xFF, 0xFF);
const QColor kLine(0xD5, 0xDD, 0xE8);
const QColor kMuted(0x8A, 0x99, 0xAD);
const char* kFace = "DejaVu Sans";

QFont Font(int px, bool bold = false)
{
    QFont f(kFace);
    f.setPixelSize(px);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// The product mark: a disk platter with a row of tidy blocks.
void DrawMark(QPainter& p, QRectF r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kTeal);
    p.drawEllipse(r);
    p.setBrush(kNavyDark);
    p.drawEllipse(r.adjusted(r.width() * 0.18, r.height() * 0.18, -r.width() * 0.18,
                             -r.height() * 0.18));
    p.setBrush(kTeal);
    const double s = r.width() * 0.12;
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(r.center().x() - 1.5 * s - 0.1 * s + i * 1.1 * s,
                                 r.center().y() - s / 2, s, s),
                          s * 0.2, s * 0.2);
}

QImage Canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QImage Splash()
{
    QImage img = Canvas(315, 170);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient g(0, 0, 0, 170);
    g.setColorAt(0, kNavy);
    g.setColorAt(1, kNavyDark);
    p.fillRect(img.rect(), g);
    DrawMark(p, QRectF(24, 42, 64, 64));
    p.setPen(Qt::white);
    p.setFont(Font(30, true));
    p.drawText(QRectF(104, 40, 200, 40), Qt::AlignLeft | Qt::AlignVCenter, "Vantorel");
    p.setPen(kTeal);
    p.setFont(Font(13));
    p.drawText(QRectF(106, 80, 200, 22), Qt::AlignLeft | Qt::AlignVCenter, "Disk Defragmenter");
    // A strip of blocks falling into order.
    for (int i = 0; i < 18; ++i) {
        QColor c = i < 11 ? kTeal : QColor(0x3A, 0x4D, 0x6A);
        p.fillRect(QRectF(24 + i * 15, 134, 12, 8), c);
    }
    p.setPen(kMuted);
    p.setFont(Font(10));
    p.drawText(QRectF(24, 146, 267, 16), Qt::AlignLeft | Qt::AlignVCenter, "Starting up...");
    return img;
}

QImage MainBackground()
{
    QImage img = Canvas(750, 550);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(img.rect(), kBody);
    QLinearGradient g(0, 0, 0, 64);
    g.setColorAt(0, kNavy);
    g.setColorAt(1, kNavyDark);
    p.fillRect(QRect(0, 0, 750, 64), g);
    DrawMark(p, QRectF(22, 14, 36, 36));
    p.setPen(Qt::white);
    p.setFont(Font(22, true));
    p.drawText(QRectF(68, 12, 300, 40), Qt::AlignLeft | Qt::AlignVCenter, "Vantorel");
    p.setPen(kTeal);
    p.setFont(Font(11));
    p.drawText(QRectF(178, 12, 300, 42), Qt::AlignLeft | Qt::AlignVCenter, "Disk Defragmenter");
    // Content panel under the page tabs.
    p.setPen(QPen(kLine, 1));
    p.setBrush(kPanel);
    p.drawRoundedRect(QRectF(20.5, 96.5, 709, 414), 6, 6);
    // Bottom bar.
    p.setPen(Qt::NoPen);
    p.fillRect(QRect(0, 518, 750, 32), QColor(0xE1, 0xE7, 0xEF));
    p.fillRect(QRect(0, 518, 750, 1), kLine);
    p.setPen(kMuted);
    p.setFont(Font(10));
    p.drawText(QRectF(480, 518, 250, 32), Qt::AlignRight | Qt::AlignVCenter,
               QString::fromUtf8("\u00A9 Quorbis Software"));
    return img;
}

// A hard disk seen from the front, in the product's colours.
QImage DiskIcon(int size)
{
    QImage img = Canvas(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double u = size / 32.0;
    QLinearGradient g(0, 6 * u, 0, 26 * u);
    g.setColorAt(0, QColor(0xC9, 0xD3, 0xE0));
    g.setColorAt(1, QColor(0x8E, 0x9C, 0xB0));
    p.setPen(QPen(kNavy, 1.2 * u));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2.5 * u, 8.5 * u, 27 * u, 16 * u), 3 * u, 3 * u);
    p.setPen(Qt::NoPen);
    p.setBrush(kNavyDark);
    p.drawRoundedRect(QRectF(5 * u, 18 * u, 16 * u, 3.5 * u), 1.5 * u, 1.5 * u);
    p.setBrush(kTeal);
    p.drawEllipse(QPointF(25 * u, 19.75 * u), 1.8 * u, 1.8 * u);
    return img;
}

void ContactSheet(const std::map<QString, QImage>& pictures, const QString& path)
{
    const int pad = 16, label = 18, columnWidth = 770;
    int height = pad;
    for (const auto& [name, img] : pictures)
        height += img.height() + label + pad;
    QImage sheet(columnWidth + 2 * pad, height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xFA, 0xFA, 0xFA));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::TextAntialiasing);
    int y = pad;
    for (const auto& [name, img] : pictures) {
        p.setPen(Qt::black);
        p.setFont(Font(12, true));
        p.drawText(pad, y + 13, QString("%1  (%2 x %3)").arg(name).arg(img.width()).arg(img.height()));
        y += label;
        p.drawImage(pad, y, img);
        y += img.height() + pad;
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
    const std::map<QString, std::function<QImage()>> pictures{
        {"bg_splash.png", Splash},
        {"bg_main.png", MainBackground},
        {"icon_drive-harddisk_32.png", [] { return DiskIcon(32); }},
        {"icon_drive-harddisk_48.png", [] { return DiskIcon(48); }},
    };
    std::map<QString, QImage> drawn;
    for (const auto& [name, draw] : pictures) {
        QImage img = draw();
        if (!img.save(out.filePath(name))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(out.filePath(name)));
            return 1;
        }
        drawn[name] = img;
    }
    ContactSheet(drawn, out.filePath("../contact_sheet.png"));
    return 0;
}
