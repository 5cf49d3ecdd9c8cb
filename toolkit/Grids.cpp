#include "toolkit/Grids.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

TStringGrid::TStringGrid(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    colWidths_.assign(colCount_, defaultColWidth_);
    texts_.resize(std::size_t(colCount_) * rowCount_);
    objects_.resize(texts_.size());
    UpdateScrollBar();
}

void TStringGrid::SetBounds(int x, int y, int width, int height) { setGeometry(x, y, width, height); }

std::size_t TStringGrid::Index(int col, int row) const { return std::size_t(row) * colCount_ + col; }

void TStringGrid::SetColCount(int count)
{
    count = std::max(count, 1);
    if (count == colCount_)
        return;
    std::vector<QString> texts(std::size_t(count) * rowCount_);
    std::vector<std::intptr_t> objects(texts.size());
    for (int r = 0; r < rowCount_; ++r)
        for (int c = 0; c < std::min(count, colCount_); ++c) {
            texts[std::size_t(r) * count + c] = texts_[Index(c, r)];
            objects[std::size_t(r) * count + c] = objects_[Index(c, r)];
        }
    colCount_ = count;
    texts_.swap(texts);
    objects_.swap(objects);
    colWidths_.resize(count, defaultColWidth_);
    Invalidate();
}

void TStringGrid::SetRowCount(int count)
{
    count = std::max(count, 1);
    if (count == rowCount_)
        return;
    rowCount_ = count;
    row_ = std::min(row_, rowCount_ - 1);
    texts_.resize(std::size_t(colCount_) * rowCount_);
    objects_.resize(texts_.size());
    UpdateScrollBar();
    Invalidate();
}

void TStringGrid::SetDefaultColWidth(int width)
{
    defaultColWidth_ = width;
    colWidths_.assign(colCount_, width);
    Invalidate();
}

int TStringGrid::ColWidth(int col) const
{
    return col >= 0 && col < colCount_ ? colWidths_[col] : defaultColWidth_;
}

void TStringGrid::SetColWidth(int col, int width)
{
    if (col < 0 || col >= colCount_)
        return;
    colWidths_[col] = width;
    Invalidate();
}

void TStringGrid::SetDefaultRowHeight(int height)
{
    defaultRowHeight_ = std::max(height, 1);
    UpdateScrollBar();
    Invalidate();
}

void TStringGrid::SetGridLineWidth(int width)
{
    gridLineWidth_ = std::max(width, 0);
    UpdateScrollBar();
    Invalidate();
}

void TStringGrid::SetTopRow(int row)
{
    verticalScrollBar()->setValue(row);
    topRow_ = std::clamp(row, 0, verticalScrollBar()->maximum());
    Invalidate();
}

void TStringGrid::SetRow(int row)
{
    row_ = std::clamp(row, 0, rowCount_ - 1);
    // Bring the selected row into view.
    const int visible = VisibleRows();
    if (row_ < topRow_)
        SetTopRow(row_);
    else if (row_ >= topRow_ + visible)
        SetTopRow(row_ - visible + 1);
    Invalidate();
}

QString TStringGrid::Cell(int col, int row) const
{
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_)
        return QString();
    return texts_[Index(col, row)];
}

void TStringGrid::SetCell(int col, int row, const QString& text)
{
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_)
        return;
    texts_[Index(col, row)] = text;
    Invalidate();
}

std::intptr_t TStringGrid::Object(int col, int row) const
{
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_)
        return 0;
    return objects_[Index(col, row)];
}

void TStringGrid::SetObject(int col, int row, std::intptr_t object)
{
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_)
        return;
    objects_[Index(col, row)] = object;
}

int TStringGrid::VisibleRows() const
{
    return std::max(1, height() / (defaultRowHeight_ + gridLineWidth_));
}

void TStringGrid::UpdateScrollBar()
{
    // The scroll bar shows only when the rows are taller than the grid.
    const int pitch = defaultRowHeight_ + gridLineWidth_;
    const bool needed = rowCount_ * pitch > height();
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, needed ? std::max(0, rowCount_ - VisibleRows()) : 0);
    bar->setPageStep(VisibleRows());
    bar->setSingleStep(1);
    setVerticalScrollBarPolicy(needed ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    topRow_ = std::clamp(topRow_, 0, bar->maximum());
}

bool TStringGrid::HasVerticalScrollBar() const
{
    return verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
}

int TStringGrid::VerticalScrollBarWidth()
{
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

int TStringGrid::ColLeft(int col) const
{
    int x = 0;
    for (int c = 0; c < col; ++c)
        x += colWidths_[c] + gridLineWidth_;
    return x;
}

QRect TStringGrid::CellRect(int col, int row) const
{
    if (col < 0 || col >= colCount_ || row < topRow_ || row >= rowCount_)
        return QRect();
    const int pitch = defaultRowHeight_ + gridLineWidth_;
    const int top = (row - topRow_) * pitch;
    if (top >= viewport()->height())
        return QRect();
    return QRect(ColLeft(col), top, colWidths_[col], defaultRowHeight_);
}

bool TStringGrid::MouseToCell(int x, int y, int& col, int& row) const
{
    col = row = -1;
    if (x < 0 || y < 0)
        return false;
    const int pitch = defaultRowHeight_ + gridLineWidth_;
    const int r = topRow_ + y / pitch;
    int left = 0, c = 0;
    for (; c < colCount_; ++c) {
        if (x < left + colWidths_[c] + gridLineWidth_)
            break;
        left += colWidths_[c] + gridLineWidth_;
    }
    if (c >= colCount_ || r >= rowCount_)
        return false;
    col = c;
    row = r;
    return true;
}

void TStringGrid::Invalidate()
{
    cellsDirty_ = true;
    viewport()->update();
}

void TStringGrid::RenderCells()
{
    const QSize size = viewport()->size();
    if (canvas_.size() != size)
        canvas_ = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    canvas_.fill(palette().color(QPalette::Base));
    QPainter p(&canvas_);
    const int pitch = defaultRowHeight_ + gridLineWidth_;
    for (int row = topRow_; row < rowCount_ && (row - topRow_) * pitch < size.height(); ++row) {
        for (int col = 0; col < colCount_ && ColLeft(col) < size.width(); ++col) {
            const QRect r = CellRect(col, row);
            p.save();
            p.setClipRect(r);
            if (OnDrawCell)
                Guarded([&] { OnDrawCell(this, col, row, r, row == row_ ? gdSelected : 0, p); });
            else
                p.drawText(r.adjusted(2, 2, -2, -2), Qt::AlignLeft | Qt::AlignVCenter,
                           texts_[Index(col, row)]);
            p.restore();
        }
    }
    cellsDirty_ = false;
}

void TStringGrid::DrawOnCanvas(const std::function<void(QPainter&)>& draw)
{
    if (cellsDirty_ || canvas_.size() != viewport()->size())
        RenderCells();
    {
        QPainter p(&canvas_);
        draw(p);
    }
    viewport()->update();
}

void TStringGrid::paintEvent(QPaintEvent*)
{
    if (cellsDirty_ || canvas_.size() != viewport()->size())
        RenderCells();
    QPainter p(viewport());
    p.drawImage(0, 0, canvas_);
}

void TStringGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBar();
    Invalidate();
}

void TStringGrid::scrollContentsBy(int, int)
{
    topRow_ = verticalScrollBar()->value();
    Invalidate();
}

void TStringGrid::mousePressEvent(QMouseEvent* event) { FireMouse(OnMouseDown, this, event); }

void TStringGrid::mouseReleaseEvent(QMouseEvent* event) { FireMouse(OnMouseUp, this, event); }

void TStringGrid::mouseMoveEvent(QMouseEvent* event) { FireMouseMove(OnMouseMove, this, event); }
