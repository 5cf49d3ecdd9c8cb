// The progress views of a running pass and the results view of the last
// analysis: grid resets and fills on page entry, the results bookkeeping with
// the health block, and the cell painters.

#include "ui/uMainForm.h"

#include "ui/uControls.h"

#include "app/uResources.h"
#include "core/uFormat.h"
#include "toolkit/Grids.h"
#include "toolkit/Image.h"
#include "toolkit/StdCtrls.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

struct THealthLook {
    const char* word;
    QColor colour;
    const char* summaryPicture;
    const char* resultsPicture;
};

const THealthLook& HealthLook(int level)
{
    static const THealthLook looks[3] = {
        {"Low", QColor(215, 0, 0), "term1_red", "term2_red"},
        {"Medium", QColor(255, 106, 0), "term1_orange", "term2_orange"},
        {"High", QColor(0, 160, 0), "term1_green", "term2_green"},
    };
    return looks[std::clamp(level, 1, 3) - 1];
}

// The cells' text: Arial 10 points, black, plain, smoothed.
QFont CellFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void DrawDriveCell(QPainter& canvas, const QRect& rect, const TDriveListItem& drive, const TImageList& icons)
{
    const QPixmap icon = icons.Icon(drive.IconIndex);
    if (!icon.isNull())
        canvas.drawPixmap(rect.left() + 4, rect.top() - 4, icon);
    const QFontMetrics fm(canvas.font());
    canvas.drawText(rect.left() + 44, rect.top() + 7 + fm.ascent(), QString::fromStdString(drive.DisplayName));
}

// Shrinks a self-sizing label's font a point at a time until its text fits
// 190 pixels. The size is never raised again.
void ShrinkToFit(TLabel* label)
{
    while (label->width() > 190) {
        QFont font = label->font();
        const qreal points = QFontInfo(font).pointSizeF();
        if (points <= 1)
            break;
        font.setPointSizeF(points - 1);
        label->SetFont(font);
    }
}

// A stored date that no longer parses (the regional settings changed)
// shows as unknown rather than failing every visit of the page.
std::optional<TDateTime> ParsedDate(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    try {
        return StrToDateTime(text, TFormatSettings::System());
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

QString DateText(const std::optional<TDateTime>& date)
{
    if (!date)
        return QStringLiteral("Undefined");
    const TFormatSettings& fs = TFormatSettings::System();
    return QString::fromStdString(FormatDateText(DateTimeToStr(*date, fs), fs));
}

} // namespace

void TMainForm::ShowSummary()
{
    TLabel* const labels[] = {ts4Label1, ts4Label2, ts4Label5,  ts4Label6,  ts4Label7,  ts4Label8,
                              ts4Label9, ts4Label10, ts4Label11, ts4Label12, ts4Label13, ts4Label14};
    if (Settings.LastScanDate.empty()) {
        for (TLabel* lb : labels)
            lb->setVisible(false);
        LoadGifResource(QStringLiteral("bg_scansumm_ts4_blank"), ts1ImScanSumm);
        return;
    }
    for (TLabel* lb : labels)
        lb->setVisible(true);
    const std::optional<TDateTime> scanned = ParsedDate(Settings.LastScanDate);
    ts4Label2->SetCaption(DateText(scanned));
    ShrinkToFit(ts4Label2);
    ts4Label8->SetCaption(QString::number(Settings.ErrFound));
    ts4Label10->SetCaption(QString::number(Settings.ErrFixed));
    const std::optional<TDateTime> defragmented = ParsedDate(Settings.LastDefragDate);
    ts4Label6->SetCaption(DateText(defragmented));
    ts4Label12->SetCaption(DateText(scanned ? std::optional<TDateTime>(*scanned + 7.0) : std::nullopt));
    ShrinkToFit(ts4Label12);
    LoadGifResource(QStringLiteral("bg_scansumm_ts4"), ts1ImScanSumm);

    // Without a recent defragmentation the drives count as in poor health.
    int level = 1;
    if (defragmented && std::trunc(std::fabs(Now() - *defragmented)) <= 7)
        level = HealthLevel(int32_t(std::clamp<int64_t>(int64_t(Settings.ErrFound) - Settings.ErrFixed, INT32_MIN,
                                                         INT32_MAX)));
    const THealthLook& look = HealthLook(level);
    ts4Label14->SetCaption(QString::fromLatin1(look.word));
    ts4Label14->SetFontColor(look.colour);
    LoadPngResource(QString::fromLatin1(look.summaryPicture), ts4ImageTerm);
}

void TMainForm::ResetProgressGrid(TStringGrid* grid, int state)
{
    const int scrollBar = TStringGrid::VerticalScrollBarWidth();
    if (state == 2) {
        grid->SetColCount(2);
        grid->SetColWidth(0, 466);
        grid->SetColWidth(1, grid->width() - 466 - scrollBar);
    } else {
        grid->SetColCount(3);
        grid->SetColWidth(0, 395);
        grid->SetColWidth(1, 146);
        grid->SetColWidth(2, grid->width() - 395 - 146 - scrollBar);
    }
    grid->Tag = 0;
    grid->SetRowCount(1);
    for (int c = 0; c < grid->ColCount(); ++c)
        grid->SetCell(c, 0, QString());
    grid->SetObject(0, 0, 0);
    grid->Invalidate();
}

void TMainForm::FillResultsGrid()
{
    TStringGrid* grid = ts6sgScanResult;
    grid->SetColCount(4);
    const int widths[4] = {199, 101, 101, 100};
    for (int c = 0; c < 4; ++c)
        grid->SetColWidth(c, widths[c]);
    grid->Tag = 0;
    // Every drive's count enters the total, ticked or not; only ticked
    // drives are listed.
    int32_t total = 0;
    for (size_t i = 0; i < DriveList.size(); ++i) {
        total += int32_t(uint32_t(uint64_t(DriveList[i].FragmentedFiles.Load())));
        if (DriveList[i].Selected) {
            grid->Tag += 1;
            grid->SetRowCount(grid->Tag);
            grid->SetObject(0, grid->Tag - 1, std::intptr_t(i));
        }
    }
    Settings.ErrFound = total;
    Settings.LastScanDate = DateTimeToStr(Now(), TFormatSettings::System());
    Settings.ErrFixed = 0;
    grid->Invalidate();
}

void TMainForm::ShowResultsHealth()
{
    const THealthLook& look = HealthLook(HealthLevel(Settings.ErrFound));
    Label8->SetCaption(QString::fromLatin1(look.word));
    Label8->SetFontColor(look.colour);
    LoadPngResource(QString::fromLatin1(look.resultsPicture), ts6ImageTerm);
    ts6lbTotErrCnt->SetCaption(QString::number(Settings.ErrFound));
    ts6lbTotErrCnt->SetFontColor(look.colour);
}

void TMainForm::ts5sgGuidListDrawCell(QObject* Sender, int ACol, int ARow, const QRect& Rect, unsigned,
                                      QPainter& Canvas)
{
    auto* grid = static_cast<TStringGrid*>(Sender);
    Canvas.fillRect(Rect, Qt::white);
    if (grid->Tag == 0)
        return;
    const std::intptr_t d = grid->Object(0, ARow);
    if (d < 0 || size_t(d) >= DriveList.size())
        return;
    Canvas.setFont(CellFont());
    Canvas.setPen(Qt::black);
    const QFontMetrics fm(Canvas.font());
    if (ACol == 0) {
        DrawDriveCell(Canvas, Rect, DriveList[size_t(d)], ilDriveIcons32);
        return;
    }
    const QString text = grid->Cell(ACol, ARow);
    int x = HalfRounded(grid->ColWidth(ACol)) - HalfRounded(fm.horizontalAdvance(text));
    // The last column of the analysis grid is narrower by the scroll bar.
    if (ACol == 1 && grid->ColCount() == 2)
        x += TStringGrid::VerticalScrollBarWidth() - 9;
    Canvas.drawText(Rect.left() + x, Rect.top() + 7 + fm.ascent(), text);
}

void TMainForm::ts6sgScanResultDrawCell(QObject* Sender, int ACol, int ARow, const QRect& Rect, unsigned,
                                        QPainter& Canvas)
{
    auto* grid = static_cast<TStringGrid*>(Sender);
    Canvas.fillRect(Rect, Qt::white);
    const std::intptr_t d = grid->Object(0, ARow);
    // No drive ticked: the grid keeps one row, drawn empty.
    if (grid->Tag == 0 || d < 0 || size_t(d) >= DriveList.size())
        return;
    const TDriveListItem& drive = DriveList[size_t(d)];
    Canvas.setFont(CellFont());
    Canvas.setPen(Qt::black);
    if (ACol == 0) {
        DrawDriveCell(Canvas, Rect, drive, ilDriveIcons32);
        return;
    }
    QString text;
    switch (ACol) {
    case 1: text = QString::fromStdString(drive.TotalSizeText); break;
    case 2: text = QString::number(drive.FragmentedFiles.Load()); break;
    case 3: text = QString::number(drive.Fragments.Load()); break;
    default: return;
    }
    const QFontMetrics fm(Canvas.font());
    const int x = HalfRounded(grid->ColWidth(ACol)) - HalfRounded(fm.horizontalAdvance(text));
    const int y = HalfRounded(grid->DefaultRowHeight()) - HalfRounded(fm.height());
    Canvas.drawText(Rect.left() + x, Rect.top() + y + fm.ascent(), text);
}
