// The main window's frame: creation, showing, destruction, ending the program.

#include "app/uResources.h"
#include "app/uSingleRun.h"
#include "app/uSplashForm.h"
#include "toolkit/Application.h"
#include "toolkit/Image.h"
#include "ui/uMainForm.h"

#include <QTimer>
#include <QWindow>

TMainForm* MainForm = nullptr;

TMainForm::TMainForm()
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowSystemMenuHint);
    SetClientSize(750, 550);
    SetCaption("Vantorel");
    CenterOnScreen();
    ImBgMain = new TImage(this);
    ImBgMain->SetBounds(0, 0, 750, 550);
    LoadPngResource("bg_main", ImBgMain);
    CreatePages();
    ImPageHead = new TImage(this);
    ImPageHead->SetBounds(35, 71, 236, 25);
    ImBtnSettingsGray = new TImage(this);
    ImBtnSettingsGray->SetBounds(26, 524, 71, 23);
    ImBtnSettings = new TImage(this);
    ImBtnSettings->SetBounds(26, 524, 71, 23);
    SkinButton(ImBtnSettings, QStringLiteral("BTN_SETTINGS"));
    ImBtnSettings->OnClick = [this](QObject* s) { ImBtnSettingsClick(s); };
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
    LoadPngResource("BTN_SETTINGS_NA", ImBtnSettings);
    LoadPngResource("BTN_SETTINGS_GRAY", ImBtnSettingsGray);
    // The system's full-window-drag setting is left as the user has it.
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
    if (SingleRun)
        SingleRun->UnregisterInstance();
    // A pass still running is stopped first: it writes into this window.
    StopScanThread();
    WriteSettings(Settings, SysVars.ExeName, &SettingsOrigin);
}

void TMainForm::ImBtnCloseClick(QObject*)
{
    if (Settings.CloseToTray)
        HideMainWindow();
    else
        Application->Terminate();
}

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
