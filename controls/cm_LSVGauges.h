#pragma once
// TLSVGauge: a progress gauge showing an integer within a range as a
// horizontal or vertical bar, a 3-D pie or a flat pie, with the percentage as
// text. Bars can be painted with textures tiled over the background and over
// the filled part, with end caps taken from the fore texture and in whole
// blocks; the text is drawn in one fixed colour or in two colours, depending
// on whether it lies over the filled or the empty part.
//
// Every paint is composed in an off-screen work bitmap and copied to the
// control's canvas in one step; paintEvent shows the canvas. The gauge owns
// its font and its five bitmaps. Main thread only.

#include "toolkit/Types.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>

#include <functional>
#include <stdexcept>

// An invalid operation on a control, such as a value out of range.
class EInvalidOperation : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TLSVGaugeKind { lgkHorizontalBar, lgkVerticalBar, lgkPie3D, lgkPie };
enum TLSVVerAlignment { taTop, taCentered, taBottom };
enum TBorderStyle { bsNone, bsSingle };

// A bitmap that can take the size of another.
class TBltBitmap : public QImage {
public:
    using QImage::QImage;
    // Gives this bitmap the width and height of Bitmap (contents undefined).
    void MakeLike(const QImage& Bitmap);
};

// The gauge's font: a font and its colour, plus the colours of two-colour
// text. Every change raises OnChange.
class TGFont {
public:
    TGFont();

    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font);
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    QColor ColorOnFilled() const { return colorOnFilled_; }
    void SetColorOnFilled(const QColor& color);
    QColor ColorOnBackground() const { return colorOnBackground_; }
    void SetColorOnBackground(const QColor& color);
    bool FixTextColor() const { return fixTextColor_; }
    void SetFixTextColor(bool fix);

    std::function<void()> OnChange;

private:
    void Changed();

    QFont font_;
    QColor color_ = Qt::black;
    QColor colorOnFilled_ = Qt::white;
    QColor colorOnBackground_ = Qt::black;
    bool fixTextColor_ = false;
};

class TLSVGauge : public QWidget {
public:
    explicit TLSVGauge(QWidget* parent = nullptr);

    void SetBounds(int x, int y, int width, int height);
    // While loading, the range checks of MinValue and MaxValue are skipped.
    void SetLoading(bool loading) { loading_ = loading; }

    int MinValue() const { return minValue_; }
    void SetMinValue(int value);
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int value);
    int Progress() const { return progress_; }
    void SetProgress(int value);
    int PercentDone() const;

    TLSVGaugeKind Kind() const { return kind_; }
    void SetKind(TLSVGaugeKind kind);
    bool ShowText() const { return showText_; }
    void SetShowText(bool show);
    QString Text() const { return text_; }
    void SetText(const QString& text);
    void SetHorTextAlignment(TAlignment alignment);
    void SetVerTextAlignment(TLSVVerAlignment alignment);
    void SetTextInCenterFore(bool center);
    void SetBorderStyle(TBorderStyle style);
    void SetBorderColor(const QColor& color);
    void SetForeColor(const QColor& color);
    QColor ForeColor() const { return foreColor_; }
    void SetBackColor(const QColor& color);
    QColor BackColor() const { return backColor_; }
    bool Frame3D() const { return frame3D_; }
    void SetFrame3D(bool frame);
    TGFont& Font() { return font_; }
    void SetFont(const TGFont& font);
    const QImage& TextureOnBack() const { return textureOnBack_; }
    void SetTextureOnBack(const QImage& texture);
    const QImage& TextureOnFore() const { return textureOnFore_; }
    void SetTextureOnFore(const QImage& texture);
    void SetTransparentBack(bool transparent);
    void SetTransparentFore(bool transparent);

    // Plain fields: they take effect with the next paint.
    bool ForeAsBlocks = false;
    int ForeBlockSize = 0;
    int Edge = 0;
    int Pie3DHeight = 20;
    QColor Pie3DColor = Qt::black;
    bool RunningStrip = false;
    int RuningStep = 1;
    int StripOffset = 0;

    // Runs the paint pipeline now and returns the control's canvas.
    const QImage& PaintNow();
    const QImage& Canvas() const { return canvas_; }
    const QImage& EdgeBitmap() const { return edgeBitmap_; }
    const QImage& BackTile() const { return backTile_; }
    const QImage& ForeTile() const { return foreTile_; }
    int FillExtent() const { return fillExtent_; }
    int DrawnExtent() const { return drawnExtent_; }
    // How many repaints the gauge has asked for.
    int RepaintCount() const { return repaintCount_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Repaint();
    void RebuildBackTile();
    void RebuildForeTile(const QImage& from);
    void BuildEdge(bool vertical);
    void PaintBars(QImage& bmp, const QRect& R);
    void PaintBackground(QImage& bmp, const QRect& R);
    void PaintRunningStrip(QImage& bmp, const QRect& R);
    void PaintPie(QImage& bmp, const QRect& R);
    void PaintText(QImage& work, const QRect& R);
    QString FormattedText() const;

    int minValue_ = 0;
    int maxValue_ = 100;
    int progress_ = 0;
    TLSVGaugeKind kind_ = lgkHorizontalBar;
    bool showText_ = true;
    QString text_ = QStringLiteral("%d%%");
    TAlignment horTextAlignment_ = taCenter;
    TLSVVerAlignment verTextAlignment_ = taCentered;
    bool textInCenterFore_ = false;
    TBorderStyle borderStyle_ = bsSingle;
    QColor borderColor_ = Qt::black;
    QColor foreColor_ = QColor(0, 0, 128);
    QColor backColor_ = Qt::white;
    bool frame3D_ = true;
    TGFont font_;
    QImage textureOnBack_, textureOnFore_, edgeBitmap_, backTile_, foreTile_;
    bool transparentBack_ = false;
    bool transparentFore_ = false;
    bool loading_ = false;

    QImage canvas_;
    int fillExtent_ = 0;
    int drawnExtent_ = 0;
    int repaintCount_ = 0;
};
