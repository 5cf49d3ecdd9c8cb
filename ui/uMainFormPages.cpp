// Page flow of the main window: the pages, ShowPage with the entry steps of
// each state, and the hand-over to and from the scan worker.

#include "ui/uMainForm.h"

#include "ui/uControls.h"

#include "app/uResources.h"
#include "controls/cm_LSVGauges.h"
#include "core/uFormat.h"
#include "engine/uScanThread.h"
#include "enginelib/JkDefrag.h"
#include "toolkit/Application.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Grids.h"
#include "toolkit/Image.h"
#include "toolkit/StdCtrls.h"

#include <QCoreApplication>
#include <QThread>

namespace {

// A label of fixed size whose text is centred in it.
TLabel* NewCentredLabel(QWidget* parent, int x, int y, int w, int h, const QString& caption, int pixelSize,
                        bool bold, bool wrap = false)
{
    TLabel* lb = NewLabel(parent, x, y, caption, pixelSize, bold);
    lb->SetAutoSize(false);
    lb->SetWordWrap(wrap);
    lb->SetAlignment(taCenter);
    lb->SetBounds(x, y, w, h);
    return lb;
}

TStringGrid* NewViewGrid(QWidget* parent, int x, int y, int w, int h)
{
    auto* grid = new TStringGrid(parent);
    grid->SetBounds(x, y, w, h);
    grid->SetDefaultRowHeight(32);
    grid->SetGridLineWidth(0);
    grid->SetRowCount(1);
    return grid;
}

void LoadGaugeTextures(TLSVGauge* gauge, const char* foreName = "TS5PROG_MAIN", const char* backName = "TS5PROG_BG")
{
    QImage fore, back;
    LoadGifResource(QString::fromLatin1(foreName), fore);
    LoadGifResource(QString::fromLatin1(backName), back);
    gauge->SetTextureOnFore(fore);
    gauge->SetTextureOnBack(back);
}

} // namespace

int HealthLevel(int32_t count)
{
    if (count < 100)
        return 3;
    if (count <= 199)
        return 2;
    return 1;
}

void TMainForm::CreatePages()
{
    PgControl = new TPageControl(this);
    PgControl->SetBounds(15, 96, 720, 380);
    TabSheet1 = new TTabSheet(PgControl, "Clean");
    TabSheet3 = new TTabSheet(PgControl, "FreeScans");
    TabSheet8 = new TTabSheet(PgControl, "Settings");
    CleanPgControl = new TPageControl(TabSheet1);
    CleanPgControl->SetBounds(0, 0, 720, 380);
    TabSheet4 = new TTabSheet(CleanPgControl, "Summary");
    TabSheet5 = new TTabSheet(CleanPgControl, "ScanProg");
    TabSheet6 = new TTabSheet(CleanPgControl, "ScanResult");
    TabSheet7 = new TTabSheet(CleanPgControl, "FixProg");
    CreateToolsPage();

    // Summary: the drive panel on the left, the scan summary on the right.
    Image1 = NewImage(TabSheet4, 0, 0, 365, 364);
    LoadGifResource(QStringLiteral("bg_drives_ts4"), Image1);
    // The drive list: one 326-pixel column of 61-pixel rows, no grid lines.
    ts4SGDriveList = new TStringGrid(TabSheet4);
    ts4SGDriveList->SetBounds(17, 47, 326, 301);
    ts4SGDriveList->SetColCount(1);
    ts4SGDriveList->SetDefaultColWidth(326);
    ts4SGDriveList->SetDefaultRowHeight(61);
    ts4SGDriveList->SetGridLineWidth(0);
    // One row until the start-up sequence knows the drives.
    ts4SGDriveList->SetRowCount(1);
    ts4SGDriveList->OnDrawCell = [this](QObject* s, int c, int r, const QRect& rc, TGridDrawState st, QPainter& cv) {
        ts4SGDriveListDrawCell(s, c, r, rc, st, cv);
    };
    ts4SGDriveList->OnMouseMove = [this](QObject* s, int x, int y) { ts4SGDriveListMouseMove(s, x, y); };
    ts4SGDriveList->OnMouseDown = [this](QObject* s, TMouseButton b, int x, int y) { ts4SGDriveListMouseDown(s, b, x, y); };
    ts4SGDriveList->OnMouseUp = [this](QObject* s, TMouseButton b, int x, int y) { ts4SGDriveListMouseUp(s, b, x, y); };
    ts1ImScanSumm = NewImage(TabSheet4, 365, 1, 360, 265);
    LoadGifResource(QStringLiteral("bg_scansumm_ts4_blank"), ts1ImScanSumm);
    // The dates and counts of the last analysis, then the health rating.
    ts4Label1 = NewLabel(TabSheet4, 375, 42, QStringLiteral("Last scan:"), 13, true);
    ts4Label2 = NewLabel(TabSheet4, 375, 59, QStringLiteral("Undefined"), 13, false);
    ts4Label7 = NewLabel(TabSheet4, 375, 85, QStringLiteral("Fragmented files found, total:"), 13, true);
    ts4Label8 = NewLabel(TabSheet4, 375, 102, QStringLiteral("0"), 13, false);
    ts4Label5 = NewLabel(TabSheet4, 375, 128, QStringLiteral("Last defrgamentation:"), 13, true);
    ts4Label6 = NewLabel(TabSheet4, 375, 145, QStringLiteral("Undefined"), 13, false);
    ts4Label9 = NewLabel(TabSheet4, 375, 171, QStringLiteral("Defragmented files, total:"), 13, true);
    ts4Label10 = NewLabel(TabSheet4, 375, 188, QStringLiteral("0"), 13, false);
    ts4Label11 = NewLabel(TabSheet4, 375, 214, QStringLiteral("Next recommended defrag:"), 13, true);
    ts4Label12 = NewLabel(TabSheet4, 375, 231, QStringLiteral("Undefined"), 13, false);
    ts4Label13 = NewCentredLabel(TabSheet4, 572, 42, 143, 16, QStringLiteral("Drives health is:"), 13, true);
    ts4ImageTerm = NewImage(TabSheet4, 616, 65, 56, 141);
    ts4Label14 = NewCentredLabel(TabSheet4, 566, 218, 155, 32, QStringLiteral("LOW"), 28, false);
    Label28 = NewCentredLabel(
        TabSheet4, 380, 277, 320, 34,
        QStringLiteral("Click \u201cScan Now\u201d to automatically check your drives for fragmented files and entries"),
        13, false, true);
    Label28->SetFontColor(palette().color(QPalette::WindowText));
    ts1ImBtnScanNow = NewImage(TabSheet4, 466, 318, 152, 32);
    SkinButton(ts1ImBtnScanNow, QStringLiteral("btn_scannow"));
    ts1ImBtnScanNow->OnClick = [this](QObject* s) { ts1ImBtnScanNowClick(s); };

    // The two progress pages: same geometry, their own controls.
    struct ProgressPage {
        TTabSheet* sheet;
        const char* background;
        const char* totalCaption;
        TImage*& image;
        TStringGrid*& grid;
        TLabel*& curStat;
        TLabel*& curKey;
        TLabel*& totStat;
        TLSVGauge*& gauge;
    };
    for (ProgressPage p : {
             ProgressPage{TabSheet5, "bg_scanprog_ts5", "Scan progress for all drives:", Image3, ts5sgGuidList,
                          ts5lbCurStat, ts5lbCurKey, ts5lbTotStat, ts5ggTotProg},
             ProgressPage{TabSheet7, "bg_fixprog_ts7", "Fix progress for all sections:", Image11, ts7sgGuidList,
                          ts7lbCurStat, ts7lbCurKey, ts7lbTotStat, ts7ggTotProg},
         }) {
        p.image = NewImage(p.sheet, 0, 0, 720, 365);
        LoadGifResource(QString::fromLatin1(p.background), p.image);
        p.grid = NewViewGrid(p.sheet, 17, 68, 687, 195);
        p.grid->OnDrawCell = [this](QObject* s, int c, int r, const QRect& rc, TGridDrawState st, QPainter& cv) {
            ts5sgGuidListDrawCell(s, c, r, rc, st, cv);
        };
        p.curStat = NewLabel(p.sheet, 15, 272, QStringLiteral("Current key:"), 13, true);
        p.curStat->SetAutoSize(false);
        p.curStat->SetBounds(15, 272, 690, 16);
        p.curKey = NewLabel(p.sheet, 15, 290, QString(), 13, false);
        p.curKey->SetAutoSize(false);
        p.curKey->SetBounds(15, 290, 690, 16);
        p.totStat = NewLabel(p.sheet, 15, 312, QString::fromLatin1(p.totalCaption), 13, true);
        p.gauge = NewPercentGauge(p.sheet, 15, 330, 690);
    }

    // Results: the list of analysed drives, the health block and Fix.
    Image4 = NewImage(TabSheet6, 0, 0, 535, 365);
    LoadGifResource(QStringLiteral("bg_scanres_ts6"), Image4);
    ts6sgScanResult = NewViewGrid(TabSheet6, 17, 68, 501, 279);
    ts6sgScanResult->OnDrawCell = [this](QObject* s, int c, int r, const QRect& rc, TGridDrawState st, QPainter& cv) {
        ts6sgScanResultDrawCell(s, c, r, rc, st, cv);
    };
    Image5 = NewImage(TabSheet6, 543, 0, 170, 270);
    LoadGifResource(QStringLiteral("bg_health_ts6"), Image5);
    Image14 = NewImage(TabSheet6, 543, 275, 170, 90);
    LoadGifResource(QStringLiteral("bg_fix_ts6"), Image14);
    Label1 = NewCentredLabel(TabSheet6, 550, 42, 155, 16, QStringLiteral("Fragmented files, total:"), 13, true);
    ts6lbTotErrCnt = NewCentredLabel(TabSheet6, 550, 59, 155, 32, QStringLiteral("600"), 28, false);
    Label7 = NewCentredLabel(TabSheet6, 550, 103, 155, 16, QStringLiteral("Drives health is:"), 13, true);
    ts6ImageTerm = NewImage(TabSheet6, 614, 127, 28, 69);
    Label8 = NewCentredLabel(TabSheet6, 550, 198, 155, 32, QStringLiteral("LOW"), 28, false);
    Label6 = NewCentredLabel(TabSheet6, 550, 282, 155, 32, QStringLiteral("Click to begin the defragmentation:"), 13,
                             false, true);
    ts7ImBtnFix = NewImage(TabSheet6, 552, 323, 152, 32);
    SkinButton(ts7ImBtnFix, QStringLiteral("Btn_FixDrives"), true);
    ts7ImBtnFix->OnClick = [this](QObject* s) { ts7ImBtnFixClick(s); };

    Image10 = NewImage(TabSheet8, 0, 2, 720, 372);
    LoadGifResource(QStringLiteral("bg_settings_ts8"), Image10);
    ts8ImCheckBox1 = NewImage(TabSheet8, 106, 97, 13, 13);
    ts8ImCheckBox2 = NewImage(TabSheet8, 106, 137, 13, 13);
    ts8ImCheckBox3 = NewImage(TabSheet8, 106, 177, 13, 13);
    for (TImage* box : {ts8ImCheckBox1, ts8ImCheckBox2, ts8ImCheckBox3})
        SkinCheckBox(box);
    Label5 = NewLabel(TabSheet8, 128, 96, QStringLiteral("Start Vantorel when Windows starts"), 13, false);
    Label12 = NewLabel(TabSheet8, 128, 136, QStringLiteral("Close to system tray icon"), 13, false);
    Label10 = NewLabel(TabSheet8, 128, 176, QStringLiteral("Use a proxy server"), 13, false);
    Label13 = NewLabel(TabSheet8, 128, 220, QStringLiteral("Address:"), 13, false);
    Label16 = NewLabel(TabSheet8, 460, 220, QStringLiteral("Port:"), 13, false);
    Label14 = NewLabel(TabSheet8, 194, 260, QStringLiteral("Login:"), 13, false);
    Label15 = NewLabel(TabSheet8, 392, 260, QStringLiteral("Password:"), 13, false);
    // Each edit lies on its frame picture.
    struct EditPlace {
        TImage*& frame;
        const char* picture;
        QRect frameRect;
        TEdit*& edit;
        QRect editRect;
    };
    for (EditPlace e : {
             EditPlace{Image2, "frame_edit_host", {194, 219, 226, 19}, ts8ProxyHostEdit, {197, 220, 219, 17}},
             EditPlace{Image6, "frame_edit_port", {502, 219, 77, 19}, ts8ProxyPortEdit, {505, 220, 70, 17}},
             EditPlace{Image12, "frame_edit_login", {244, 259, 110, 19}, ts8ProxyLoginEdit, {248, 260, 102, 17}},
             EditPlace{Image13, "frame_edit_login", {469, 259, 110, 19}, ts8ProxyPasswEdit, {473, 260, 102, 17}},
         }) {
        e.frame = NewImage(TabSheet8, e.frameRect.x(), e.frameRect.y(), e.frameRect.width(), e.frameRect.height());
        LoadGifResource(QString::fromLatin1(e.picture), e.frame);
        e.edit = new TEdit(TabSheet8);
        e.edit->SetBounds(e.editRect.x(), e.editRect.y(), e.editRect.width(), e.editRect.height());
        e.edit->setFont(MakeFont(QStringLiteral("Arial"), 13));
    }
    ts8ProxyPasswEdit->SetPasswordChar(QLatin1Char('*'));
    QWidget::setTabOrder(ts8ProxyHostEdit, ts8ProxyLoginEdit);
    QWidget::setTabOrder(ts8ProxyLoginEdit, ts8ProxyPortEdit);
    QWidget::setTabOrder(ts8ProxyPortEdit, ts8ProxyPasswEdit);

    // The bottom buttons lie on the window, below the pages.
    ts5ImBtnCancel = NewImage(this, 620, 481, 102, 32);
    ts6ImBtnBack = NewImage(this, 620, 481, 102, 32);
    ts7ImBtnCancel = NewImage(this, 620, 481, 102, 32);
    ts8ImBtnOK = NewImage(this, 620, 481, 102, 32);
    ts8ImBtnCancel = NewImage(this, 511, 481, 102, 32);
    // The analysis cannot be interrupted from its page: its Cancel has no handlers.
    SkinButton(ts6ImBtnBack, QStringLiteral("BTN_BACK"));
    SkinButton(ts7ImBtnCancel, QStringLiteral("BTN_CANCEL"));
    SkinButton(ts8ImBtnOK, QStringLiteral("BTN_OK"));
    SkinButton(ts8ImBtnCancel, QStringLiteral("BTN_CANCEL"));
    ts6ImBtnBack->OnClick = [this](QObject* s) { ts6ImBtnBackClick(s); };
    ts7ImBtnCancel->OnClick = [this](QObject* s) { ts7ImBtnCancelClick(s); };
    ts8ImBtnOK->OnClick = [this](QObject* s) { ts8ImBtnOKClick(s); };
    ts8ImBtnCancel->OnClick = [this](QObject* s) { ts8ImBtnCancelClick(s); };
    UpdatePageButtons(0, 0);
}

void TMainForm::UpdatePageButtons(int page, int state)
{
    for (TImage* b : {ts5ImBtnCancel, ts6ImBtnBack, ts7ImBtnCancel, ts8ImBtnCancel, ts8ImBtnOK})
        b->SetVisible(false);
    if (page == 1 && state == 3)
        ts6ImBtnBack->SetVisible(true);
    if (page == 1 && state == 4)
        ts7ImBtnCancel->SetVisible(true);
    if (page == 3) {
        ts8ImBtnCancel->SetVisible(true);
        ts8ImBtnOK->SetVisible(true);
    }
}

void TMainForm::ShowPage(int page, int state, bool loadSettings)
{
    PgControl->SetActivePageIndex(page - 1);
    if (ImPageHead)
        ImPageHead->SetVisible(true);
    if (page == 1) {
        if (ImPageHead)
            LoadPngResource(QStringLiteral("BtnPg_Defrag"), ImPageHead);
        LoadRegionResource(TabRegionDefrag, QStringLiteral("BtnPg_Defrag_r2"));
        UpdatePageButtons(1, state);
        CleanPgControl->SetActivePageIndex(state - 1);
        switch (state) {
        case 1:
            LoadPngResource(QStringLiteral("btn_scannow_na"), ts1ImBtnScanNow);
            ShowSummary();
            // With no pass running the header and the settings are free again,
            // also after a defragmentation, which never enters the results.
            if (!ScanThread) {
                Busy = false;
                if (ImBtnSettings)
                    ImBtnSettings->SetVisible(true);
            }
            break;
        case 2:
        case 4: {
            const bool analysis = state == 2;
            TLSVGauge* gauge = analysis ? ts5ggTotProg : ts7ggTotProg;
            LoadGaugeTextures(gauge);
            TImage* cancel = analysis ? ts5ImBtnCancel : ts7ImBtnCancel;
            LoadPngResource(QStringLiteral("BTN_CANCEL_NA"), cancel);
            cancel->SetVisible(!analysis);
            gauge->SetProgress(0);
            if (ImBtnSettings)
                ImBtnSettings->SetVisible(false);
            Busy = true;
            if (ImPageHead)
                LoadPngResource(QStringLiteral("BtnPg_Defrag_na"), ImPageHead);
            ResetProgressGrid(analysis ? ts5sgGuidList : ts7sgGuidList, state);
            StartScanThread(analysis ? "a" : "d");
            break;
        }
        case 3:
            LoadPngResource(QStringLiteral("BTN_BACK_NA"), ts6ImBtnBack);
            ts6ImBtnBack->SetVisible(true);
            if (ImBtnSettings)
                ImBtnSettings->SetVisible(true);
            Busy = false;
            FillResultsGrid();
            ShowResultsHealth();
            if (Settings.ErrFound == 0) {
                LoadPngResource(QStringLiteral("Btn_FixDrives_gray"), ts7ImBtnFix);
                ts7ImBtnFix->SetEnabled(false);
            } else {
                LoadPngResource(QStringLiteral("Btn_FixDrives_na"), ts7ImBtnFix);
                ts7ImBtnFix->SetEnabled(true);
                ShowMainWindow();
            }
            break;
        default:
            break;
        }
    } else if (page == 2) {
        if (ImPageHead)
            LoadPngResource(QStringLiteral("BtnPg_FreeScans"), ImPageHead);
        LoadRegionResource(TabRegionFreeScans, QStringLiteral("BtnPg_FreeScans_r1"));
        UpdatePageButtons(2, state);
        LoadPngResource(QStringLiteral("btn_freescans_na"), ts3ImBtnFreeScans1);
        LoadPngResource(QStringLiteral("btn_freescans_na"), ts3ImBtnFreeScans2);
        for (TLSVGauge* gauge : {ts3DownProg1, ts3DownProg2})
            LoadGaugeTextures(gauge, "ts3downprog_main", "ts3downprog_bg");
    } else if (page == 3) {
        if (ImPageHead)
            ImPageHead->SetVisible(false);
        LoadPngResource(QStringLiteral("BTN_OK_NA"), ts8ImBtnOK);
        LoadPngResource(QStringLiteral("BTN_CANCEL_NA"), ts8ImBtnCancel);
        UpdatePageButtons(3, state);
        if (loadSettings)
            LoadSettingsPage();
    }
}

void TMainForm::StartScanThread(const char* mode)
{
    const bool analysis = mode[0] == 'a';
    auto* thread = new TScanThread;
    ScanThread = thread;
    thread->Priority = analysis ? TThreadPriority::tpHigher : TThreadPriority::tpNormal;
    thread->FreeOnTerminate = true;
    thread->Mode = mode;
    thread->ResultGrid = analysis ? ts5sgGuidList : ts7sgGuidList;
    thread->ProgressGauge = analysis ? ts5ggTotProg : ts7ggTotProg;
    thread->CaptionLabel = analysis ? ts5lbCurStat : ts7lbCurStat;
    thread->DetailLabel = analysis ? ts5lbCurKey : ts7lbCurKey;
    thread->DriveList = &DriveList;
    thread->Settings = &Settings;
    thread->OnTerminate = [this](QObject* s) { ScanThreadTerminated(s); };
    thread->Start();
}

void TMainForm::ScanThreadTerminated(QObject* Sender)
{
    (void)Sender;
    const bool defragmentation = ScanThread && ScanThread->Mode == "d";
    ScanThread = nullptr;
    if (Closing)
        return;
    ActivePage = 1;
    DefragState = defragmentation ? 1 : 3;
    // The settings page stays up with what the user is typing; its OK or
    // Cancel returns to the state chosen here.
    if (PgControl->ActivePageIndex() == 2)
        return;
    ShowPage(1, DefragState, true);
}

void TMainForm::StopScanThread()
{
    if (!ScanThread)
        return;
    Closing = true;
    ScanThread->Terminate();
    StopJkDefrag(&EngineRunState, 0);
    // The worker's steps on this thread must still run while it winds down.
    while (ScanThread) {
        StopJkDefrag(&EngineRunState, 0);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        if (ScanThread)
            QThread::msleep(5);
    }
}

void TMainForm::ts1ImBtnScanNowClick(QObject*)
{
    // A cancelled pass may still be winding down; one pass at a time.
    if (ScanThread)
        return;
    ActivePage = 1;
    DefragState = 2;
    ShowPage(1, 2, true);
}

void TMainForm::ts7ImBtnFixClick(QObject*)
{
    if (ScanThread || Settings.ErrFound <= 0)
        return;
    ActivePage = 1;
    DefragState = 4;
    ShowPage(1, 4, true);
}

void TMainForm::ts7ImBtnCancelClick(QObject*)
{
    ActivePage = 1;
    DefragState = 3;
    if (ScanThread)
        ScanThread->Terminate();
    ShowPage(1, 3, false);
}

void TMainForm::ts6ImBtnBackClick(QObject*)
{
    ActivePage = 1;
    DefragState = 1;
    ShowPage(1, 1, true);
}

void TMainForm::ImBtnSettingsClick(QObject*)
{
    if (Busy)
        return;
    ShowPage(3, 0, true);
}

void TMainForm::LoadSettingsPage()
{
    ts8ProxyHostEdit->SetText(QString::fromStdString(Settings.ProxyHost));
    ts8ProxyPortEdit->SetText(QString::fromStdString(Settings.ProxyPort));
    ts8ProxyLoginEdit->SetText(QString::fromStdString(Settings.ProxyLogin));
    ts8ProxyPasswEdit->SetText(QString::fromStdString(Settings.ProxyPassw));
    ts8ImCheckBox1->Tag = Settings.AutoRun ? 1 : 0;
    ts8ImCheckBox2->Tag = Settings.CloseToTray ? 1 : 0;
    ts8ImCheckBox3->Tag = Settings.UseProxy ? 1 : 0;
    PaintSettingsCheckBoxes();
}

void TMainForm::PaintSettingsCheckBoxes()
{
    for (TImage* box : {ts8ImCheckBox1, ts8ImCheckBox2, ts8ImCheckBox3})
        PaintCheckBox(box, "NA");
}

void TMainForm::ts8ImBtnOKClick(QObject*)
{
    Settings.AutoRun = ts8ImCheckBox1->Tag == 1;
    Settings.CloseToTray = ts8ImCheckBox2->Tag == 1;
    Settings.UseProxy = ts8ImCheckBox3->Tag == 1;
    // Taken as typed: the port stays text until a request uses it.
    Settings.ProxyHost = ts8ProxyHostEdit->text().toStdString();
    Settings.ProxyPort = ts8ProxyPortEdit->text().toStdString();
    Settings.ProxyLogin = ts8ProxyLoginEdit->text().toStdString();
    Settings.ProxyPassw = ts8ProxyPasswEdit->text().toStdString();
    ShowPage(ActivePage, DefragState, false);
}

void TMainForm::ts8ImBtnCancelClick(QObject*) { ShowPage(ActivePage, DefragState, false); }
