#include "controls/cm_LSVGauges.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// A rectangle the way the paint steps give it: right and bottom exclusive.
struct TRect {
    int Left, Top, Right, Bottom;
};

QRect Q(int left, int top, int right, int bottom)
{
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

QImage NewBitmap(int w, int h, QColor fill)
{
    QImage img(std::max(w, 0), std::max(h, 0), QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

void FillRect(QImage& bmp, QRect r, QColor c)
{
    if (bmp.isNull() || r.isEmpty())
        return;
    QPainter p(&bmp);
    p.fillRect(r, c);
}

// Fills r with the bitmap as a pattern brush, tiled from the bitmap's own
// top-left corner at the target's origin.
void FillPattern(QImage& bmp, QRect r, const QImage& pattern)
{
    if (bmp.isNull() || r.isEmpty() || pattern.isNull())
        return;
    QPainter p(&bmp);
    p.setBrushOrigin(0, 0);
    p.fillRect(r, QBrush(pattern));
}

// Draws src at (x, y), leaving out the pixels of src's bottom-left colour.
void DrawTransparent(QImage& dst, int x, int y, const QImage& src)
{
    if (src.isNull())
        return;
    const QImage s = src.convertToFormat(QImage::Format_RGB32);
    const QRgb key = s.pixel(0, s.height() - 1);
    for (int sy = 0; sy < s.height(); ++sy) {
        const int dy = y + sy;
        if (dy < 0 || dy >= dst.height())
            continue;
        const auto* in = reinterpret_cast<const QRgb*>(s.constScanLine(sy));
        auto* out = reinterpret_cast<QRgb*>(dst.scanLine(dy));
        for (int sx = 0; sx < s.width(); ++sx) {
            const int dx = x + sx;
            if (dx >= 0 && dx < dst.width() && (in[sx] & 0xFFFFFF) != (key & 0xFFFFFF))
                out[dx] = in[sx];
        }
    }
}

void Blit(QImage& dst, int dx, int dy, const QImage& src, QRect from)
{
    QPainter p(&dst);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(dx, dy), src, from);
}

QRgb Inverted(QColor c) { return qRgb(255 - c.red(), 255 - c.green(), 255 - c.blue()); }

QImage Rgb32(const QImage& img)
{
    return img.isNull() ? QImage() : img.convertToFormat(QImage::Format_RGB32);
}

} // namespace

void TBltBitmap::MakeLike(const QImage& Bitmap)
{
    *this = TBltBitmap(Bitmap.width(), Bitmap.height(), QImage::Format_RGB32);
}

// ---- TGFont ----

TGFont::TGFont() = default;

void TGFont::Changed()
{
    if (OnChange)
        OnChange();
}

void TGFont::SetFont(const QFont& font)
{
    font_ = font;
    Changed();
}

void TGFont::SetColor(const QColor& color)
{
    if (color == color_)
        return;
    color_ = color;
    Changed();
}

void TGFont::SetColorOnFilled(const QColor& color)
{
    if (color == colorOnFilled_)
        return;
    colorOnFilled_ = color;
    Changed();
}

void TGFont::SetColorOnBackground(const QColor& color)
{
    if (color == colorOnBackground_)
        return;
    colorOnBackground_ = color;
    Changed();
}

void TGFont::SetFixTextColor(bool fix)
{
    if (fix == fixTextColor_)
        return;
    fixTextColor_ = fix;
    Changed();
}

// ---- TLSVGauge: values ----

TLSVGauge::TLSVGauge(QWidget* parent) : QWidget(parent)
{
    resize(150, 20);
    setAttribute(Qt::WA_OpaquePaintEvent);
    font_.OnChange = [this] { Repaint(); };
}

void TLSVGauge::SetBounds(int x, int y, int width, int height)
{
    setGeometry(x, y, width, height);
    Repaint();
}

int TLSVGauge::PercentDone() const
{
    if (maxValue_ == minValue_)
        return 0;
    return int((int64_t(progress_) - minValue_) * 100 / (int64_t(maxValue_) - minValue_));
}

static std::string RangeMessage(int64_t low, int64_t high)
{
    return "Value must be between " + std::to_string(low) + " and " + std::to_string(high);
}

void TLSVGauge::SetMinValue(int value)
{
    if (value > maxValue_ && !loading_)
        throw EInvalidOperation(RangeMessage(-2147483647, int64_t(maxValue_) - 1));
    minValue_ = value;
    if (progress_ < minValue_)
        progress_ = minValue_;
    Repaint();
}

void TLSVGauge::SetMaxValue(int value)
{
    if (value < minValue_ && !loading_)
        throw EInvalidOperation(RangeMessage(int64_t(minValue_) + 1, 2147483647));
    maxValue_ = value;
    if (progress_ > maxValue_)
        progress_ = maxValue_;
    Repaint();
}

void TLSVGauge::SetProgress(int value)
{
    const int before = PercentDone();
    value = std::max(minValue_, std::min(value, maxValue_));
    if (value == progress_)
        return;
    progress_ = value;
    if (PercentDone() != before)
        Repaint();
}

#define GAUGE_SETTER(Name, Type, field)                                                            \
    void TLSVGauge::Set##Name(Type value)                                                          \
    {                                                                                              \
        if (field == value)                                                                        \
            return;                                                                                \
        field = value;                                                                             \
        Repaint();                                                                                 \
    }

GAUGE_SETTER(Kind, TLSVGaugeKind, kind_)
GAUGE_SETTER(ShowText, bool, showText_)
GAUGE_SETTER(Text, const QString&, text_)
GAUGE_SETTER(HorTextAlignment, TAlignment, horTextAlignment_)
GAUGE_SETTER(VerTextAlignment, TLSVVerAlignment, verTextAlignment_)
GAUGE_SETTER(TextInCenterFore, bool, textInCenterFore_)
GAUGE_SETTER(BorderStyle, TBorderStyle, borderStyle_)
GAUGE_SETTER(BorderColor, const QColor&, borderColor_)
GAUGE_SETTER(ForeColor, const QColor&, foreColor_)
GAUGE_SETTER(Frame3D, bool, frame3D_)
#undef GAUGE_SETTER

void TLSVGauge::SetBackColor(const QColor& color)
{
    if (color == backColor_)
        return;
    backColor_ = color;
    RebuildBackTile();
    Repaint();
}

void TLSVGauge::SetFont(const TGFont& font)
{
    auto onChange = font_.OnChange;
    font_ = font;
    font_.OnChange = onChange;
    Repaint();
}

void TLSVGauge::SetTextureOnBack(const QImage& texture)
{
    textureOnBack_ = Rgb32(texture);
    if (transparentBack_)
        RebuildBackTile();
    Repaint();
}

void TLSVGauge::SetTextureOnFore(const QImage& texture)
{
    textureOnFore_ = Rgb32(texture);
    if (transparentFore_)
        RebuildForeTile(textureOnFore_);
    Repaint();
}

void TLSVGauge::SetTransparentBack(bool transparent)
{
    if (transparent == transparentBack_)
        return;
    transparentBack_ = transparent;
    if (transparent)
        RebuildBackTile();
    RebuildForeTile(textureOnFore_);
    Repaint();
}

void TLSVGauge::SetTransparentFore(bool transparent)
{
    if (transparent == transparentFore_)
        return;
    transparentFore_ = transparent;
    if (transparent)
        RebuildForeTile(textureOnFore_);
    Repaint();
}

void TLSVGauge::RebuildBackTile()
{
    if (textureOnBack_.isNull())
        return;
    backTile_ = NewBitmap(textureOnBack_.width(), textureOnBack_.height(), backColor_);
    DrawTransparent(backTile_, 0, 0, textureOnBack_);
}

void TLSVGauge::RebuildForeTile(const QImage& from)
{
    if (from.isNull())
        return;
    QImage tile = NewBitmap(from.width(), from.height(), backColor_);
    if (!textureOnBack_.isNull())
        FillPattern(tile, tile.rect(), transparentBack_ ? backTile_ : textureOnBack_);
    DrawTransparent(tile, 0, 0, from);
    foreTile_ = tile;
}

void TLSVGauge::Repaint()
{
    ++repaintCount_;
    PaintNow();
    update();
}

// ---- TLSVGauge: painting ----

const QImage& TLSVGauge::PaintNow()
{
    const QRect client = frame3D_ ? rect().adjusted(2, 2, -2, -2) : rect();
    const int w = std::max(client.width(), 0), h = std::max(client.height(), 0);
    if (canvas_.size() != QSize(w, h))
        canvas_ = NewBitmap(w, h, backColor_);
    const bool framed = borderStyle_ == bsSingle && kind_ != lgkPie;
    const QRect R = framed ? Q(1, 1, w - 1, h - 1) : Q(0, 0, w, h);
    QImage work = framed ? NewBitmap(w - 1, h - 1, Qt::black) : NewBitmap(w, h, Qt::black);

    TBltBitmap gauge;
    gauge.MakeLike(work);
    gauge.fill(Qt::black);
    if (kind_ == lgkHorizontalBar || kind_ == lgkVerticalBar)
        PaintBars(gauge, R);
    else
        PaintPie(gauge, R);
    // Exclusive-or combination; onto the black work bitmap this is a copy.
    for (int y = 0; y < work.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(work.scanLine(y));
        const auto* in = reinterpret_cast<const QRgb*>(gauge.constScanLine(y));
        for (int x = 0; x < work.width(); ++x)
            out[x] = 0xFF000000u | ((out[x] ^ in[x]) & 0xFFFFFF);
    }

    if (showText_)
        PaintText(work, R);
    if (framed && w > 0 && h > 0) {
        QPainter p(&canvas_);
        p.setPen(borderColor_);
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, w - 1, h - 1);
    }
    if (!R.isEmpty() && !work.isNull())
        Blit(canvas_, R.left(), R.top(), work, R);
    return canvas_;
}

void TLSVGauge::PaintBackground(QImage& bmp, const QRect& R)
{
    if (textureOnBack_.isNull())
        FillRect(bmp, R, backColor_);
    else
        FillPattern(bmp, R, transparentBack_ ? backTile_ : textureOnBack_);
}

void TLSVGauge::BuildEdge(bool vertical)
{
    const QImage& tex = textureOnFore_;
    const int e = Edge;
    fillExtent_ = std::min(fillExtent_, vertical ? height() : width());
    const int fe = fillExtent_;
    const int tl = vertical ? tex.height() : tex.width(); // texture length along the bar
    edgeBitmap_ = vertical ? NewBitmap(tex.width(), fe, Qt::black) : NewBitmap(fe, tex.height(), Qt::black);
    int cap;
    if (2 * e < fe) {
        cap = e;
        const int middle = tl - 2 * e;
        if (middle > 0) {
            const QImage mid = vertical ? tex.copy(0, e, tex.width(), middle) : tex.copy(e, 0, middle, tex.height());
            FillPattern(edgeBitmap_, edgeBitmap_.rect(), mid);
        }
    } else {
        cap = fe / 2 + 1;
    }
    // The texture's ends, unstretched: the last cap pixels at the far end,
    // then the first cap pixels at the near end (drawn last, so on top).
    if (vertical) {
        Blit(edgeBitmap_, 0, fe - cap, tex, QRect(0, tl - cap, tex.width(), cap));
        Blit(edgeBitmap_, 0, 0, tex, QRect(0, 0, tex.width(), cap));
    } else {
        Blit(edgeBitmap_, fe - cap, 0, tex, QRect(tl - cap, 0, cap, tex.height()));
        Blit(edgeBitmap_, 0, 0, tex, QRect(0, 0, cap, tex.height()));
    }
}

void TLSVGauge::PaintBars(QImage& bmp, const QRect& R)
{
    const int left = R.left(), top = R.top();
    const int right = left + R.width(), bottom = top + R.height();
    const int Wp = right - left + 1, Hp = bottom - top + 1;
    const bool vertical = kind_ == lgkVerticalBar;

    PaintBackground(bmp, R);
    if (RunningStrip) {
        PaintRunningStrip(bmp, R);
        return;
    }
    // The product is taken in 64-bit-mantissa arithmetic with 0.01 rounded
    // to that precision, so that 10 px at 30 % give 2, as in the original.
    const int length = vertical ? Hp : Wp;
    const long double share = static_cast<long double>(PercentDone()) * 0.01L;
    fillExtent_ = std::min(int(std::trunc(static_cast<long double>(length) * share)), length);
    drawnExtent_ = 0;
    if (fillExtent_ < 1)
        return;

    if (textureOnFore_.isNull()) {
        drawnExtent_ = fillExtent_;
        if (vertical)
            FillRect(bmp, Q(left, Hp - fillExtent_, Wp, Hp), foreColor_);
        else
            FillRect(bmp, Q(left, top, fillExtent_, Hp), foreColor_);
        return;
    }

    const QImage* pattern;
    if (!vertical) {
        if (transparentFore_) {
            if (Edge > 0) {
                BuildEdge(false);
                RebuildForeTile(edgeBitmap_);
            }
            pattern = &foreTile_;
        } else if (Edge > 0) {
            BuildEdge(false);
            pattern = &edgeBitmap_;
        } else {
            pattern = &textureOnFore_;
        }
    } else {
        pattern = transparentFore_ ? &foreTile_ : &textureOnFore_;
    }

    drawnExtent_ = fillExtent_;
    if (ForeAsBlocks) {
        const int block = ForeBlockSize != 0 ? ForeBlockSize
                                             : (vertical ? textureOnFore_.height() : textureOnFore_.width());
        if (block > 0 && fillExtent_ != length)
            drawnExtent_ = block * (fillExtent_ / block);
    }
    if (!vertical) {
        FillPattern(bmp, Q(left, top, drawnExtent_, Hp), *pattern);
    } else if (Edge > 0) {
        BuildEdge(true);
        if (transparentFore_)
            DrawTransparent(bmp, 0, Hp - drawnExtent_, edgeBitmap_);
        else
            Blit(bmp, 0, Hp - drawnExtent_, edgeBitmap_, edgeBitmap_.rect());
    } else {
        FillPattern(bmp, Q(left, Hp - drawnExtent_, Wp, Hp), *pattern);
    }
}

void TLSVGauge::PaintRunningStrip(QImage& bmp, const QRect& R)
{
    if (RuningStep < 1 || textureOnFore_.isNull())
        return;
    const QImage& tex = textureOnFore_;
    const int right = R.left() + R.width(), bottom = R.top() + R.height();
    if (kind_ == lgkHorizontalBar) {
        const int x = R.left() + StripOffset;
        Blit(bmp, x, R.top(), tex, tex.rect());
        const int over = (std::max(0, x + tex.width() - right) / RuningStep) * RuningStep;
        if (over > 0)
            Blit(bmp, R.left(), R.top(), tex, QRect(tex.width() - over, 0, over, tex.height()));
        if (over >= tex.width())
            StripOffset = 0;
    } else {
        const int y = bottom - StripOffset - tex.height();
        Blit(bmp, R.left(), y, tex, tex.rect());
        const int over = (std::max(0, R.top() - y) / RuningStep) * RuningStep;
        if (over > 0)
            Blit(bmp, R.left(), bottom - over, tex, QRect(0, 0, tex.width(), over));
        if (over >= tex.height())
            StripOffset = 0;
    }
}

void TLSVGauge::PaintPie(QImage& bmp, const QRect& R)
{
    const int W = R.width();
    int H = R.height();
    if (kind_ == lgkPie3D)
        H -= Pie3DHeight;
    PaintBackground(bmp, R);
    QPainter p(&bmp);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect ellipse = Q(R.left() + 1, R.top() + 1, W - 1, H - 1);
    if (kind_ == lgkPie && borderStyle_ == bsSingle) {
        p.setPen(borderColor_);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(Q(R.left(), R.top(), R.left() + W, R.top() + H).adjusted(0, 0, -1, -1));
    }
    const int percent = PercentDone();
    if (percent <= 0)
        return;
    // From the top point clockwise; Qt counts angles counter-clockwise from
    // three o'clock in sixteenths of a degree.
    const int start = 90 * 16, span = -percent * 360 * 16 / 100;
    p.setPen(Qt::NoPen);
    if (kind_ == lgkPie3D) {
        p.setBrush(Pie3DColor);
        for (int i = 0; i < Pie3DHeight; ++i)
            p.drawPie(ellipse.translated(0, i), start, span);
    }
    if (textureOnFore_.isNull())
        p.setBrush(foreColor_);
    else
        p.setBrush(QBrush(transparentFore_ ? foreTile_ : textureOnFore_));
    p.drawPie(ellipse, start, span);
}

QString TLSVGauge::FormattedText() const
{
    QString out;
    const QString number = QString::number(PercentDone());
    for (int i = 0; i < text_.size(); ++i) {
        if (text_[i] == u'%' && i + 1 < text_.size()) {
            if (text_[i + 1] == u'd') {
                out += number;
                ++i;
                continue;
            }
            if (text_[i + 1] == u'%') {
                out += u'%';
                ++i;
                continue;
            }
        }
        out += text_[i];
    }
    return out;
}

void TLSVGauge::PaintText(QImage& work, const QRect& R)
{
    if (work.isNull())
        return;
    const QString text = FormattedText();
    const QFont& font = font_.Font();
    const QFontMetrics fm(font);
    const int tw = fm.horizontalAdvance(text), th = fm.height();
    const bool horizontal = kind_ == lgkHorizontalBar, vertical = kind_ == lgkVerticalBar;
    const int right = R.left() + R.width(), bottom = R.top() + R.height();

    if (textInCenterFore_ && ((horizontal && fillExtent_ <= tw) || (vertical && fillExtent_ <= th)))
        return;
    int x;
    switch (horTextAlignment_) {
    case taLeftJustify:
        x = R.left() + 1;
        break;
    case taRightJustify:
        x = right - tw - 1;
        break;
    default:
        x = textInCenterFore_ && horizontal ? (fillExtent_ - tw) / 2 + R.left() : (right - R.left() + 1 - tw) / 2;
    }
    const int bottomLimit = bottom - (kind_ == lgkPie3D ? Pie3DHeight : 0);
    int y;
    switch (verTextAlignment_) {
    case taTop:
        y = R.top() + 1;
        break;
    case taBottom:
        y = bottomLimit - th - 1;
        break;
    default:
        y = textInCenterFore_ && vertical ? bottom - th - (fillExtent_ - th) / 2
                                          : (bottomLimit - R.top() + 1 - th) / 2;
    }

    if (font_.FixTextColor()) {
        QPainter p(&work);
        p.setFont(font);
        p.setPen(font_.Color());
        p.drawText(QRect(x, y, tw + 1, th), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
        return;
    }

    // Two colours: the glyphs invert the bar under them, then the inverted
    // fill and background colours are replaced inside the text box.
    QImage mask = NewBitmap(work.width(), work.height(), Qt::black);
    {
        QFont crisp = font;
        crisp.setStyleStrategy(QFont::NoAntialias);
        QPainter p(&mask);
        p.setFont(crisp);
        p.setPen(Qt::white);
        p.drawText(QRect(x, y, tw + 1, th), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    }
    for (int yy = 0; yy < work.height(); ++yy) {
        auto* out = reinterpret_cast<QRgb*>(work.scanLine(yy));
        const auto* in = reinterpret_cast<const QRgb*>(mask.constScanLine(yy));
        for (int xx = 0; xx < work.width(); ++xx)
            out[xx] = 0xFF000000u | ((out[xx] ^ in[xx]) & 0xFFFFFF);
    }
    const int boxRight = x + tw + (font.italic() ? tw / 3 : 0);
    const QRgb invFore = Inverted(foreColor_) & 0xFFFFFF, invBack = Inverted(backColor_) & 0xFFFFFF;
    const QRgb invPie = Inverted(Pie3DColor) & 0xFFFFFF;
    const QRgb onFilled = font_.ColorOnFilled().rgb(), onBack = font_.ColorOnBackground().rgb();
    const bool bars = (horizontal || vertical) && !RunningStrip;
    for (int yy = std::max(y, 0); yy < std::min(y + th, work.height()); ++yy) {
        auto* row = reinterpret_cast<QRgb*>(work.scanLine(yy));
        for (int xx = std::max(x, 0); xx < std::min(boxRight, work.width()); ++xx) {
            const QRgb c = row[xx] & 0xFFFFFF;
            bool filledSide = true, emptySide = true;
            if (bars) {
                filledSide = horizontal ? xx < fillExtent_ : yy >= work.height() - fillExtent_;
                emptySide = !filledSide;
            }
            if (filledSide && (c == invFore || (kind_ == lgkPie3D && c == invPie)))
                row[xx] = onFilled;
            else if (emptySide && c == invBack)
                row[xx] = onBack;
        }
    }
}

void TLSVGauge::paintEvent(QPaintEvent*)
{
    const QRect client = frame3D_ ? rect().adjusted(2, 2, -2, -2) : rect();
    if (canvas_.size() != client.size())
        PaintNow();
    QPainter p(this);
    if (frame3D_) {
        // A sunken two-pixel edge around the client area.
        p.fillRect(rect(), palette().color(QPalette::Light));
        p.fillRect(QRect(0, 0, width() - 1, 1), palette().color(QPalette::Mid));
        p.fillRect(QRect(0, 0, 1, height() - 1), palette().color(QPalette::Mid));
        p.fillRect(QRect(1, 1, width() - 3, 1), palette().color(QPalette::Dark));
        p.fillRect(QRect(1, 1, 1, height() - 3), palette().color(QPalette::Dark));
    }
    p.drawImage(client.topLeft(), canvas_);
}
