// The main window's frame: creation, showing, hiding, dragging, the caption
// and bottom-bar buttons, the page-header tabs, the notification-area icon,
// the fade-in of secondary windows and ending the program.

#include "app/uResources.h"
#include "app/uSingleRun.h"
#include "app/uSplashForm.h"
#include "toolkit/Application.h"
#include "toolkit/Image.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Timer.h"
#include "toolkit/TrayIcon.h"
#include "ui/uMainForm.h"
#include "ui/uSecondaryForms.h"

#include <QDesktopServices>
#include <QIcon>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <unistd.h>

TMainForm* MainForm = nullptr;
// The maker is invented; a reserved name that never resolves stands in.
const char* const kMakerSite = "http://www.vantorel.invalid";

namespace {
TImage* NewButton(QWidget* parent, int x, int y, int w, int h, const char* base)
{
    auto* im = new TImage(parent);
    im->SetBounds(x, y, w, h);
    SkinButton(im, QString::fromLatin1(base));
    return im;
}

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/art/icon_app_%1.png").arg(size), QSize(size, size));
    return icon;
}
} // namespace

TMainForm::TMainForm()
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowSystemMenuHint);
    SetClientSize(750, 550);
    SetCaption("Vantorel");
    setWindowIcon(AppIcon());
    CenterOnScreen();
    ImBgMain = new TImage(this);
    ImBgMain->SetBounds(0, 0, 750, 550);
    LoadPngResource("bg_main", ImBgMain);
    ImBgMain->OnMouseDown = [this](QObject* s, TMouseButton b, int x, int y) { ImBgMainMouseDown(s, b, x, y); };
    CreatePages();
    // The summary page's decoration drags the window like the background.
    for (TImage* im : {Image1, ts1ImScanSumm})
        im->OnMouseDown = ImBgMain->OnMouseDown;
    Label28->OnMouseDown = ImBgMain->OnMouseDown;

    ImBtnMin = NewButton(this, 674, 0, 24, 15, "BTN_MIN");
    ImBtnClose = NewButton(this, 699, 0, 41, 15, "BTN_CLOSE");
    ImPageHead = new TImage(this);
    ImPageHead->SetBounds(35, 71, 236, 25);
    ImBtnSettingsGray = new TImage(this);
    ImBtnSettingsGray->SetBounds(26, 524, 71, 23);
    ImBtnSettings = NewButton(this, 26, 524, 71, 23, "BTN_SETTINGS");
    ImBtnHelp = NewButton(this, 104, 524, 53, 23, "BTN_HELP");
    ImBtnAbout = NewButton(this, 164, 524, 60, 23, "BTN_ABOUT");
    ImBtnMin->OnClick = [this](QObject* s) { ImBtnMinClick(s); };
    ImBtnClose->OnClick = [this](QObject* s) { ImBtnCloseClick(s); };
    ImBtnSettings->OnClick = [this](QObject* s) { ImBtnSettingsClick(s); };
    ImBtnHelp->OnClick = [this](QObject* s) { ImBtnHelpClick(s); };
    ImBtnAbout->OnClick = [this](QObject* s) { ImBtnAboutClick(s); };
    ImPageHead->OnMouseMove = [this](QObject* s, int x, int y) { ImPageHeadMouseMove(s, x, y); };
    ImPageHead->OnMouseLeave = [this](QObject* s) { ImPageHeadMouseLeave(s); };
    ImPageHead->OnClick = [this](QObject* s) { ImPageHeadClick(s); };

    AnimFormTimer = new TTimer(this, 1, false);
    AnimFormTimer->OnTimer = [this](QObject* s) { AnimFormTimerTimer(s); };
    ShowAppTimer = new TTimer(this, 200, true);
    ShowAppTimer->OnTimer = [this](QObject* s) { ShowAppTimerTimer(s); };

    TrayMenu = std::make_unique<TPopupMenu>();
    TrayMenuShowForm = TrayMenu->Add(QStringLiteral("Show Vantorel"));
    TrayMenuAbout = TrayMenu->Add(QStringLiteral("About..."));
    N2 = TrayMenu->Add(QStringLiteral("-"));
    TrayMenuExit = TrayMenu->Add(QStringLiteral("Exit"));
    TrayMenuShowForm->OnClick = [this](QObject* s) { TrayMenuShowFormClick(s); };
    TrayMenuAbout->OnClick = [this](QObject* s) { TrayMenuAboutClick(s); };
    TrayMenuExit->OnClick = [this](QObject* s) { TrayMenuExitClick(s); };
    TrayIcon = new TTrayIcon(this);
    TrayIcon->SetIcon(AppIcon());
    TrayIcon->SetHint(QStringLiteral("Quorbis - Vantorel"));
    TrayIcon->SetPopupMenu(TrayMenu.get());
    TrayIcon->OnDblClick = [this](QObject* s) { TrayIconDblClick(s); };

    OnCreate = [this](QObject* s) { FormCreate(s); };
    OnShow = [this](QObject* s) { FormShow(s); };
    OnDestroy = [this](QObject* s) { FormDestroy(s); };
    DoCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate(QObject*)
{
    if (SingleRun)
        SingleRun->RegisterInstance(uint64_t(winId()));
    SetRegion(RoundRectRegion(0, 0, 751, 551, 11, 11));
    ApplyClearTypeFonts(this);
    LoadPngResource("BTN_SETTINGS_NA", ImBtnSettings);
    LoadPngResource("BTN_SETTINGS_GRAY", ImBtnSettingsGray);
    LoadPngResource("BTN_HELP_NA", ImBtnHelp);
    LoadPngResource("BTN_ABOUT_NA", ImBtnAbout);
    LoadPngResource("BTN_CLOSE_NA", ImBtnClose);
    LoadPngResource("BTN_MIN_NA", ImBtnMin);
    // The system's full-window-drag setting is left as the user has it.
    // The icon is in the notification area for the window's whole life.
    TrayIcon->SetVisible(true);
}

void TMainForm::FormShow(QObject*)
{
    // The splash is shown once the show itself has finished, outside Qt's
    // show handling, so that its modal loop does not nest inside it.
    QTimer::singleShot(0, this, [] {
        Guarded([] {
            if (SplashForm && SplashForm->Tag == 0 && !SplashForm->InModal())
                SplashForm->ShowModal();
        });
    });
}

void TMainForm::FormDestroy(QObject*)
{
    TrayIcon->SetVisible(false);
    if (SingleRun)
        SingleRun->UnregisterInstance();
    // A pass still running is stopped first: it writes into this window.
    StopScanThread();
    AbandonToolThreads();
    WriteSettings(Settings, SysVars.ExeName, &SettingsOrigin);
}

void TMainForm::ImBgMainMouseDown(QObject*, TMouseButton Button, int, int)
{
    // The window manager moves the window with the pointer, as if its
    // caption had been grabbed.
    if (Button == TMouseButton::mbLeft)
        StartSystemMove();
}

void TMainForm::ImBtnMinClick(QObject*) { showMinimized(); }

void TMainForm::ImBtnCloseClick(QObject*)
{
    if (Settings.CloseToTray)
        HideMainWindow();
    else
        Application->Terminate();
}

void TMainForm::ImBtnHelpClick(QObject*)
{
    // Without a browser nothing is reported.
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kMakerSite) + QStringLiteral("/vnt/faq/")));
}

void TMainForm::ImBtnAboutClick(QObject*)
{
    // The overlay dims the main window's place, also while it is hidden.
    if (WaitForm)
        WaitForm->ShowWait(this, false);
    struct HideAfter {
        ~HideAfter()
        {
            if (WaitForm)
                WaitForm->HideWait();
        }
    } hide;
    if (AboutForm)
        AboutForm->ShowModal();
}

void TMainForm::ImPageHeadMouseMove(QObject*, int X, int Y)
{
    if (Busy)
        return;
    // The other page's tab lights up under the pointer; the picture is
    // reloaded only when that changes.
    const auto hover = [&](const QRegion& otherTab, int otherPage, const char* lit, const char* plain) {
        const int hot = otherTab.contains(QPoint(X, Y)) ? otherPage : 0;
        if (hot != HotTab)
            LoadPngResource(hot ? lit : plain, ImPageHead);
        HotTab = hot;
    };
    if (ActivePage == 1)
        hover(TabRegionDefrag, 2, "BtnPg_Defrag_a2", "BtnPg_Defrag");
    else if (ActivePage == 2)
        hover(TabRegionFreeScans, 1, "BtnPg_FreeScans_a1", "BtnPg_FreeScans");
    else
        HotTab = 0;
}

void TMainForm::ImPageHeadMouseLeave(QObject*)
{
    if (Busy)
        return;
    HotTab = 0;
    if (ActivePage == 1)
        LoadPngResource("BtnPg_Defrag", ImPageHead);
    else if (ActivePage == 2)
        LoadPngResource("BtnPg_FreeScans", ImPageHead);
}

void TMainForm::ImPageHeadClick(QObject*)
{
    if (Busy || HotTab == 0)
        return;
    ActivePage = HotTab;
    HotTab = 0;
    ShowPage(ActivePage, DefragState, false);
}

void TMainForm::FadeIn(TForm* Form)
{
    if (AnimFormTimer->Enabled())
        return;
    FadeForm = Form;
    if (Form) {
        Form->SetAlphaBlend(true);
        Form->SetAlphaBlendValue(0);
        AnimFormTimer->SetEnabled(true);
    }
}

void TMainForm::AnimFormTimerTimer(QObject*)
{
    if (!FadeForm) {
        AnimFormTimer->SetEnabled(false);
        return;
    }
    if (FadeForm->AlphaBlendValue() < 240) {
        FadeForm->SetAlphaBlendValue(FadeForm->AlphaBlendValue() + 20);
    } else {
        AnimFormTimer->SetEnabled(false);
        FadeForm->SetAlphaBlendValue(255);
        FadeForm = nullptr;
    }
}

void TMainForm::ShowAppTimerTimer(QObject*)
{
    // Until the start-up sequence knows the temporary folder there is
    // nowhere to look; a signal left meanwhile is found by a later poll.
    if (SysVars.TempDir.empty())
        return;
    const std::string path = ShowSignalPath(SysVars.TempDir, Caption().toStdString());
    if (access(path.c_str(), F_OK) != 0)
        return;
    unlink(path.c_str());
    ShowMainWindow();
}

void TMainForm::TrayIconDblClick(QObject*) { ShowMainWindow(); }

void TMainForm::TrayMenuShowFormClick(QObject*) { ShowMainWindow(); }

void TMainForm::TrayMenuAboutClick(QObject* Sender) { ImBtnAboutClick(Sender); }

void TMainForm::TrayMenuExitClick(QObject*) { Application->Terminate(); }

void TMainForm::ShowMainWindow()
{
    if (!Application || !Application->MainForm())
        return;
    Application->ShowMainForm = true;
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    showNormal();
    raise();
    activateWindow();
}

void TMainForm::HideMainWindow()
{
    if (!Application || !Application->MainForm())
        return;
    hide();
}
