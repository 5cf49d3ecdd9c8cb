// The toolkit's grid, label, edit and page control.

#include "toolkit/ComCtrls.h"
#include "toolkit/Grids.h"
#include "toolkit/StdCtrls.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

#include <gtest/gtest.h>

namespace {

// A drive-list-like grid: one 326-pixel column of 61-pixel rows in 326 x 301.
std::unique_ptr<TStringGrid> DriveGrid(int rows)
{
    auto g = std::make_unique<TStringGrid>(nullptr);
    g->SetBounds(0, 0, 326, 301);
    g->SetColCount(1);
    g->SetDefaultColWidth(326);
    g->SetDefaultRowHeight(61);
    g->SetGridLineWidth(0);
    g->SetRowCount(rows);
    return g;
}

} // namespace

TEST(StringGrid, ScrollBarOnlyWhenTheRowsDoNotFit)
{
    struct Case {
        int rows;
        bool bar;
    };
    for (const Case c : {Case{1, false}, Case{4, false}, Case{5, true}, Case{9, true}}) {
        auto g = DriveGrid(c.rows);
        g->show();
        EXPECT_EQ(g->HasVerticalScrollBar(), c.bar) << c.rows << " rows of 61 in 301";
    }
}

TEST(StringGrid, CellsAndPointsMapBothWays)
{
    TStringGrid g(nullptr);
    g.SetBounds(0, 0, 501, 279);
    g.SetColCount(4);
    const int widths[] = {199, 101, 101, 100};
    for (int c = 0; c < 4; ++c)
        g.SetColWidth(c, widths[c]);
    g.SetDefaultRowHeight(32);
    g.SetGridLineWidth(0);
    g.SetRowCount(3);
    g.show();
    EXPECT_EQ(g.CellRect(2, 1), QRect(300, 32, 101, 32));
    struct Case {
        QPoint at;
        bool hit;
        int col, row;
    };
    const Case cases[] = {
        {{0, 0}, true, 0, 0},       {{198, 31}, true, 0, 0},  {{199, 32}, true, 1, 1},
        {{450, 95}, true, 3, 2},    {{450, 96}, false, -1, -1}, // below the last row
        {{-1, 5}, false, -1, -1},
    };
    for (const Case& c : cases) {
        int col = 7, row = 7;
        EXPECT_EQ(g.MouseToCell(c.at.x(), c.at.y(), col, row), c.hit) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(col, c.col);
        EXPECT_EQ(row, c.row);
    }
    EXPECT_TRUE(g.CellRect(0, 3).isEmpty()) << "no such row";
}

TEST(StringGrid, CellsKeepTextAndObjectAndDrawThroughTheHandler)
{
    auto g = DriveGrid(6);
    g->SetCell(0, 5, "sdb1");
    g->SetObject(0, 5, 42);
    EXPECT_EQ(g->Cell(0, 5), "sdb1");
    EXPECT_EQ(g->Object(0, 5), 42);
    g->SetRowCount(3);
    g->SetRowCount(6);
    EXPECT_EQ(g->Object(0, 5), 0) << "rows removed and added again come back empty";

    std::vector<std::pair<int, QRect>> drawn;
    g->OnDrawCell = [&](QObject*, int, int row, const QRect& r, TGridDrawState, QPainter& p) {
        drawn.push_back({row, r});
        p.fillRect(r, row % 2 ? Qt::red : Qt::blue);
    };
    g->show();
    g->grab(); // paints
    ASSERT_GE(drawn.size(), 5u);
    EXPECT_EQ(drawn[0], std::make_pair(0, QRect(0, 0, 326, 61)));
    EXPECT_EQ(drawn[4].second.top(), 244);
    EXPECT_EQ(g->Canvas().pixel(5, 70), QColor(Qt::red).rgb());

    // Drawing on the canvas outside a paint shows without redrawing cells.
    drawn.clear();
    g->DrawOnCanvas([](QPainter& p) { p.fillRect(QRect(10, 23, 13, 13), Qt::green); });
    EXPECT_TRUE(drawn.empty());
    EXPECT_EQ(g->Canvas().pixel(12, 25), QColor(Qt::green).rgb());
    g->grab();
    EXPECT_EQ(g->Canvas().pixel(12, 25), QColor(Qt::green).rgb()) << "kept until the grid is invalidated";
    g->Invalidate();
    g->grab();
    EXPECT_EQ(g->Canvas().pixel(12, 25), QColor(Qt::blue).rgb());
}

TEST(Label, AutoSizeFollowsTheTextAndWordWrapKeepsTheWidth)
{
    TLabel label(nullptr, "Last scan:");
    label.SetFont(MakeFont("DejaVu Sans", 13, true));
    const QFontMetrics fm(label.font());
    EXPECT_EQ(label.size(), fm.size(Qt::TextSingleLine, "Last scan:"));
    label.SetCaption("Fragmented files found, total:");
    EXPECT_EQ(label.size(), fm.size(Qt::TextSingleLine, "Fragmented files found, total:"));

    TLabel wrapped(nullptr);
    wrapped.SetWordWrap(true);
    wrapped.SetBounds(0, 0, 120, 10);
    wrapped.SetCaption("Click Scan Now to automatically check your drives for fragmented files");
    EXPECT_EQ(wrapped.width(), 120);
    EXPECT_GE(wrapped.height(), 3 * fm.height() - 6) << "several lines";
}

TEST(Edit, PasswordEchoesStars)
{
    TEdit edit(nullptr);
    edit.SetPasswordChar(u'*');
    edit.SetText("secret");
    EXPECT_EQ(edit.echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit.style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, &edit), int(u'*'));
    EXPECT_EQ(edit.Text(), "secret");
    EXPECT_FALSE(edit.hasFrame());
}

TEST(PageControl, OneSheetAtATimeSwitchedByCode)
{
    TPageControl pages(nullptr);
    auto* a = new TTabSheet(&pages, "Summary");
    auto* b = new TTabSheet(&pages, "ScanProg");
    pages.show();
    EXPECT_EQ(pages.PageCount(), 2);
    EXPECT_EQ(pages.ActivePage(), a);
    pages.SetActivePageIndex(1);
    EXPECT_EQ(pages.ActivePage(), b);
    EXPECT_TRUE(b->isVisible());
    EXPECT_FALSE(a->isVisible());
    pages.SetActivePageIndex(5);
    EXPECT_EQ(pages.ActivePageIndex(), 1) << "an index out of range is ignored";
    EXPECT_EQ(b->Caption(), "ScanProg");
}
