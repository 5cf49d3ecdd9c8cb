// The textured gauge, checked on the pixels it renders.

#include "controls/cm_LSVGauges.h"

#include <QApplication>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

const QRgb kNavy = 0x000080;
const QRgb kWhite = 0xFFFFFF;

QRgb At(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

// A plain bar like the pages': no border, no 3-D frame, no text unless asked.
struct Bar {
    TLSVGauge g;
    Bar(int width, int height = 20, bool text = false)
    {
        g.SetFrame3D(false);
        g.SetBorderStyle(bsNone);
        g.SetShowText(text);
        g.resize(width, height);
    }
    const QImage& Paint() { return g.PaintNow(); }
};

// Columns [from, to) of row y hold only the given colour.
::testing::AssertionResult RowIs(const QImage& img, int y, int from, int to, QRgb colour)
{
    for (int x = from; x < to; ++x)
        if ((img.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF))
            return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << std::hex
                                                 << (img.pixel(x, y) & 0xFFFFFF) << ", not " << colour;
    return ::testing::AssertionSuccess();
}

// Bounding columns of the pixels that are not `background` within [from, to).
std::pair<int, int> InkColumns(const QImage& img, int from, int to, QRgb background)
{
    int lo = INT_MAX, hi = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = from; x < to; ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF)) {
                lo = std::min(lo, x);
                hi = std::max(hi, x);
            }
    return {lo, hi};
}

QImage Striped(int w, int h)
{
    // Column i has its own colour, so copies and tiling can be traced.
    QImage t(w, h, QImage::Format_RGB32);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            t.setPixel(x, y, qRgb(x * 10, 50, 100));
    return t;
}

} // namespace

TEST(Gauge, PageBarAtThirtyPercent)
{
    Bar bar(690, 20, true);
    TGFont font;
    QFont f("DejaVu Sans");
    f.setPixelSize(11);
    f.setBold(true);
    font.SetFont(f);
    font.SetFixTextColor(true);
    bar.g.SetFont(font);
    bar.g.SetProgress(30);
    const QImage& img = bar.Paint();
    EXPECT_EQ(bar.g.PercentDone(), 30);
    EXPECT_EQ(bar.g.FillExtent(), 207);
    EXPECT_TRUE(RowIs(img, 0, 0, 207, kNavy));
    EXPECT_TRUE(RowIs(img, 0, 207, 690, kWhite));
    EXPECT_TRUE(RowIs(img, 19, 0, 207, kNavy));
    // The text "30%" is centred on the bar's width plus one.
    const int tw = QFontMetrics(f).horizontalAdvance("30%");
    const int x = (691 - tw) / 2;
    const auto [lo, hi] = InkColumns(img, 207, 690, kWhite);
    EXPECT_GE(lo, x);
    EXPECT_LE(hi, x + tw);
    EXPECT_LE(lo - x, 2) << "the glyphs start at the computed position";
}

TEST(Gauge, FillExtentUsesExtendedPrecision)
{
    struct Case {
        int width; // W' is the width plus one without a border
        int percent;
        int fill;
    };
    const Case cases[] = {
        {9, 30, 2},     // 10 x 0.3 in 64-bit-mantissa arithmetic is just below 3
        {689, 30, 206}, // 690 x 0.3: a multiple of 100, so one less
        {688, 30, 206}, // 689 x 0.3
        {99, 57, 57},
        {99, 100, 100}, // capped at W'
        {99, 0, 0},
    };
    for (const Case& c : cases) {
        Bar bar(c.width);
        bar.g.SetProgress(c.percent);
        bar.Paint();
        EXPECT_EQ(bar.g.FillExtent(), c.fill) << c.width << " px at " << c.percent << " %";
    }
}

TEST(Gauge, ProgressIsClampedAndEqualLimitsFillNothing)
{
    Bar bar(100);
    bar.g.SetProgress(150);
    EXPECT_EQ(bar.g.Progress(), 100);
    bar.g.SetProgress(-5);
    EXPECT_EQ(bar.g.Progress(), 0);
    bar.g.SetMinValue(10);
    EXPECT_EQ(bar.g.Progress(), 10) << "a new minimum raises the progress";
    bar.g.SetMaxValue(10);
    EXPECT_EQ(bar.g.PercentDone(), 0);
    const QImage& img = bar.Paint();
    for (int y = 0; y < 20; ++y)
        EXPECT_TRUE(RowIs(img, y, 0, 100, kWhite));
}

TEST(Gauge, RepaintsOnlyWhenThePercentageMoves)
{
    Bar bar(100);
    bar.g.SetMaxValue(1000);
    bar.g.SetProgress(300);
    const int before = bar.g.RepaintCount();
    bar.g.SetProgress(304);
    EXPECT_EQ(bar.g.RepaintCount(), before) << "still 30 %";
    EXPECT_EQ(bar.g.Progress(), 304);
    bar.g.SetProgress(310);
    EXPECT_EQ(bar.g.RepaintCount(), before + 1);
}

TEST(Gauge, RangeErrorsChangeNothing)
{
    Bar bar(100);
    bar.g.SetProgress(40);
    try {
        bar.g.SetMinValue(101);
        ADD_FAILURE();
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Value must be between -2147483647 and 99");
    }
    bar.g.SetMinValue(20);
    try {
        bar.g.SetMaxValue(19);
        ADD_FAILURE();
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Value must be between 21 and 2147483647");
    }
    EXPECT_EQ(bar.g.MinValue(), 20);
    EXPECT_EQ(bar.g.MaxValue(), 100);
    EXPECT_EQ(bar.g.Progress(), 40);
    bar.g.SetLoading(true);
    EXPECT_NO_THROW(bar.g.SetMaxValue(5)) << "no checks while the form loads";
}

TEST(Gauge, BlocksRoundDownExceptWhenFull)
{
    QImage red(10, 20, QImage::Format_RGB32);
    red.fill(qRgb(200, 0, 0));
    Bar bar(99);
    bar.g.SetTextureOnFore(red);
    bar.g.ForeAsBlocks = true;
    bar.g.SetProgress(57);
    const QImage& img = bar.Paint();
    EXPECT_EQ(bar.g.DrawnExtent(), 50);
    EXPECT_TRUE(RowIs(img, 5, 0, 50, qRgb(200, 0, 0)));
    EXPECT_TRUE(RowIs(img, 5, 50, 99, kWhite));

    Bar full(104); // W' = 105, not a multiple of the block
    full.g.SetTextureOnFore(red);
    full.g.ForeAsBlocks = true;
    full.g.SetProgress(100);
    EXPECT_TRUE(RowIs(full.Paint(), 5, 0, 104, qRgb(200, 0, 0)));
}

TEST(Gauge, EndCapsFromTheForeTexture)
{
    const QImage tex = Striped(20, 20);
    auto col = [&](int i) { return tex.pixel(i, 0) & 0xFFFFFF; };
    struct Case {
        int percent;
        std::vector<int> columns; // texture column shown at each fill column
    };
    const Case cases[] = {
        // A fill of 6 with caps of 4: both caps overlap, the left one on top.
        {7, {0, 1, 2, 3, 18, 19}},
        // A fill of 30: caps of 4, the middle (columns 4..15) tiled between.
        {31, {0, 1, 2, 3, 8, 9, 10, 11, 12, 13, 14, 15, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 4, 5, 16, 17, 18, 19}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        Bar bar(96); // W' = 97
        bar.g.SetTextureOnFore(tex);
        bar.g.Edge = 4;
        bar.g.SetProgress(c.percent);
        const QImage& img = bar.Paint();
        ASSERT_EQ(bar.g.FillExtent(), int(c.columns.size()));
        for (int x = 0; x < int(c.columns.size()); ++x)
            EXPECT_EQ(At(img, x, 3), col(c.columns[x])) << "column " << x;
        EXPECT_EQ(At(img, int(c.columns.size()), 3), kWhite);
    }
}

TEST(Gauge, TextInTheFillIsHiddenWhileTheFillIsNarrower)
{
    Bar bar(689, 20, true);
    bar.g.SetTextInCenterFore(true);
    TGFont font;
    font.SetFixTextColor(true);
    font.SetColor(qRgb(255, 0, 0));
    bar.g.SetFont(font);
    bar.g.SetProgress(2);
    const QImage& img = bar.Paint();
    EXPECT_EQ(bar.g.FillExtent(), 13);
    for (int y = 0; y < 20; ++y) {
        EXPECT_TRUE(RowIs(img, y, 0, 13, kNavy));
        EXPECT_TRUE(RowIs(img, y, 13, 689, kWhite));
    }
    bar.g.SetProgress(50);
    const int fill = bar.g.FillExtent();
    const int tw = QFontMetrics(font.Font()).horizontalAdvance("50%");
    const auto [lo, hi] = InkColumns(bar.Paint(), 0, fill, kNavy);
    EXPECT_GE(lo, (fill - tw) / 2) << "centred in the fill";
    EXPECT_LE(hi, (fill - tw) / 2 + tw);
}

TEST(Gauge, TwoColourTextFollowsTheFill)
{
    Bar bar(199, 24, true);
    TGFont font;
    QFont f("DejaVu Sans");
    f.setPixelSize(18);
    f.setBold(true);
    font.SetFont(f);
    font.SetColorOnFilled(qRgb(255, 255, 0));
    font.SetColorOnBackground(qRgb(255, 0, 0));
    bar.g.SetFont(font);
    bar.g.SetProgress(50);
    const QImage& img = bar.Paint();
    const int fill = bar.g.FillExtent();
    ASSERT_EQ(fill, 100);
    int onFilled = 0, onBack = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = At(img, x, y);
            if (x < fill) {
                EXPECT_TRUE(c == kNavy || c == (qRgb(255, 255, 0) & 0xFFFFFF)) << x << "," << y << " " << std::hex << c;
                onFilled += c != kNavy;
            } else {
                EXPECT_TRUE(c == kWhite || c == (qRgb(255, 0, 0) & 0xFFFFFF)) << x << "," << y << " " << std::hex << c;
                onBack += c != kWhite;
            }
        }
    EXPECT_GT(onFilled, 10) << "glyph parts over the fill";
    EXPECT_GT(onBack, 10) << "glyph parts over the empty part";
}

TEST(Gauge, BorderFramesTheBar)
{
    TLSVGauge g;
    g.SetFrame3D(false);
    g.SetShowText(false);
    g.resize(52, 10);
    g.SetProgress(50);
    const QImage& img = g.PaintNow();
    EXPECT_TRUE(RowIs(img, 0, 0, 52, qRgb(0, 0, 0))) << "one-pixel frame";
    EXPECT_EQ(At(img, 0, 5), 0u);
    EXPECT_EQ(At(img, 51, 5), 0u);
    // Inside: R = (1, 1, 51, 9), W' = 51, fill 25, drawn from x = 1 to 25.
    EXPECT_EQ(g.FillExtent(), 25);
    EXPECT_TRUE(RowIs(img, 5, 1, 25, kNavy));
    EXPECT_TRUE(RowIs(img, 5, 25, 51, kWhite));
}

TEST(Gauge, TransparentTilesUseTheBottomLeftColour)
{
    QImage back(4, 4, QImage::Format_RGB32);
    back.fill(qRgb(0, 255, 0)); // the bottom-left colour: see-through
    back.setPixel(1, 1, qRgb(10, 20, 30));
    Bar bar(20, 4);
    bar.g.SetBackColor(qRgb(200, 200, 200));
    bar.g.SetTextureOnBack(back);
    bar.g.SetTransparentBack(true);
    EXPECT_EQ(bar.g.BackTile().pixel(0, 0) & 0xFFFFFF, qRgb(200, 200, 200) & 0xFFFFFF);
    EXPECT_EQ(bar.g.BackTile().pixel(1, 1) & 0xFFFFFF, qRgb(10, 20, 30) & 0xFFFFFF);
    const QImage& img = bar.Paint();
    // The tile repeats from the bitmap's top-left corner.
    EXPECT_EQ(At(img, 5, 1), qRgb(10, 20, 30) & 0xFFFFFF);
    EXPECT_EQ(At(img, 6, 1), qRgb(200, 200, 200) & 0xFFFFFF);
}

TEST(Gauge, PieSlicesGrowClockwiseFromTheTop)
{
    Bar pie(81, 81);
    pie.g.SetKind(lgkPie);
    pie.g.SetProgress(25);
    const QImage& quarter = pie.Paint();
    EXPECT_EQ(At(quarter, 55, 25), kNavy) << "upper right";
    EXPECT_EQ(At(quarter, 25, 25), kWhite) << "upper left";
    EXPECT_EQ(At(quarter, 55, 55), kWhite) << "lower right";
    pie.g.SetProgress(75);
    const QImage& most = pie.Paint();
    EXPECT_EQ(At(most, 25, 55), kNavy) << "lower left";
    EXPECT_EQ(At(most, 25, 25), kWhite) << "upper left stays empty";
}
