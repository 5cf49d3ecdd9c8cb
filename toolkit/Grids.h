#pragma once
// An owner-drawn string grid: ColCount x RowCount cells, each with a text and
// an object slot; column widths, one default row height, no fixed rows or
// columns, grid lines of GridLineWidth pixels (0 = none), whole-row vertical
// scrolling with a scroll bar only when the rows do not fit.
//
// The grid paints into its own canvas (an image of the client area): a paint
// calls OnDrawCell for every visible cell, and DrawOnCanvas lets a handler
// draw outside a paint; the canvas is then copied to the screen. Coordinates
// are client coordinates. Main thread only; the parent owns it.

#include "toolkit/Image.h"

#include <QAbstractScrollArea>
#include <QImage>

#include <cstdint>
#include <functional>
#include <vector>

using TGridDrawState = unsigned;
constexpr TGridDrawState gdSelected = 1;
constexpr TGridDrawState gdFocused = 2;

using TDrawCellEvent = std::function<void(QObject* Sender, int ACol, int ARow, const QRect& Rect,
                                          TGridDrawState State, QPainter& Canvas)>;

class TStringGrid : public QAbstractScrollArea {
public:
    explicit TStringGrid(QWidget* parent);

    void SetBounds(int x, int y, int width, int height);
    int ColCount() const { return colCount_; }
    void SetColCount(int count);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int width);
    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int height);
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int width);
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);

    // The selected row; cells of it are drawn with the gdSelected state.
    int Row() const { return row_; }
    void SetRow(int row);

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    std::intptr_t Object(int col, int row) const;
    void SetObject(int col, int row, std::intptr_t object);

    // Whether the vertical scroll bar is currently shown.
    bool HasVerticalScrollBar() const;
    // The width of the platform's vertical scroll bar.
    static int VerticalScrollBarWidth();
    // The cell under (x, y), or false when no cell is there.
    bool MouseToCell(int x, int y, int& col, int& row) const;
    // A visible cell's rectangle; an empty rectangle for a cell out of view.
    QRect CellRect(int col, int row) const;

    // Draws on the grid's canvas outside a paint and shows the result.
    void DrawOnCanvas(const std::function<void(QPainter&)>& draw);
    // Repaints every visible cell.
    void Invalidate();
    // The canvas as last shown: what the user sees of the cells.
    const QImage& Canvas() const { return canvas_; }

    int Tag = 0;
    TDrawCellEvent OnDrawCell;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int ColLeft(int col) const;
    int VisibleRows() const;
    void UpdateScrollBar();
    void RenderCells();
    std::size_t Index(int col, int row) const;

    int colCount_ = 5;
    int rowCount_ = 5;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    int gridLineWidth_ = 0;
    int topRow_ = 0;
    int row_ = 0;
    std::vector<int> colWidths_;
    std::vector<QString> texts_;
    std::vector<std::intptr_t> objects_;
    QImage canvas_;
    bool cellsDirty_ = true;
};
