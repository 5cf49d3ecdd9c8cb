// The companion tools page: two blocks, each with a button that brings the
// tool forward, starts it, or fetches and installs it on a worker.

#include "ui/uMainForm.h"

#include "ui/uControls.h"

#include "app/uResources.h"
#include "controls/cm_LSVGauges.h"
#include "net/uDownToolThread.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Image.h"
#include "toolkit/StdCtrls.h"

#include <memory>
#include <utility>

namespace {

struct TToolInfo {
    const char* name; // also the caption of the tool's main window
    const char* exe;
    const char* downloadPath;
    const char* productCode; // the tool's uninstall entry
    bool elevatedLaunch;
};

const TToolInfo kTools[2] = {
    {"Helvorin", "Helvorin.exe", "/downloads/hlv/from_vnt/Helvorin.exe", "{6F1C2A4E-3B7D-4E8A-9C21-5D0F7A9B3E11}",
     false},
    {"Ostrakane", "Ostrakane.exe", "/downloads/osk/from_vnt/Ostrakane.exe", "{A83D5B20-7C4F-4B19-8E6A-2F9C1D4E7B53}",
     true},
};

const QColor kPageText(0x1E, 0x1E, 0x1E);

TLabel* NewToolLabel(QWidget* parent, int x, int y, int w, int h, const QString& caption, const QString& family,
                     int pixelSize, bool wrap, TAlignment alignment)
{
    TLabel* lb = NewLabel(parent, x, y, caption, pixelSize, false, kPageText);
    lb->SetFont(MakeFont(family, pixelSize, false));
    lb->SetAutoSize(false);
    lb->SetWordWrap(wrap);
    lb->SetAlignment(alignment);
    lb->SetBounds(x, y, w, h);
    return lb;
}

// The controls of one tool's block that show its fetch.
struct TToolBlock {
    TLabel* status;
    TLabel* speed;
    TLSVGauge* gauge;
    TImage* button;
};

TToolBlock BlockOf(const TMainForm& f, int tool)
{
    if (tool == 1)
        return {f.ts3Label12, f.ts3Label13, f.ts3DownProg1, f.ts3ImBtnFreeScans1};
    return {f.ts3Label22, f.ts3Label23, f.ts3DownProg2, f.ts3ImBtnFreeScans2};
}

} // namespace

void TMainForm::CreateToolsPage()
{
    ts3ImBackground = NewImage(TabSheet3, 0, 0, 720, 372);
    LoadGifResource(QStringLiteral("bg_freescans_ts3"), ts3ImBackground);

    // The two blocks share one layout; the second lies 185 pixels lower.
    struct Block {
        TImage *&picture, *&heading;
        TLabel*& description;
        TImage*& button;
        TLabel *&status, *&speed;
        TLSVGauge*& gauge;
        const char *pictureName, *headingName;
        QSize headingSize;
        QString text;
        int descriptionHeight, speedLeft;
    } blocks[] = {
        {Image15, ts3HeadIm1, ts3Label11, ts3ImBtnFreeScans1, ts3Label12, ts3Label13, ts3DownProg1, "tool1_box",
         "tool1_head", {191, 21},
         QStringLiteral("Helvorin looks for outdated and missing device drivers, shows which of your devices need "
                        "an update and installs the right drivers for you."),
         74, 607},
        {Image8, ts3HeadIm2, ts3Label21, ts3ImBtnFreeScans2, ts3Label22, ts3Label23, ts3DownProg2, "tool2_box",
         "tool2_head", {160, 22},
         QStringLiteral("Ostrakane checks the system's configuration store for broken and leftover entries and "
                        "repairs them safely."),
         54, 608},
    };
    int top = 0;
    for (Block& b : blocks) {
        b.picture = NewImage(TabSheet3, 15, top + 12, 100, 170);
        LoadPngResource(QString::fromLatin1(b.pictureName), b.picture);
        b.heading = NewImage(TabSheet3, 135, top + 14, b.headingSize.width(), b.headingSize.height());
        LoadPngResource(QString::fromLatin1(b.headingName), b.heading);
        b.description = NewToolLabel(TabSheet3, 135, top + 42, 528, b.descriptionHeight, b.text,
                                     QStringLiteral("Tahoma"), 15, true, taLeftJustify);
        b.button = NewImage(TabSheet3, 453, top + 115, 252, 52);
        SkinButton(b.button, QStringLiteral("btn_freescans"));
        // The status lines are longer than their place in the layout; they grow to the right.
        b.status = NewToolLabel(TabSheet3, 135, top + 125, 85, 16, QString(), QStringLiteral("Arial"), 13, false,
                                taLeftJustify);
        b.status->SetAutoSize(true);
        b.speed = NewToolLabel(TabSheet3, b.speedLeft, top + 125, 97, 16, QString(), QStringLiteral("Arial"), 13,
                               false, taRightJustify);
        b.gauge = NewPercentGauge(TabSheet3, 135, top + 146, 570);
        for (QWidget* hidden : {static_cast<QWidget*>(b.status), static_cast<QWidget*>(b.speed),
                                static_cast<QWidget*>(b.gauge)})
            hidden->setVisible(false);
        top += 185;
    }
    Image7 = NewImage(TabSheet3, 26, 185, 670, 2);
    LoadGifResource(QStringLiteral("line_separator"), Image7);
    ts3ImBtnFreeScans1->OnClick = [this](QObject* s) { ts3ImBtnFreeScans1Click(s); };
    ts3ImBtnFreeScans2->OnClick = [this](QObject* s) { ts3ImBtnFreeScans2Click(s); };
}

void TMainForm::ts3ImBtnFreeScans1Click(QObject*) { StartToolThread(1); }

void TMainForm::ts3ImBtnFreeScans2Click(QObject*) { StartToolThread(2); }

void TMainForm::StartToolThread(int tool)
{
    TDownToolThread*& field = tool == 1 ? ToolThread1 : ToolThread2;
    // The button is hidden while its tool is fetched; one worker per tool.
    if (field)
        return;
    const TToolInfo& info = kTools[tool - 1];
    auto thread = std::make_unique<TDownToolThread>();
    thread->Priority = TThreadPriority::tpNormal;
    thread->ToolName = info.name;
    thread->UninstallKey = info.productCode;
    thread->ToolExe = info.exe;
    thread->Title = info.name;
    thread->Url = ToolConfig().DownloadSite + info.downloadPath;
    thread->TargetFile = SysVars.TempDir + info.exe;
    thread->IsX86 = WindowsType.Architecture == "x86";
    thread->ElevatedLaunch = info.elevatedLaunch;
    thread->TempDir = SysVars.TempDir;
    thread->OwnWindow = platform::WindowHandle(winId());
    const TToolBlock block = BlockOf(*this, tool);
    thread->StatusLabel = block.status;
    thread->SpeedLabel = block.speed;
    thread->ProgressGauge = block.gauge;
    thread->StartButton = block.button;
    thread->FreeOnTerminate = true;
    if (tool == 1)
        thread->OnTerminate = [this](QObject* s) { FreeScans1Done(s); };
    else
        thread->OnTerminate = [this](QObject* s) { FreeScans2Done(s); };
    // A tool that runs or is installed is brought forward; no worker is needed.
    if (thread->LaunchIfInstalled())
        return;
    field = thread.release();
    field->Start();
}

void TMainForm::FreeScans1Done(QObject*) { ToolThreadDone(1); }

void TMainForm::FreeScans2Done(QObject*) { ToolThreadDone(2); }

void TMainForm::ToolThreadDone(int tool)
{
    TDownToolThread* thread = std::exchange(tool == 1 ? ToolThread1 : ToolThread2, nullptr);
    // The block returns to its button even when starting the tool fails.
    struct BackToIdle {
        TToolBlock block;
        ~BackToIdle()
        {
            block.status->setVisible(false);
            block.speed->setVisible(false);
            block.gauge->setVisible(false);
            block.button->SetVisible(true);
        }
    } idle{BlockOf(*this, tool)};
    // Normally starts the tool just installed and brings it forward.
    if (thread)
        thread->LaunchIfInstalled();
}

void TMainForm::AbandonToolThreads()
{
    for (TDownToolThread** field : {&ToolThread1, &ToolThread2}) {
        if (*field)
            (*field)->Abandon();
        *field = nullptr;
    }
}
