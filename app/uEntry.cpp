#include "app/uEntry.h"

#include "app/uAdmin.h"
#include "app/uSignals.h"
#include "app/uSingleRun.h"
#include "app/uSplashForm.h"
#include "core/uCmdLine.h"
#include "core/uOSInfo.h"
#include "platform/SystemInfo.h"
#include "platform/Windows.h"
#include "toolkit/Application.h"
#include "ui/uMainForm.h"
#include "ui/uSecondaryForms.h"

#include <memory>

namespace {
std::string ExeFileName()
{
    std::string path = platform::System().ExecutablePath();
    auto slash = path.find_last_of(platform::kPathDelim);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
} // namespace

int ProgramMain(int argc, char** argv)
{
    ParamList().assign(argv + (argc > 0 ? 1 : 0), argv + argc);
    TOSInfo::Initialize();
    auto singleRun = std::make_unique<TSingleRun>(ExeFileName());
    SingleRun = singleRun.get();
    TApplication app(argc, argv);

    try {
        if (SingleRun->ActivateRunningInstance())
            return 0;
        if (!platform::Windows().FindWindow("TAppBuilder", std::nullopt) && !IsAdministrator()) {
            ShowMessageBox("This program must be run with administrator privileges", app.Title,
                           MB_OK);
            return 0;
        }
        // Refuses a build running under another architecture's emulation,
        // such as a 32-bit build on a 64-bit system.
        if (!TOSInfo::IsNativeBuildArchitecture()) {
            ShowMessageBox("This program is not compatible with 64-bit operating systems",
                           app.Title, MB_OK);
            return 0;
        }
    } catch (const std::exception& e) {
        app.ShowException(e);
        return 0;
    }

    app.Initialize();
    app.MainFormOnTaskBar = true;
    if (FindCmdLineSwitch("ot"))
        app.ShowMainForm = false;
    app.CreateForm(MainForm);
    app.CreateForm(InfoForm);
    app.CreateForm(WaitForm);
    app.CreateForm(AboutForm);
    app.CreateForm(SplashForm);
    InstallTerminationSignals([] {
        if (MainForm)
            MainForm->TrayMenuExitClick(nullptr);
    });
    app.Run();
    MainForm = nullptr;
    SplashForm = nullptr;
    SingleRun = nullptr;
    return 0;
}
