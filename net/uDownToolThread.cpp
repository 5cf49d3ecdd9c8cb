#include "net/uDownToolThread.h"

#include "app/uSingleRun.h"
#include "controls/cm_LSVGauges.h"
#include "core/uFormat.h"
#include "net/uServices.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"
#include "toolkit/Application.h"
#include "toolkit/Image.h"
#include "toolkit/StdCtrls.h"
#include "ui/uSecondaryForms.h"

#include <QThread>

#include <algorithm>

namespace {

int32_t Clamp32(int64_t value) { return int32_t(std::clamp<int64_t>(value, 0, INT32_MAX)); }

// A failed delete leaves a file that the next fetch of the tool deletes first.
void DiscardInstaller(const std::string& path)
{
    try {
        platform::RemoveFile(path);
    } catch (const Exception&) {
    }
}

} // namespace

TToolConfig& ToolConfig()
{
    static TToolConfig config;
    return config;
}

std::optional<double> TDownToolThread::TransferSpeed(int64_t doneBytes, int64_t elapsedMs)
{
    if (elapsedMs == 0)
        return std::nullopt;
    const long double perSecond = (long double)doneBytes / 1024.0L / ((long double)elapsedMs / 1000.0L);
    return double(RoundHalfEven(perSecond * 10.0L)) / 10.0;
}

std::string TDownToolThread::SpeedText(double speed, char decimalSeparator)
{
    const int64_t tenths = RoundHalfEven((long double)speed * 10.0L);
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0)
        text += decimalSeparator + std::to_string(std::abs(tenths % 10));
    return "(" + text + " kb/s)";
}

std::vector<std::string> TDownToolThread::InstallFolderCandidates() const
{
    std::vector<std::string> folders;
    const auto roots = platform::System().ProgramFilesFolders();
    for (const std::string& below : {"Quorbis Software" + std::string(1, platform::kPathDelim) + ToolName, ToolName})
        for (const std::string& root : roots)
            folders.push_back(platform::IncludeTrailingPathDelimiter(root + below));
    return folders;
}

bool TDownToolThread::ActivateRunningTool()
{
    platform::IWindows& windows = platform::Windows();
    const platform::WindowHandle tool = windows.FindWindow(std::string("TMainForm"), ToolName);
    if (tool == 0)
        return false;
    windows.ShowNormal(tool);
    windows.SetForeground(tool);
    // The tool may be hidden in its notification area; the signal brings it
    // out. Without a temporary folder there is nowhere to leave it.
    if (!TempDir.empty())
        WriteShowSignal(TempDir, ToolName);
    const auto toolRect = windows.GetWindowRect(tool);
    const auto ownRect = windows.GetWindowRect(OwnWindow);
    // Two windows exactly on top of each other would hide one of them.
    if (toolRect && ownRect && (toolRect->left == ownRect->left || toolRect->top == ownRect->top))
        windows.MoveWindow(tool, toolRect->left + 50, toolRect->top - 50);
    return true;
}

bool TDownToolThread::LaunchIfInstalled()
{
    if (ActivateRunningTool())
        return true;
    std::string folder;
    const std::string key = std::string(IsX86 ? "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                              : "\\Software\\Wow6432node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") +
                            UninstallKey;
    if (auto entry = platform::Registry().OpenKey(platform::Hive::LocalMachine, key, platform::RegAccess::Read, false)) {
        if (auto value = entry->QueryValue("InstallLocation");
            value && (value->type == platform::RegType::Sz || value->type == platform::RegType::ExpandSz))
            folder.assign(value->data.begin(), value->data.end());
    }
    if (folder.empty()) {
        for (const std::string& candidate : InstallFolderCandidates())
            if (platform::IsFolder(candidate)) {
                folder = candidate;
                break;
            }
    }
    // Without a folder there is nothing to look in (not the file system's root).
    if (folder.empty())
        return false;
    folder = platform::IncludeTrailingPathDelimiter(folder);
    const std::string exe = folder + ToolExe;
    if (!platform::IsFile(exe))
        return false;
    if (ElevatedLaunch)
        RunAsAdmin(exe, "", false);
    else
        platform::Processes().Start(exe, "", folder, false, false);
    QThread::msleep(unsigned(ToolConfig().LaunchWaitMs));
    return ActivateRunningTool();
}

bool TDownToolThread::RunAsAdmin(const std::string& file, const std::string& parameters, bool wait)
{
    const size_t cut = file.rfind(platform::kPathDelim);
    const std::string folder = cut == std::string::npos ? std::string() : file.substr(0, cut + 1);
    return platform::Processes().Start(file, parameters, folder, true, wait);
}

void TDownToolThread::Abandon()
{
    abandoned_.store(true);
    OnTerminate = nullptr;
    Terminate();
}

void TDownToolThread::OnPage(void (TDownToolThread::*step)())
{
    Synchronize([this, step] {
        if (!Abandoned())
            (this->*step)();
    });
}

void TDownToolThread::Execute()
{
    OnPage(&TDownToolThread::StartDownloadUI);
    while (!IsServiceAvailable()) {
        OnPage(&TDownToolThread::AskConnection);
        if (Terminated())
            return;
    }

    // The installer is saved only into the private temporary folder; without
    // it there is no safe place, and nothing elsewhere is ever run or deleted.
    const bool haveFolder = !TempDir.empty() && TargetFile.rfind(TempDir, 0) == 0;
    if (haveFolder) {
        // An installer left by an earlier run is never taken for this download.
        DiscardInstaller(TargetFile);
        try {
            std::string body;
            TTransferEvents events;
            events.Begin = [this](int64_t total) { TransferBegin(total); };
            events.Progress = [this](int64_t done) { TransferProgress(done); };
            events.End = [this] { TransferEnd(); };
            events.Abort = [this] { return Terminated(); };
            // Written in one piece, so that an interrupted save never leaves a
            // partial installer to be run; executable by its owner only.
            if (HttpDownload(Url, ToolConfig().ReadTimeoutMs, body, events) && !Terminated())
                platform::WriteFileAtomic(TargetFile, body, 0700);
        } catch (...) {
            // A failed download ends as a missing installer below.
        }
    }
    if (Abandoned()) {
        if (haveFolder)
            DiscardInstaller(TargetFile);
        return;
    }

    StatusText = "Installing " + ToolName + "...";
    OnPage(&TDownToolThread::UpdateProgressUI);
    if (haveFolder && platform::IsFile(TargetFile)) {
        RunAsAdmin(TargetFile, " /s", true);
        DiscardInstaller(TargetFile);
    } else {
        Synchronize([this] {
            if (!Abandoned())
                ShowMessageBox(QStringLiteral("Distr not found"), Application ? Application->Title : QString(), MB_OK);
        });
    }
}

void TDownToolThread::StartDownloadUI()
{
    TotalBytes = 0;
    DoneBytes = 0;
    StatusText = "Downloading " + ToolName + "...";
    StatusLabel->setVisible(true);
    SpeedLabel->setVisible(true);
    ProgressGauge->setVisible(true);
    StartButton->SetVisible(false);
    UpdateProgressUI();
}

void TDownToolThread::UpdateProgressUI()
{
    ProgressGauge->SetMaxValue(TotalBytes);
    ProgressGauge->SetProgress(DoneBytes);
    StatusLabel->SetCaption(QString::fromStdString(StatusText));
    SpeedLabel->SetCaption(
        QString::fromStdString(SpeedText(Speed, TFormatSettings::System().DecimalSeparator)));
}

void TDownToolThread::AskConnection()
{
    int answer = mrCancel;
    if (InfoForm) {
        InfoForm->MessageText = QStringLiteral("To continue downloading, you need to have an active Internet "
                                               "connection. Connect to the Internet and click OK.");
        answer = InfoForm->ShowModal();
    }
    if (answer != mrOk)
        Terminate();
}

void TDownToolThread::TransferBegin(int64_t total)
{
    TotalBytes = Clamp32(total);
    StartTime = std::chrono::steady_clock::now();
    OnPage(&TDownToolThread::UpdateProgressUI);
}

void TDownToolThread::TransferProgress(int64_t done)
{
    DoneBytes = Clamp32(done);
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - StartTime).count();
    if (auto speed = TransferSpeed(DoneBytes, elapsed))
        Speed = *speed;
    OnPage(&TDownToolThread::UpdateProgressUI);
}

void TDownToolThread::TransferEnd() {}
