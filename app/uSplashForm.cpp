#include "app/uSplashForm.h"

#include "app/uResources.h"
#include "core/uCmdLine.h"
#include "core/uOSInfo.h"
#include "core/uSettings.h"
#include "engine/uDriveList.h"
#include "platform/SystemInfo.h"
#include "toolkit/Application.h"
#include "toolkit/Grids.h"
#include "toolkit/Image.h"
#include "toolkit/Timer.h"
#include "ui/uMainForm.h"

TSplashForm* SplashForm = nullptr;

TSplashForm::TSplashForm()
{
    SetClientSize(315, 170);
    SetCaption("Vantorel");
    CenterOnScreen();
    ImSplashBg = new TImage(this);
    ImSplashBg->SetBounds(0, 0, 315, 170);
    LoadPngResource("bg_splash", ImSplashBg);
    Timer1 = new TTimer(this, 1000, true);
    Timer1->OnTimer = [this](QObject* s) { Timer1Timer(s); };
    OnCreate = [this](QObject* s) { FormCreate(s); };
    DoCreate();
}

void TSplashForm::FormCreate(QObject*) { SetRegion(RoundRectRegion(0, 0, 315, 170, 6, 6)); }

namespace {
// A failing step shows its error and the sequence goes on with the
// defaults of that step, so that the program stays usable.
template <class F>
void Step(F&& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    } catch (...) {
        Application->ShowException(QStringLiteral("Unknown error"));
    }
}
} // namespace

void TSplashForm::Timer1Timer(QObject*)
{
    Timer1->SetEnabled(false);
    Tag = 1;
    TMainForm& m = *MainForm;
    Step([&] { m.SysVars.TempDir = GetSysFolder(kSysFolderTemp); });
    Step([&] { m.SysVars.WinRootDir = GetSysFolder(kSysFolderWindows); });
    Step([&] { m.SysVars.WinSysDir = GetSysFolder(kSysFolderSystem); });
    Step([&] {
        m.SysVars.ExeName = platform::System().ExecutablePath();
        auto slash = m.SysVars.ExeName.find_last_of(platform::kPathDelim);
        m.SysVars.ExeDir = slash == std::string::npos ? std::string()
                                                       : m.SysVars.ExeName.substr(0, slash + 1);
    });
    Step([&] { ReadSettings(m.Settings, &m.SettingsOrigin); });
    Step([&] { QueryWindowsType(m.WindowsType); });
    Step([&] {
        BuildDriveList(m.DriveList, m.DriveCount, &m.ilDriveIcons32, &m.ilDriveIcons48);
        m.ts4SGDriveList->SetRowCount(m.DriveCount);
    });
    m.ActivePage = 1;
    m.DefragState = FindCmdLineSwitch("as") ? 2 : 1;
    Step([&] { m.ShowPage(m.ActivePage, m.DefragState, true); });
    SetModalResult(mrOk);
}
