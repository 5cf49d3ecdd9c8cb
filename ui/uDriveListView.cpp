// The drive list of the summary page: one 61-pixel row per drive with its
// icon, name, file system, free-space bar and sizes, and a check box that
// ticks the drive for the next pass.

#include "ui/uMainForm.h"

#include "app/uResources.h"
#include "core/uFormat.h"
#include "toolkit/Grids.h"

#include <QFontMetrics>
#include <QPainter>

#include <map>
#include <string>

const QRect CheckBoxHitRect(QPoint(10, 23), QPoint(23, 36));

namespace {

// Pictures are loaded once; the artwork never changes while the program runs.
const QImage& Picture(const char* name, bool gif)
{
    static std::map<std::string, QImage> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        QImage image;
        if (gif)
            LoadGifResource(QString::fromLatin1(name), image);
        else
            LoadPngResource(QString::fromLatin1(name), image);
        it = cache.emplace(name, image).first;
    }
    return it->second;
}

const char* CheckBoxName(bool selected, uint8_t checkState)
{
    if (checkState == kCheckStatePressed)
        return selected ? "checkbox_1_dn" : "checkbox_0_dn";
    if (checkState == 0)
        return selected ? "checkbox_1_a" : "checkbox_0_a";
    return selected ? "checkbox_1_na" : "checkbox_0_na";
}

bool InCheckBox(const QRect& cell, int x, int y)
{
    return x >= CheckBoxHitRect.left() && x <= CheckBoxHitRect.right() &&
           y >= cell.top() + CheckBoxHitRect.top() && y <= cell.top() + CheckBoxHitRect.bottom();
}

} // namespace

bool TMainForm::IsDriveRow(int row) const { return row >= 0 && row < DriveCount && size_t(row) < DriveList.size(); }

void TMainForm::ts4SGDriveListDrawCell(QObject*, int, int ARow, const QRect& Rect, unsigned, QPainter& Canvas)
{
    if (!IsDriveRow(ARow))
        return;
    const TDriveListItem& drive = DriveList[size_t(ARow)];
    Canvas.fillRect(Rect, Qt::white);
    const bool narrow = ts4SGDriveList->HasVerticalScrollBar();
    Canvas.drawImage(Rect.left(), Rect.top(), Picture(narrow ? "bg_drive_small" : "bg_drive_large", true));
    Canvas.drawImage(Rect.left() + 10, Rect.top() + 23, Picture(CheckBoxName(drive.Selected, drive.CheckState), false));
    const QPixmap icon = ilDriveIcons48.Icon(drive.IconIndex);
    if (!icon.isNull())
        Canvas.drawPixmap(Rect.left() + 33, Rect.top(), icon);
    Canvas.drawImage(Rect.left() + 89, Rect.top() + 23, Picture(narrow ? "ts_prog_bg_small" : "ts_prog_bg_large", true));
    // The fill shows the share of free space.
    const QImage& fill = Picture(narrow ? "ts_prog_main_small" : "ts_prog_main_large", true);
    const int columns = int(RoundHalfEven(static_cast<long double>(fill.width()) / 100 * drive.FreePercent));
    if (columns > 0)
        Canvas.drawImage(QPoint(Rect.left() + 89, Rect.top() + 23), fill, QRect(0, 0, columns, fill.height()));

    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    font.setStyleStrategy(QFont::PreferAntialias);
    Canvas.setFont(font);
    const QFontMetrics fm(font);
    const QString name = QString::fromStdString(drive.DisplayName);
    Canvas.setPen(Qt::black);
    Canvas.drawText(Rect.left() + 89, Rect.top() + 8 + fm.ascent(), name);
    Canvas.setPen(QColor(109, 109, 109));
    Canvas.drawText(Rect.left() + 89 + fm.horizontalAdvance(name) + 4, Rect.top() + 8 + fm.ascent(),
                    QStringLiteral(" - ") + QString::fromStdString(drive.FileSystem));
    Canvas.drawText(Rect.left() + 89, Rect.top() + 38 + fm.ascent(),
                    QString::fromStdString(drive.FreeSizeText + " free of " + drive.TotalSizeText));
}

void TMainForm::ts4SGDriveListMouseMove(QObject*, int X, int Y)
{
    int col = 0, row = 0;
    if (!ts4SGDriveList->MouseToCell(X, Y, col, row) || !IsDriveRow(row))
        return;
    const TDriveListItem& drive = DriveList[size_t(row)];
    if (drive.CheckState == kCheckStatePressed)
        return;
    const QRect r = ts4SGDriveList->CellRect(col, row);
    const uint8_t look = InCheckBox(r, X, Y) ? 0 : kCheckStateNormal;
    ts4SGDriveList->DrawOnCanvas([&](QPainter& p) {
        p.drawImage(r.left() + 10, r.top() + 23, Picture(CheckBoxName(drive.Selected, look), false));
    });
}

void TMainForm::ts4SGDriveListMouseDown(QObject*, TMouseButton, int X, int Y)
{
    int col = 0, row = 0;
    if (!ts4SGDriveList->MouseToCell(X, Y, col, row) || !IsDriveRow(row))
        return;
    if (!InCheckBox(ts4SGDriveList->CellRect(col, row), X, Y))
        return;
    DriveList[size_t(row)].CheckState = kCheckStatePressed;
    PressedCol = col;
    PressedRow = row;
    // The pressed look shows at once rather than at the next repaint.
    ts4SGDriveList->Invalidate();
}

void TMainForm::ts4SGDriveListMouseUp(QObject*, TMouseButton, int X, int Y)
{
    // The remembered row decides; with no drive there is nothing to release.
    if (!IsDriveRow(PressedRow))
        return;
    TDriveListItem& drive = DriveList[size_t(PressedRow)];
    // A row scrolled out of view has no check box under the pointer.
    const QRect r = ts4SGDriveList->CellRect(PressedCol, PressedRow);
    if (!r.isEmpty() && InCheckBox(r, X, Y))
        drive.Selected = !drive.Selected;
    drive.CheckState = kCheckStateNormal;
    ts4SGDriveList->Invalidate();
}
