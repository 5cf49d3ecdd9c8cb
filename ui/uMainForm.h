#pragma once
// The main window: a borderless, skinned 750 x 550 window holding the pages.
// Its member functions are grouped by concern: the frame (creation, showing,
// hiding, ending the program) in app/uMainFormFrame.cpp, the page flow in
// ui/uMainFormPages.cpp. It owns the settings record, the folders, the
// architecture text and the page state. Main thread only.

#include "core/uOSInfo.h"
#include "core/uSettings.h"
#include "core/uSysVars.h"
#include "engine/uTypes.h"
#include "toolkit/ImageList.h"
#include "toolkit/Form.h"
#include "toolkit/Image.h"

#include <QRegion>

#include <memory>

class QPainter;
class QRect;
class TImage;
class TEdit;
class TLabel;
class TMenuItem;
class TPopupMenu;
class TTimer;
class TTrayIcon;
class TLSVGauge;
class TPageControl;
class TScanThread;
class TDownToolThread;
class TSplashForm;
class TStringGrid;
class TTabSheet;
struct TMainFormTestAccess;

class TMainForm : public TForm {
public:
    TMainForm();
    ~TMainForm() override;

    // Frame.
    TImage* ImBgMain = nullptr;
    TImage* ImBtnMin = nullptr;
    TImage* ImBtnClose = nullptr;
    TImage* ImPageHead = nullptr;
    TImage* ImBtnSettingsGray = nullptr;
    TImage* ImBtnSettings = nullptr;
    TImage* ImBtnHelp = nullptr;
    TImage* ImBtnAbout = nullptr;
    TTimer* AnimFormTimer = nullptr;
    TTimer* ShowAppTimer = nullptr;
    TTrayIcon* TrayIcon = nullptr;
    std::unique_ptr<TPopupMenu> TrayMenu;
    TMenuItem* TrayMenuShowForm = nullptr;
    TMenuItem* TrayMenuAbout = nullptr;
    TMenuItem* N2 = nullptr;
    TMenuItem* TrayMenuExit = nullptr;
    TImageList ilDriveIcons32{32, 32};
    TImageList ilDriveIcons48{48, 48};

    // Pages: the top-level pages and, on the first, the defrag states.
    TPageControl* PgControl = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TTabSheet* TabSheet3 = nullptr;
    TTabSheet* TabSheet8 = nullptr;
    TPageControl* CleanPgControl = nullptr;
    TTabSheet* TabSheet4 = nullptr;
    TTabSheet* TabSheet5 = nullptr;
    TTabSheet* TabSheet6 = nullptr;
    TTabSheet* TabSheet7 = nullptr;

    // Summary (defrag state 1).
    TImage* Image1 = nullptr;
    TStringGrid* ts4SGDriveList = nullptr;
    TImage* ts1ImScanSumm = nullptr;
    TLabel* ts4Label1 = nullptr;
    TLabel* ts4Label2 = nullptr;
    TLabel* ts4Label7 = nullptr;
    TLabel* ts4Label8 = nullptr;
    TLabel* ts4Label5 = nullptr;
    TLabel* ts4Label6 = nullptr;
    TLabel* ts4Label9 = nullptr;
    TLabel* ts4Label10 = nullptr;
    TLabel* ts4Label11 = nullptr;
    TLabel* ts4Label12 = nullptr;
    TLabel* ts4Label13 = nullptr;
    TImage* ts4ImageTerm = nullptr;
    TLabel* ts4Label14 = nullptr;
    TLabel* Label28 = nullptr;
    TImage* ts1ImBtnScanNow = nullptr;

    // Analysis progress (defrag state 2) and defragmentation progress (4).
    TImage* Image3 = nullptr;
    TStringGrid* ts5sgGuidList = nullptr;
    TLabel* ts5lbCurStat = nullptr;
    TLabel* ts5lbCurKey = nullptr;
    TLabel* ts5lbTotStat = nullptr;
    TLSVGauge* ts5ggTotProg = nullptr;
    TImage* Image11 = nullptr;
    TStringGrid* ts7sgGuidList = nullptr;
    TLabel* ts7lbCurStat = nullptr;
    TLabel* ts7lbCurKey = nullptr;
    TLabel* ts7lbTotStat = nullptr;
    TLSVGauge* ts7ggTotProg = nullptr;

    // Results (defrag state 3) with the health block and the Fix button.
    TImage* Image4 = nullptr;
    TStringGrid* ts6sgScanResult = nullptr;
    TImage* Image5 = nullptr;
    TImage* Image14 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* ts6lbTotErrCnt = nullptr;
    TLabel* Label7 = nullptr;
    TImage* ts6ImageTerm = nullptr;
    TLabel* Label8 = nullptr;
    TLabel* Label6 = nullptr;
    TImage* ts7ImBtnFix = nullptr;

    // Companion tools (page 2): a block per tool with its picture, heading,
    // description and button; while the tool is fetched, its status, speed
    // and gauge take the button's place.
    TImage* ts3ImBackground = nullptr;
    TImage* Image15 = nullptr;
    TImage* ts3HeadIm1 = nullptr;
    TLabel* ts3Label11 = nullptr;
    TImage* ts3ImBtnFreeScans1 = nullptr;
    TLabel* ts3Label12 = nullptr;
    TLabel* ts3Label13 = nullptr;
    TLSVGauge* ts3DownProg1 = nullptr;
    TImage* Image7 = nullptr;
    TImage* Image8 = nullptr;
    TImage* ts3HeadIm2 = nullptr;
    TLabel* ts3Label21 = nullptr;
    TImage* ts3ImBtnFreeScans2 = nullptr;
    TLabel* ts3Label22 = nullptr;
    TLabel* ts3Label23 = nullptr;
    TLSVGauge* ts3DownProg2 = nullptr;

    // Settings page (page 3).
    TImage* Image10 = nullptr;
    TImage* ts8ImCheckBox1 = nullptr;
    TImage* ts8ImCheckBox2 = nullptr;
    TImage* ts8ImCheckBox3 = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* Label12 = nullptr;
    TLabel* Label10 = nullptr;
    TLabel* Label13 = nullptr;
    TLabel* Label16 = nullptr;
    TLabel* Label14 = nullptr;
    TLabel* Label15 = nullptr;
    TImage* Image2 = nullptr;
    TImage* Image6 = nullptr;
    TImage* Image12 = nullptr;
    TImage* Image13 = nullptr;
    TEdit* ts8ProxyHostEdit = nullptr;
    TEdit* ts8ProxyPortEdit = nullptr;
    TEdit* ts8ProxyLoginEdit = nullptr;
    TEdit* ts8ProxyPasswEdit = nullptr;

    // Bottom buttons of the defrag and settings pages, on top of each other.
    TImage* ts5ImBtnCancel = nullptr;
    TImage* ts6ImBtnBack = nullptr;
    TImage* ts7ImBtnCancel = nullptr;
    TImage* ts8ImBtnOK = nullptr;
    TImage* ts8ImBtnCancel = nullptr;

    // Frame.
    void FormCreate(QObject* Sender);
    void FormShow(QObject* Sender);
    void FormDestroy(QObject* Sender);
    void ImBgMainMouseDown(QObject* Sender, TMouseButton Button, int X, int Y);
    void ImBtnMinClick(QObject* Sender);
    void ImBtnCloseClick(QObject* Sender);
    void ImBtnHelpClick(QObject* Sender);
    void ImBtnAboutClick(QObject* Sender);
    void ImPageHeadMouseMove(QObject* Sender, int X, int Y);
    void ImPageHeadMouseLeave(QObject* Sender);
    void ImPageHeadClick(QObject* Sender);
    void AnimFormTimerTimer(QObject* Sender);
    void ShowAppTimerTimer(QObject* Sender);
    void TrayIconDblClick(QObject* Sender);
    void TrayMenuShowFormClick(QObject* Sender);
    void TrayMenuAboutClick(QObject* Sender);
    void TrayMenuExitClick(QObject* Sender);
    void ShowMainWindow();
    void HideMainWindow();
    // Fades a window in from fully transparent; ignored while a fade runs.
    void FadeIn(TForm* Form);

    // Builds the page controls and their controls (called by the constructor).
    void CreatePages();
    // Page flow: shows top-level page `page` (1..3) and, on page 1, defrag
    // state `state` (1..4), running the entry steps of that state.
    void ShowPage(int page, int state, bool loadSettings);
    void UpdatePageButtons(int page, int state);
    void ScanThreadTerminated(QObject* Sender);
    // Asks a running pass to stop and waits until it has ended (at exit).
    void StopScanThread();

    void ts1ImBtnScanNowClick(QObject* Sender);
    void ts7ImBtnFixClick(QObject* Sender);
    void ts7ImBtnCancelClick(QObject* Sender);
    void ts6ImBtnBackClick(QObject* Sender);
    void ImBtnSettingsClick(QObject* Sender);
    void ts8ImBtnOKClick(QObject* Sender);
    void ts8ImBtnCancelClick(QObject* Sender);
    void PaintSettingsCheckBoxes();

    // Companion tools.
    void ts3ImBtnFreeScans1Click(QObject* Sender);
    void ts3ImBtnFreeScans2Click(QObject* Sender);
    void FreeScans1Done(QObject* Sender);
    void FreeScans2Done(QObject* Sender);
    // The program is ending: running tool workers leave the page alone.
    void AbandonToolThreads();

    // Drive list view.
    void ts4SGDriveListDrawCell(QObject* Sender, int ACol, int ARow, const QRect& Rect, unsigned State,
                                QPainter& Canvas);
    void ts4SGDriveListMouseMove(QObject* Sender, int X, int Y);
    void ts4SGDriveListMouseDown(QObject* Sender, TMouseButton Button, int X, int Y);
    void ts4SGDriveListMouseUp(QObject* Sender, TMouseButton Button, int X, int Y);

    // Progress and results views.
    void ts5sgGuidListDrawCell(QObject* Sender, int ACol, int ARow, const QRect& Rect, unsigned State,
                               QPainter& Canvas);
    void ts6sgScanResultDrawCell(QObject* Sender, int ACol, int ARow, const QRect& Rect, unsigned State,
                                 QPainter& Canvas);

private:
    friend class TSplashForm;
    friend struct TMainFormTestAccess;

    TSysVars SysVars;
    TSettings Settings;
    TSettingsOrigin SettingsOrigin;
    TWindowsTypeEx WindowsType;
    TDriveList DriveList;
    int32_t DriveCount = 0;
    int ActivePage = 0;
    int DefragState = 0;
    bool Busy = false;
    // Hit regions of the page header's tabs, reloaded by ShowPage, and the
    // page whose tab is under the mouse (0: none).
    QRegion TabRegionDefrag;
    QRegion TabRegionFreeScans;
    int HotTab = 0;
    // The window being faded in.
    TForm* FadeForm = nullptr;
    // The worker of the running pass; cleared when it has ended, so that it
    // is never touched after it has freed itself.
    TScanThread* ScanThread = nullptr;
    // The workers fetching the companion tools; cleared when they end.
    TDownToolThread* ToolThread1 = nullptr;
    TDownToolThread* ToolThread2 = nullptr;
    // Set while the window is being destroyed: a pass that ends then shows no page.
    bool Closing = false;

    // The cell of the last press inside a drive's check box.
    int PressedCol = 0;
    int PressedRow = 0;
    bool IsDriveRow(int row) const;

    void StartScanThread(const char* mode);
    void CreateToolsPage();
    void StartToolThread(int tool);
    void ToolThreadDone(int tool);
    void ResetProgressGrid(TStringGrid* grid, int state);
    void ShowSummary();
    void LoadSettingsPage();
    void FillResultsGrid();
    void ShowResultsHealth();
};

// The check box within a drive row: (10, 23) to (23, 36), bounds included.
extern const QRect CheckBoxHitRect;

// 3 (High) below 100 fragmented files, 2 (Medium) up to 199, 1 (Low) from 200.
int HealthLevel(int32_t count);

extern TMainForm* MainForm;
// The maker's web site; the help button opens its FAQ page.
extern const char* const kMakerSite;
