#pragma once
// Fetching a companion tool: brings the tool's window forward when it runs,
// starts it when it is installed, and otherwise downloads its installer on
// a worker, installs it silently and starts it. The worker touches the page
// (labels, gauge, button) only in steps run on the main thread. One worker
// per button press; it frees itself when it ends.

#include "platform/Windows.h"
#include "toolkit/Thread.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TImage;
class TLabel;
class TLSVGauge;

struct TToolConfig {
    // The maker's download site. Installers run with administrator rights,
    // so they come over HTTPS with the certificate checked. The maker is
    // invented; a reserved name that never resolves stands in.
    std::string DownloadSite = "https://www.vantorel.invalid";
    long ReadTimeoutMs = 30000;
    // How long a freshly started tool has to show its window.
    int LaunchWaitMs = 1000;
};

// The configuration in use; tests point it at a local server.
TToolConfig& ToolConfig();

class TDownToolThread : public TThread {
public:
    // The progress of the download: written on the worker, shown by the
    // main-thread steps while the worker waits for them.
    int32_t TotalBytes = 0;
    int32_t DoneBytes = 0;
    std::chrono::steady_clock::time_point StartTime;
    double Speed = 0; // kilobytes per second, one decimal
    std::string StatusText;

    TLabel* StatusLabel = nullptr;
    TLabel* SpeedLabel = nullptr;
    TLSVGauge* ProgressGauge = nullptr;
    TImage* StartButton = nullptr;

    std::string Url;
    std::string TargetFile;
    std::string UninstallKey;
    std::string ToolName;
    std::string ToolExe;
    std::string Title;
    bool ElevatedLaunch = false;
    bool IsX86 = false;
    // The folder of the show signals (with its separator) and the window the
    // tool's window must not cover exactly.
    std::string TempDir;
    platform::WindowHandle OwnWindow = 0;

    // Main thread. True when the tool was brought forward or started.
    bool LaunchIfInstalled();
    bool ActivateRunningTool();
    // The folders where the tool may be installed, in the order they are tried.
    std::vector<std::string> InstallFolderCandidates() const;
    static bool RunAsAdmin(const std::string& file, const std::string& parameters, bool wait);

    // Main thread: the program is ending. The worker stops its download and
    // leaves the page alone from now on.
    void Abandon();
    bool Abandoned() const { return abandoned_.load(); }

    // Kilobytes per second, rounded to one decimal; nullopt for no elapsed time.
    static std::optional<double> TransferSpeed(int64_t doneBytes, int64_t elapsedMs);
    // "(250 kb/s)", "(12.5 kb/s)": the shortest form, the locale's separator.
    static std::string SpeedText(double speed, char decimalSeparator);

protected:
    void Execute() override;

private:
    void StartDownloadUI();
    void UpdateProgressUI();
    void AskConnection();
    void TransferBegin(int64_t total);
    void TransferProgress(int64_t done);
    void TransferEnd();
    // Runs a page step on the main thread unless the worker was abandoned.
    void OnPage(void (TDownToolThread::*step)());

    std::atomic<bool> abandoned_{false};
};
