// The companion tools page: a press brings a running tool forward, starts
// an installed one, or downloads the installer from a local server, runs it
// silently and starts the tool; the connection question; failed downloads;
// the speed text; the program ending while a download runs.

#include "app/uSingleRun.h"
#include "controls/cm_LSVGauges.h"
#include "fakes/EventLoop.h"
#include "fakes/FakePlatform.h"
#include "fakes/TempHome.h"
#include "net/uDownToolThread.h"
#include "net/uServices.h"
#include "platform/Registry.h"
#include "toolkit/Application.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Image.h"
#include "toolkit/StdCtrls.h"
#include "ui/uMainForm.h"
#include "ui/uSecondaryForms.h"

#include <QRegularExpression>
#include <QTimer>

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <mutex>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

struct TMainFormTestAccess {
    static TSysVars& SysVars() { return MainForm->SysVars; }
    static TWindowsTypeEx& WindowsType() { return MainForm->WindowsType; }
    static bool Fetching(int tool) { return (tool == 1 ? MainForm->ToolThread1 : MainForm->ToolThread2) != nullptr; }
    static void ShowToolsPage()
    {
        MainForm->ActivePage = 2;
        MainForm->ShowPage(2, 1, false);
    }
};
using Access = TMainFormTestAccess;

namespace {

using platform::RegValue;

// HKEY_LOCAL_MACHINE in memory: the uninstall entries the test writes.
class MachineHive : public platform::IRegistry {
public:
    MachineHive() { platform::SetRegistry(this); }
    ~MachineHive() override { platform::SetRegistry(nullptr); }
    void Set(const std::string& path, const std::string& name, const std::string& text)
    {
        keys_[Lower(platform::NormalizeKeyPath(path))][name] = RegValue::String(text);
    }
    void Clear() { keys_.clear(); }
    std::unique_ptr<platform::IRegKey> OpenKey(platform::Hive hive, const std::string& path, platform::RegAccess,
                                               bool) override
    {
        auto it = keys_.find(Lower(platform::NormalizeKeyPath(path)));
        if (hive != platform::Hive::LocalMachine || it == keys_.end())
            return nullptr;
        return std::make_unique<Key>(it->second);
    }

private:
    using Values = std::map<std::string, RegValue>;
    struct Key : platform::IRegKey {
        explicit Key(Values v) : values(std::move(v)) {}
        Values values;
        std::optional<RegValue> QueryValue(const std::string& name) override
        {
            auto it = values.find(name);
            return it == values.end() ? std::nullopt : std::optional<RegValue>(it->second);
        }
        void SetValue(const std::string&, const RegValue&) override { throw EOSError(5, "read only"); }
        bool DeleteValue(const std::string&) override { return false; }
        std::vector<std::string> ValueNames() override { return {}; }
    };
    static std::string Lower(std::string s)
    {
        for (char& c : s)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        return s;
    }
    std::map<std::string, Values> keys_;
};

// The maker's site on loopback: the availability answer and the two
// installers, sent in pieces, optionally breaking off after `failAt` bytes.
class Site {
public:
    Site()
    {
        server_.Get("/isavail.txt", [this](const httplib::Request&, httplib::Response& res) {
            std::lock_guard lock(m_);
            ++availabilityChecks;
            res.set_content(available_ ? "ok" : "down", "text/plain");
        });
        for (const char* path : {"/downloads/hlv/from_vnt/Helvorin.exe", "/downloads/osk/from_vnt/Ostrakane.exe"})
            server_.Get(path, [this](const httplib::Request&, httplib::Response& res) {
                std::lock_guard lock(m_);
                ++downloads;
                if (status_ != 200) {
                    res.status = status_;
                    return;
                }
                const std::string body = body_;
                const size_t failAt = failAt_;
                const int pieceDelayMs = pieceDelayMs_;
                res.set_content_provider(body.size(), "application/octet-stream",
                                         [body, failAt, pieceDelayMs](size_t offset, size_t length,
                                                                      httplib::DataSink& sink) {
                                             if (failAt && offset >= failAt)
                                                 return false;
                                             const size_t piece = std::min<size_t>(length, 8192);
                                             std::this_thread::sleep_for(std::chrono::milliseconds(pieceDelayMs));
                                             return sink.write(body.data() + offset, piece);
                                         });
            });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const std::string base = "http://127.0.0.1:" + std::to_string(port_);
        ServiceConfig().Host = base;
        ToolConfig().DownloadSite = base;
    }
    ~Site()
    {
        server_.stop();
        thread_.join();
    }
    void Serve(std::string body, int status = 200, size_t failAt = 0, int pieceDelayMs = 1)
    {
        std::lock_guard lock(m_);
        body_ = std::move(body);
        status_ = status;
        failAt_ = failAt;
        pieceDelayMs_ = pieceDelayMs;
    }
    void SetAvailable(bool available)
    {
        std::lock_guard lock(m_);
        available_ = available;
    }
    int Downloads()
    {
        std::lock_guard lock(m_);
        return downloads;
    }
    int AvailabilityChecks()
    {
        std::lock_guard lock(m_);
        return availabilityChecks;
    }

private:
    httplib::Server server_;
    std::thread thread_;
    std::mutex m_;
    int port_ = 0;
    bool available_ = true;
    std::string body_ = "installer";
    int status_ = 200;
    size_t failAt_ = 0;
    int pieceDelayMs_ = 1;
    int downloads = 0;
    int availabilityChecks = 0;
};

// Far from the ids the offscreen platform gives this program's windows.
constexpr platform::WindowHandle kTool = 0x7f000000;
std::string Id() { return std::to_string(kTool); }
// What bringing the tool's window forward asks of it, as one entry.
std::string Brought() { return "normal " + Id() + ", front " + Id(); }
std::string Joined(const std::vector<std::string>& calls)
{
    std::string out;
    for (const std::string& c : calls)
        out += (out.empty() ? "" : ", ") + c;
    return out;
}
const platform::WindowRect kOwnRect{200, 150, 950, 700};

struct ToolCase {
    int tool;
    const char* name;
    const char* exe;
    const char* productCode;
    bool elevated;
};
const ToolCase kHelvorin{1, "Helvorin", "Helvorin.exe", "{6F1C2A4E-3B7D-4E8A-9C21-5D0F7A9B3E11}", false};
const ToolCase kOstrakane{2, "Ostrakane", "Ostrakane.exe", "{A83D5B20-7C4F-4B19-8E6A-2F9C1D4E7B53}", true};

class FreeScans : public ::testing::Test {
protected:
    void SetUp() override
    {
        system.tempPath = home.Path() + "/tmp/";
        system.programFolders = {home.Path() + "/programs-c/", home.Path() + "/programs-d/"};
        mkdir(system.tempPath.c_str(), 0700);
        ToolConfig().LaunchWaitMs = 20;
        MainForm = new TMainForm;
        InfoForm = new TInfoForm;
        Access::SysVars().TempDir = system.tempPath;
        Access::WindowsType().Architecture = "x64";
        Access::ShowToolsPage();
        windows.Add(platform::WindowHandle(MainForm->winId()), "Vantorel", "Vantorel", kOwnRect);
        SetMessageBoxHook([this](const MessageBoxRequest& r) {
            messages.push_back(r.text.toStdString());
            return IDOK;
        });
    }
    void TearDown() override
    {
        if (MainForm)
            MainForm->Destroy();
        MainForm = nullptr;
        InfoForm->Destroy();
        InfoForm = nullptr;
        SetMessageBoxHook([](const MessageBoxRequest&) { return IDOK; });
    }

    static TImage* Button(int tool) { return tool == 1 ? MainForm->ts3ImBtnFreeScans1 : MainForm->ts3ImBtnFreeScans2; }
    static TLabel* Status(int tool) { return tool == 1 ? MainForm->ts3Label12 : MainForm->ts3Label22; }
    static TLabel* SpeedLabel(int tool) { return tool == 1 ? MainForm->ts3Label13 : MainForm->ts3Label23; }
    static TLSVGauge* Gauge(int tool) { return tool == 1 ? MainForm->ts3DownProg1 : MainForm->ts3DownProg2; }
    static void Press(int tool) { Fire(Button(tool)->OnClick, Button(tool)); }
    static bool Idle(int tool)
    {
        return !Access::Fetching(tool) && Button(tool)->isVisibleTo(MainForm) && !Status(tool)->isVisibleTo(MainForm) &&
               !SpeedLabel(tool)->isVisibleTo(MainForm) && !Gauge(tool)->isVisibleTo(MainForm);
    }
    std::string Installer(const ToolCase& t) const { return system.tempPath + t.exe; }
    // Installs the tool's executable into folder; its window appears when it is started.
    std::string InstallInto(const std::string& folder, const ToolCase& t)
    {
        for (const char* below : {"/programs-c", "/programs-d", "/programs-c/Quorbis Software",
                                  "/programs-d/Quorbis Software"})
            mkdir((home.Path() + below).c_str(), 0755);
        mkdir(folder.c_str(), 0755);
        const std::string exe = platform::IncludeTrailingPathDelimiter(folder) + t.exe;
        TempHome::Write(exe, "tool");
        return exe;
    }
    void ToolWindowAppearsWhenStarted(const std::string& exe, const std::string& name)
    {
        processes.onStart = [this, exe, name](const FakeProcesses::Launch& l) {
            if (l.file == exe)
                windows.Add(kTool, "TMainForm", name, {10, 20, 610, 420});
            return true;
        };
    }

    TempHome home;
    FakeSystem system;
    FakeWindows windows;
    FakeProcesses processes;
    MachineHive machine;
    Site site;
    std::vector<std::string> messages;
};

TEST_F(FreeScans, ARunningToolIsBroughtForwardAndMovedOffTheWindowsPlace)
{
    struct Case {
        const char* what;
        platform::WindowRect at;
        std::string calls;
    } cases[] = {
        {"same left edge", {200, 400, 800, 800}, Brought() + ", move " + Id() + " to 250,350"},
        {"same top edge", {10, 150, 600, 500}, Brought() + ", move " + Id() + " to 60,100"},
        {"elsewhere", {10, 20, 600, 500}, Brought()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        windows.ClearCalls();
        unlink(ShowSignalPath(system.tempPath, "Ostrakane").c_str());
        windows.Add(kTool, "TMainForm", "Ostrakane", c.at);
        Press(2);
        EXPECT_EQ(Joined(windows.Calls()), c.calls);
        EXPECT_TRUE(TempHome::Exists(ShowSignalPath(system.tempPath, "Ostrakane")))
            << "the signal brings the tool out of its notification area";
        EXPECT_TRUE(Idle(2));
    }
    EXPECT_EQ(site.Downloads(), 0);
    EXPECT_TRUE(processes.Starts().empty());
}

TEST_F(FreeScans, AnInstalledToolIsStartedAndBroughtForwardWithoutADownload)
{
    const std::string c = home.Path() + "/programs-c/", d = home.Path() + "/programs-d/";
    struct Case {
        const char* what;
        ToolCase tool;
        const char* architecture;
        std::string registryKey; // empty: no uninstall entry
        std::string folder;
    } cases[] = {
        {"entry of a 64-bit system", kHelvorin, "x64",
         "\\Software\\Wow6432node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\", home.Path() + "/apps/hlv"},
        {"entry of an x86 system", kOstrakane, "x86", "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\",
         home.Path() + "/apps/osk"},
        {"maker's folder in the second place", kHelvorin, "x64", "", d + "Quorbis Software/Helvorin"},
        {"own folder in the first place", kOstrakane, "x64", "", c + "Ostrakane"},
    };
    mkdir((home.Path() + "/apps").c_str(), 0755);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Access::WindowsType().Architecture = k.architecture;
        const std::string exe = InstallInto(k.folder, k.tool);
        machine.Clear();
        if (!k.registryKey.empty())
            machine.Set(k.registryKey + k.tool.productCode, "InstallLocation", k.folder);
        ToolWindowAppearsWhenStarted(exe, k.tool.name);
        windows.ClearCalls();
        const size_t before = processes.Starts().size();

        Press(k.tool.tool);

        ASSERT_EQ(processes.Starts().size(), before + 1);
        const FakeProcesses::Launch l = processes.Starts().back();
        EXPECT_EQ(l.file, exe);
        EXPECT_EQ(l.parameters, "");
        EXPECT_EQ(l.folder, platform::IncludeTrailingPathDelimiter(k.folder));
        EXPECT_EQ(l.elevated, k.tool.elevated);
        EXPECT_FALSE(l.wait);
        EXPECT_EQ(Joined(windows.Calls()), Brought());
        EXPECT_TRUE(Idle(k.tool.tool));
        unlink(exe.c_str());
        windows.Add(kTool, "TMainForm", "gone", {});
    }
    EXPECT_EQ(site.Downloads(), 0);
}

TEST_F(FreeScans, AnInstalledToolWhoseWindowNeverShowsIsFetchedAgain)
{
    const std::string exe = InstallInto(home.Path() + "/programs-c/Helvorin", kHelvorin);
    Press(1);
    ASSERT_FALSE(processes.Starts().empty());
    EXPECT_EQ(processes.Starts()[0].file, exe);
    ASSERT_TRUE(PumpUntil([] { return Idle(1); }));
    EXPECT_EQ(site.Downloads(), 1);
    EXPECT_EQ(processes.Starts()[1].file, Installer(kHelvorin));
}

TEST_F(FreeScans, AMissingToolIsDownloadedInstalledSilentlyAndStarted)
{
    std::string body(300 * 1024, '\0');
    for (size_t i = 0; i < body.size(); ++i)
        body[i] = char(i * 7 + i / 251);
    site.Serve(body);
    const std::string exe = home.Path() + "/programs-c/Quorbis Software/Ostrakane/Ostrakane.exe";
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> installerRunning{false};
    std::string installed;
    mode_t mode = 0;
    processes.onStart = [&](const FakeProcesses::Launch& l) {
        if (l.file == Installer(kOstrakane)) {
            installed = TempHome::Read(l.file);
            struct stat st {};
            stat(l.file.c_str(), &st);
            mode = st.st_mode & 07777;
            installerRunning = true;
            released.wait();
            InstallInto(home.Path() + "/programs-c/Quorbis Software/Ostrakane", kOstrakane);
        } else if (l.file == exe) {
            windows.Add(kTool, "TMainForm", "Ostrakane", {10, 20, 610, 420});
        }
        return true;
    };

    Press(2);
    EXPECT_TRUE(Access::Fetching(2));
    ASSERT_TRUE(PumpUntil([] { return Status(2)->isVisibleTo(MainForm); }));
    EXPECT_FALSE(Button(2)->isVisibleTo(MainForm)) << "status, speed and gauge take the button's place";
    ASSERT_TRUE(PumpUntil([&] { return installerRunning.load(); }));
    ASSERT_TRUE(PumpUntil([] { return Status(2)->text() == "Installing Ostrakane..."; }));
    EXPECT_EQ(Gauge(2)->MaxValue(), int(body.size()));
    EXPECT_EQ(Gauge(2)->Progress(), int(body.size()));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\(\\d+(\\.\\d)? kb/s\\)$")).match(SpeedLabel(2)->text()).hasMatch())
        << SpeedLabel(2)->text().toStdString();
    EXPECT_TRUE(SpeedLabel(2)->isVisibleTo(MainForm));
    release.set_value();

    ASSERT_TRUE(PumpUntil([] { return Idle(2); }));
    EXPECT_TRUE(installed == body) << "the installer run is the whole download";
    EXPECT_EQ(mode, 0700u);
    EXPECT_FALSE(TempHome::Exists(Installer(kOstrakane))) << "the installer is deleted after it ran";
    const auto starts = processes.Starts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].parameters, " /s");
    EXPECT_TRUE(starts[0].elevated);
    EXPECT_TRUE(starts[0].wait);
    EXPECT_EQ(starts[0].folder, system.tempPath);
    EXPECT_EQ(starts[1].file, exe) << "the tool just installed is started";
    EXPECT_EQ(Joined(windows.Calls()), Brought());
    EXPECT_TRUE(messages.empty());
}

TEST_F(FreeScans, WithoutAConnectionTheUserIsAskedUntilTheyGiveUp)
{
    struct Case {
        const char* what;
        std::function<void()> answer;
        bool downloads;
    } cases[] = {
        {"Retry, then the service answers", [] { Fire(InfoForm->ImBtnRetry->OnClick, InfoForm->ImBtnRetry); }, true},
        {"Cancel", [] { Fire(InfoForm->ImBtnCancel->OnClick, InfoForm->ImBtnCancel); }, false},
        {"closed by the system", [] { InfoForm->Close(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        site.SetAvailable(false);
        const int downloadsBefore = site.Downloads();
        QString asked;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!InfoForm->InModal())
                return;
            poll.stop();
            asked = InfoForm->Label6->text();
            site.SetAvailable(c.downloads);
            c.answer();
        });
        poll.start();
        Press(1);
        ASSERT_TRUE(PumpUntil([] { return Idle(1); }));
        EXPECT_EQ(asked.toStdString(), "To continue downloading, you need to have an active Internet connection. "
                                       "Connect to the Internet and click OK.");
        EXPECT_EQ(site.Downloads() - downloadsBefore, c.downloads ? 1 : 0);
        messages.clear();
    }
}

TEST_F(FreeScans, AFailedDownloadRunsNothingAndLeavesNoInstaller)
{
    struct Case {
        const char* what;
        int status;
        size_t failAt;
    } cases[] = {
        {"connection lost half way", 200, 64 * 1024},
        {"not found", 404, 0},
        {"server error", 500, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // An installer left by an earlier run must not be taken for this one.
        TempHome::Write(Installer(kHelvorin), "stale installer");
        site.Serve(std::string(128 * 1024, 'x'), c.status, c.failAt);
        messages.clear();
        Press(1);
        ASSERT_TRUE(PumpUntil([] { return Idle(1); }));
        EXPECT_EQ(messages, (std::vector<std::string>{"Distr not found"}));
        EXPECT_TRUE(processes.Starts().empty());
        EXPECT_FALSE(TempHome::Exists(Installer(kHelvorin)));
        EXPECT_FALSE(TempHome::Exists(Installer(kHelvorin) + ".part"));
    }
}

TEST_F(FreeScans, WithoutATemporaryFolderNothingIsFetchedOrRun)
{
    // A file of the installer's name in the working folder is neither run nor deleted.
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(home.Path().c_str()), 0);
    TempHome::Write(home.Path() + "/Helvorin.exe", "not ours");
    Access::SysVars().TempDir.clear();
    windows.Add(kTool, "TMainForm", "Helvorin", {10, 20, 610, 420});
    Press(1);
    EXPECT_EQ(Joined(windows.Calls()), Brought()) << "a running tool still comes forward, without a signal";
    windows.Add(kTool, "TMainForm", "gone", {});
    Press(1);
    EXPECT_TRUE(PumpUntil([] { return Idle(1); }));
    EXPECT_EQ(messages, (std::vector<std::string>{"Distr not found"}));
    EXPECT_EQ(site.Downloads(), 0);
    EXPECT_TRUE(processes.Starts().empty());
    EXPECT_EQ(TempHome::Read(home.Path() + "/Helvorin.exe"), "not ours");
    EXPECT_EQ(chdir(cwd), 0);
}

TEST_F(FreeScans, TheProgramEndingDuringADownloadLeavesThePageAlone)
{
    site.Serve(std::string(4 * 1024 * 1024, 'x'), 200, 0, 20); // about ten seconds
    Press(1);
    ASSERT_TRUE(PumpUntil([] { return Gauge(1)->Progress() > 0; }));
    MainForm->Destroy();
    MainForm = nullptr;
    // The worker notices the stop within one piece and touches nothing of
    // the window that is gone.
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(processes.Starts().empty());
    EXPECT_FALSE(TempHome::Exists(Installer(kHelvorin)));
}

TEST(DownloadSpeed, KilobytesPerSecondToOneDecimal)
{
    struct Case {
        int64_t bytes, ms;
        std::optional<double> speed;
        char separator;
        const char* text;
    } cases[] = {
        {500 * 1024, 2000, 250.0, '.', "(250 kb/s)"},
        {1536, 1000, 1.5, '.', "(1.5 kb/s)"},
        {1536, 1000, 1.5, ',', "(1,5 kb/s)"},
        {100, 3, 32.6, '.', "(32.6 kb/s)"},
        {0, 500, 0.0, '.', "(0 kb/s)"},
        {4096, 0, std::nullopt, '.', nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.bytes) + " bytes in " + std::to_string(c.ms) + " ms");
        const auto speed = TDownToolThread::TransferSpeed(c.bytes, c.ms);
        ASSERT_EQ(speed.has_value(), c.speed.has_value());
        if (!speed)
            continue;
        EXPECT_DOUBLE_EQ(*speed, *c.speed);
        EXPECT_EQ(TDownToolThread::SpeedText(*speed, c.separator), c.text);
    }
}

} // namespace
