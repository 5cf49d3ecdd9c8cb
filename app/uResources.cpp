#include "app/uResources.h"

#include "toolkit/Image.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QWidget>

#include <map>
#include <vector>

namespace {

// Upper-case base name -> resource path, built once from ":/art".
const std::map<QString, QString>& ResourceIndex()
{
    static const std::map<QString, QString> index = [] {
        std::map<QString, QString> m;
        const QDir dir(QStringLiteral(":/art"));
        for (const QFileInfo& f : dir.entryInfoList(QDir::Files))
            m.emplace(f.completeBaseName().toUpper(), f.filePath());
        return m;
    }();
    return index;
}

// Whether data starts the way files of the format do; a reader given the
// wrong kind of data would otherwise hand it to another decoder.
bool HasSignature(const QByteArray& data, const char* format)
{
    if (qstrcmp(format, "png") == 0)
        return data.startsWith("\x89PNG\r\n\x1a\n");
    if (qstrcmp(format, "gif") == 0)
        return data.startsWith("GIF87a") || data.startsWith("GIF89a");
    return data.startsWith("\xff\xd8\xff");
}

QImage Decode(const QString& name, const char* format)
{
    QByteArray data = ResourceData(name);
    const QString kind = QString::fromLatin1(format).toUpper();
    if (!HasSignature(data, format))
        throw EInvalidGraphic(QStringLiteral("Invalid %1 image: %2 holds no %1 data").arg(kind, name).toStdString());
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    QImage img;
    if (!reader.read(&img) || img.isNull())
        throw EInvalidGraphic(
            QStringLiteral("Invalid %1 image: %2: %3").arg(kind, name, reader.errorString()).toStdString());
    return img;
}

} // namespace

QByteArray ResourceData(const QString& Name)
{
    const auto& index = ResourceIndex();
    const auto it = index.find(Name.toUpper());
    if (it == index.end())
        throw EResNotFound(QStringLiteral("Resource %1 not found").arg(Name).toStdString());
    QFile f(it->second);
    if (!f.open(QIODevice::ReadOnly))
        throw EResNotFound(QStringLiteral("Resource %1 not found").arg(Name).toStdString());
    return f.readAll();
}

void LoadPngResource(const QString& Name, QImage& Picture) { Picture = Decode(Name, "png"); }

void LoadPngResource(const QString& Name, TImage* Picture) { Picture->SetPicture(Decode(Name, "png")); }

void LoadGifResource(const QString& Name, QImage& Graphic) { Graphic = Decode(Name, "gif"); }

void LoadGifResource(const QString& Name, TImage* Graphic) { Graphic->SetPicture(Decode(Name, "gif")); }

void LoadJpegResource(const QString& Name, QImage& Graphic) { Graphic = Decode(Name, "jpeg"); }

void LoadJpegResource(const QString& Name, TImage* Graphic)
{
    Graphic->SetPicture(Decode(Name, "jpeg"));
}

void LoadRegionResource(QRegion& Region, const QString& Name)
{
    Region = QRegion();
    QImage bitmap;
    LoadGifResource(Name, bitmap);
    Region = RegionFromBitmap(bitmap);
}

QRegion RegionFromBitmap(const QImage& Bitmap)
{
    const int w = Bitmap.width(), h = Bitmap.height();
    QRegion region(0, 0, w, h);
    if (w == 0 || h == 0)
        return region;
    const QImage img = Bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb mask = img.pixel(0, 0);
    // Runs of the mask colour, row by row, are cut out in one subtraction.
    std::vector<QRect> runs;
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int x = 0;
        while (x < w) {
            const QRgb c = row[x];
            int end = x;
            while (end + 1 < w && row[end + 1] == c)
                ++end;
            if (c == mask)
                runs.emplace_back(QPoint(x, y), QPoint(end, y));
            x = end + 1;
        }
    }
    QRegion cut;
    cut.setRects(runs.data(), int(runs.size()));
    return region.subtracted(cut);
}

bool HasClearTypeQuality(const QFont& font)
{
    return (font.styleStrategy() & QFont::PreferAntialias) != 0;
}

void ApplyClearTypeFonts(QWidget* Control)
{
    for (QObject* child : Control->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w)
            continue;
        QFont f = w->font();
        f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::PreferQuality));
        w->setFont(f);
        if (!w->children().isEmpty())
            ApplyClearTypeFonts(w);
    }
}

namespace {
TImage* ImageOf(QObject* sender) { return static_cast<TImage*>(sender); }
} // namespace

void SkinButton(TImage* Button, const QString& Base, bool OnlyWhileEnabled)
{
    auto load = [Base, OnlyWhileEnabled](QObject* sender, const char* suffix) {
        TImage* img = ImageOf(sender);
        if (OnlyWhileEnabled && !img->Enabled())
            return;
        LoadPngResource(Base + QLatin1String(suffix), img);
    };
    Button->OnMouseEnter = [load](QObject* s) { load(s, "_A"); };
    Button->OnMouseLeave = [load](QObject* s) { load(s, "_NA"); };
    Button->OnMouseDown = [load](QObject* s, TMouseButton, int, int) { load(s, "_DN"); };
    Button->OnMouseUp = [load](QObject* s, TMouseButton, int, int) { load(s, "_NA"); };
}

void PaintCheckBox(TImage* Box, const char* Look)
{
    LoadPngResource(QStringLiteral("CHECKBOX_%1_%2").arg(Box->Tag != 0 ? 1 : 0).arg(QLatin1String(Look)),
                    Box);
}

void SkinCheckBox(TImage* Box)
{
    Box->OnMouseEnter = [](QObject* s) { PaintCheckBox(ImageOf(s), "A"); };
    Box->OnMouseLeave = [](QObject* s) { PaintCheckBox(ImageOf(s), "NA"); };
    Box->OnMouseDown = [](QObject* s, TMouseButton, int, int) { PaintCheckBox(ImageOf(s), "DN"); };
    Box->OnMouseUp = [](QObject* s, TMouseButton, int, int) { PaintCheckBox(ImageOf(s), "NA"); };
    Box->OnClick = [](QObject* s) {
        TImage* box = ImageOf(s);
        box->Tag = box->Tag == 0 ? 1 : 0;
        PaintCheckBox(box, "A");
    };
}
