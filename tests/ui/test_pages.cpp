// The main window's page flow: Scan Now, the results, Fix, Cancel, Back and
// the settings page, with the worker running a scripted engine; the health
// block and the painting of the progress and results grids.

#include "controls/cm_LSVGauges.h"
#include "core/uDebugLog.h"
#include "core/uFormat.h"
#include "engine/uScanThread.h"
#include "fakes/EventLoop.h"
#include "fakes/FakeEngine.h"
#include "fakes/TempHome.h"
#include "app/uResources.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Grids.h"
#include "toolkit/Image.h"
#include "toolkit/StdCtrls.h"
#include "ui/uMainForm.h"
#include "ui/uSecondaryForms.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <optional>

#include <gtest/gtest.h>

struct TMainFormTestAccess {
    static TSettings& Settings() { return MainForm->Settings; }
    static TDriveList& DriveList() { return MainForm->DriveList; }
    static int ActivePage() { return MainForm->ActivePage; }
    static int DefragState() { return MainForm->DefragState; }
    static bool Busy() { return MainForm->Busy; }
    static bool Running() { return MainForm->ScanThread != nullptr; }
    static void StartAt(int page, int state)
    {
        MainForm->ActivePage = page;
        MainForm->DefragState = state;
        MainForm->ShowPage(page, state, true);
    }
    static int32_t& DriveCount() { return MainForm->DriveCount; }
    static void ReadStoredSettings() { ReadSettings(MainForm->Settings, &MainForm->SettingsOrigin); }
};
using Access = TMainFormTestAccess;

namespace {


QImage Resource(const char* name)
{
    QImage image(QStringLiteral(":/art/") + QString::fromLatin1(name));
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool Shows(const TImage* image, const char* name)
{
    return image->Picture().convertToFormat(QImage::Format_ARGB32) == Resource(name);
}

TDriveListItem Drive(const char* root, bool selected, int64_t fragmentedFiles = 0)
{
    TDriveListItem d;
    d.RootPath = root;
    d.DisplayName = std::string("Disk ") + root;
    d.TotalSizeText = "1.00 GB";
    d.Selected = selected;
    d.FragmentedFiles = fragmentedFiles;
    d.CheckState = kCheckStateNormal;
    return d;
}

// The engine's script: an analysis reports `found` fragmented files per
// drive; a defragmentation runs until it is stopped, then lingers for
// `linger` ms, as an engine finishing its current move would.
std::atomic<int> gFound{0};
std::atomic<int> gLingerMs{0};
void Script(FakeEngineCall& c)
{
    EngineStatus s{};
    s.PhaseCode = kPhaseAnalyze;
    c.status(&s);
    s.WorkTotal = 10;
    if (c.mode == kModeAnalyze) {
        s.WorkDone = 10;
        s.FragmentedItemCount = gFound;
        c.progress(&s);
        c.analyze(&s, nullptr);
        return;
    }
    s.PhaseCode = kPhaseDefragment;
    c.status(&s);
    QElapsedTimer clock;
    clock.start();
    while (!c.Stopped() && clock.elapsed() < 20000) {
        c.move(nullptr, 1, 10, 20);
        QThread::msleep(10);
    }
    QThread::msleep(gLingerMs);
}

class Pages : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDebugLogFolder(home.Path());
        fakeengine::Calls.clear();
        fakeengine::Script = Script;
        gFound = 0;
        gLingerMs = 0;
        MainForm = new TMainForm;
        Access::DriveList() = {Drive("/a", true), Drive("/b", false, 7), Drive("/c", true)};
        Access::ReadStoredSettings();
        Access::StartAt(1, 1);
    }
    void TearDown() override
    {
        if (MainForm)
            MainForm->Destroy();
        MainForm = nullptr;
        fakeengine::Script = nullptr;
        SetDebugLogFolder("");
    }
    static void ScanNow() { Fire(MainForm->ts1ImBtnScanNow->OnClick, MainForm->ts1ImBtnScanNow); }
    static void Fix() { Fire(MainForm->ts7ImBtnFix->OnClick, MainForm->ts7ImBtnFix); }
    static int Page() { return MainForm->PgControl->ActivePageIndex() + 1; }
    static int State() { return MainForm->CleanPgControl->ActivePageIndex() + 1; }
    static void AnalyseAndWait()
    {
        ScanNow();
        ASSERT_TRUE(PumpUntil([] { return Access::DefragState() == 3 && !Access::Running(); }));
    }

    TempHome home;
};

TEST_F(Pages, AnalysisRunsThenTheResultsListTheTickedDrives)
{
    gFound = 60;
    ScanNow();
    // The analysis page, locked while the pass runs.
    EXPECT_EQ(Access::DefragState(), 2);
    EXPECT_EQ(State(), 2);
    EXPECT_TRUE(Access::Busy());
    EXPECT_FALSE(MainForm->ImBtnSettings->Visible()) << "the grey settings button shows";
    EXPECT_TRUE(MainForm->ImBtnSettingsGray->Visible());
    EXPECT_FALSE(MainForm->ts5ImBtnCancel->Visible()) << "an analysis cannot be cancelled";
    EXPECT_TRUE(Shows(MainForm->ImPageHead, "BtnPg_Defrag_na.png"));
    EXPECT_EQ(MainForm->ts5ggTotProg->TextureOnFore().size(), QSize(690, 20));

    ASSERT_TRUE(PumpUntil([] { return Access::DefragState() == 3; }));
    EXPECT_EQ(State(), 3);
    EXPECT_FALSE(Access::Busy());
    EXPECT_TRUE(MainForm->ImBtnSettings->Visible());
    EXPECT_TRUE(MainForm->ts6ImBtnBack->Visible());
    EXPECT_EQ(fakeengine::Calls,
              (std::vector<std::string>{"0 /a", "0 /c", "0 /a", "0 /c"}))
        << "pre-pass and main pass over the ticked drives";

    // The total counts every drive, also the unticked one; only ticked
    // drives are listed, in drive-list order.
    const TSettings& s = Access::Settings();
    EXPECT_EQ(s.ErrFound, 60 + 7 + 60);
    EXPECT_EQ(s.ErrFixed, 0);
    EXPECT_NO_THROW(StrToDateTime(s.LastScanDate, TFormatSettings::System()));
    TStringGrid* grid = MainForm->ts6sgScanResult;
    EXPECT_EQ(grid->Tag, 2);
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->Object(0, 0), 0);
    EXPECT_EQ(grid->Object(0, 1), 2);
    EXPECT_EQ(MainForm->ts6lbTotErrCnt->text(), "127");
    EXPECT_EQ(MainForm->Label8->text(), "Medium");
    EXPECT_TRUE(MainForm->ts7ImBtnFix->Enabled());
    EXPECT_TRUE(Shows(MainForm->ts7ImBtnFix, "Btn_FixDrives_NA.png"));

    Fire(MainForm->ts6ImBtnBack->OnClick, MainForm->ts6ImBtnBack);
    EXPECT_EQ(State(), 1);
    EXPECT_FALSE(MainForm->ts6ImBtnBack->Visible());
}

TEST_F(Pages, HealthOfTheResultsAndTheFixButton)
{
    struct Case {
        int found;
        const char* word;
        QColor colour;
        bool fixEnabled;
    } cases[] = {
        {0, "High", QColor(0, 160, 0), false},
        {99, "High", QColor(0, 160, 0), true},
        {100, "Medium", QColor(255, 106, 0), true},
        {199, "Medium", QColor(255, 106, 0), true},
        {200, "Low", QColor(215, 0, 0), true},
    };
    Access::DriveList() = {Drive("/a", true)};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.found);
        gFound = c.found;
        AnalyseAndWait();
        EXPECT_EQ(MainForm->Label8->text(), c.word);
        EXPECT_EQ(MainForm->Label8->palette().color(QPalette::WindowText), c.colour);
        EXPECT_EQ(MainForm->ts6lbTotErrCnt->palette().color(QPalette::WindowText), c.colour);
        EXPECT_EQ(MainForm->ts7ImBtnFix->Enabled(), c.fixEnabled);
        EXPECT_TRUE(Shows(MainForm->ts7ImBtnFix, c.fixEnabled ? "Btn_FixDrives_NA.png" : "Btn_FixDrives_GRAY.png"));
        // A disabled Fix ignores the click.
        Fix();
        EXPECT_EQ(Access::DefragState(), c.fixEnabled ? 4 : 3);
        if (c.fixEnabled) {
            Fire(MainForm->ts7ImBtnCancel->OnClick, MainForm->ts7ImBtnCancel);
            ASSERT_TRUE(PumpUntil([] { return !Access::Running(); }));
        }
        Fire(MainForm->ts6ImBtnBack->OnClick, MainForm->ts6ImBtnBack);
    }
    EXPECT_EQ(HealthLevel(-5), 3);
}

TEST_F(Pages, CancelShowsTheResultsAtOnceAndTheSummaryWhenTheWorkerHasEnded)
{
    gFound = 3;
    AnalyseAndWait();
    gLingerMs = 400;
    Fix();
    EXPECT_EQ(State(), 4);
    EXPECT_TRUE(MainForm->ts7ImBtnCancel->Visible());
    EXPECT_TRUE(Access::Busy());
    ASSERT_TRUE(PumpUntil([] { return fakeengine::Calls.size() == 5; }));

    Fire(MainForm->ts7ImBtnCancel->OnClick, MainForm->ts7ImBtnCancel);
    EXPECT_EQ(State(), 3) << "the results page at once";
    EXPECT_TRUE(Access::Running()) << "the worker is still winding down";

    // Back and Scan Now while the cancelled pass winds down start nothing.
    Fire(MainForm->ts6ImBtnBack->OnClick, MainForm->ts6ImBtnBack);
    ScanNow();
    EXPECT_EQ(State(), 1);
    EXPECT_EQ(fakeengine::Calls.size(), 5u);

    ASSERT_TRUE(PumpUntil([] { return !Access::Running(); }));
    EXPECT_EQ(Access::DefragState(), 1) << "the defragmentation's end shows the summary";
    EXPECT_EQ(State(), 1);
    EXPECT_FALSE(Access::Busy()) << "with no pass running the window is free again";
    EXPECT_TRUE(MainForm->ImBtnSettings->Visible());
    EXPECT_EQ(fakeengine::Calls.back(), "2 /a") << "the stopped pass went on to no further drive";
}

TEST_F(Pages, SettingsPageReturnsToTheStateItCameFrom)
{
    gFound = 3;
    AnalyseAndWait();
    Fire(MainForm->ImBtnSettings->OnClick, MainForm->ImBtnSettings);
    EXPECT_EQ(Page(), 3);
    EXPECT_FALSE(MainForm->ImPageHead->Visible());
    EXPECT_TRUE(MainForm->ts8ImBtnOK->Visible());
    EXPECT_TRUE(MainForm->ts8ImBtnCancel->Visible());
    Fire(MainForm->ts8ImBtnCancel->OnClick, MainForm->ts8ImBtnCancel);
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(State(), 3);

    // A cancelled defragmentation that ends while the settings page is up
    // leaves the page alone; OK then returns to the summary.
    gLingerMs = 300;
    Fix();
    ASSERT_TRUE(PumpUntil([] { return fakeengine::Calls.size() == 5; }));
    Fire(MainForm->ts7ImBtnCancel->OnClick, MainForm->ts7ImBtnCancel);
    Fire(MainForm->ImBtnSettings->OnClick, MainForm->ImBtnSettings);
    ASSERT_EQ(Page(), 3);
    ASSERT_TRUE(PumpUntil([] { return !Access::Running(); }));
    EXPECT_EQ(Page(), 3);
    Fire(MainForm->ts8ImBtnOK->OnClick, MainForm->ts8ImBtnOK);
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(State(), 1);
}

TEST_F(Pages, ClosingTheWindowStopsARunningPassFirst)
{
    gFound = 3;
    AnalyseAndWait();
    Fix();
    ASSERT_TRUE(PumpUntil([] { return fakeengine::Calls.size() == 5; }));
    QElapsedTimer clock;
    clock.start();
    MainForm->Destroy();
    MainForm = nullptr;
    EXPECT_LT(clock.elapsed(), 5000) << "the engine was told to stop";
    EXPECT_EQ(fakeengine::Calls.back(), "2 /a") << "no further drive was started";
    EXPECT_TRUE(TempHome::Exists(home.HiveFile())) << "the settings were written after the stop";
}

// Where the text of a cell starts, in pixels from the cell's left edge.
int TextLeft(TStringGrid* grid, int col, const TDrawCellEvent& draw)
{
    const QRect r(0, 0, grid->ColWidth(col), grid->DefaultRowHeight());
    QImage image(r.size(), QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter p(&image);
    draw(grid, col, 0, r, 0, p);
    p.end();
    int left = -1;
    for (int x = 0; x < image.width() && left < 0; ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < 128) {
                left = x;
                break;
            }
    return left;
}

TEST_F(Pages, GridCellsCentreTheirCounts)
{
    Access::DriveList()[0].FragmentedFiles = 42;
    Access::DriveList()[0].Fragments = 42;
    TStringGrid* progress = MainForm->ts5sgGuidList;
    const auto drawProgress = [](QObject* s, int c, int r, const QRect& rc, TGridDrawState st, QPainter& cv) {
        MainForm->ts5sgGuidListDrawCell(s, c, r, rc, st, cv);
    };
    const auto drawResults = [](QObject* s, int c, int r, const QRect& rc, TGridDrawState st, QPainter& cv) {
        MainForm->ts6sgScanResultDrawCell(s, c, r, rc, st, cv);
    };

    // Before the worker has added a drive the row is plain white.
    MainForm->ShowPage(1, 3, false);
    fakeengine::Script = [](FakeEngineCall& c) {
        while (!c.Stopped())
            QThread::msleep(5);
    };
    ScanNow();
    EXPECT_EQ(progress->ColWidth(1), 687 - 466 - TStringGrid::VerticalScrollBarWidth());
    EXPECT_EQ(TextLeft(progress, 0, drawProgress), -1);
    MainForm->StopScanThread();

    progress->Tag = 1;
    progress->SetObject(0, 0, 0);
    progress->SetCell(1, 0, "42");
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    const int textWidth = QFontMetrics(font).horizontalAdvance("42");
    const auto half = [](int v) { return int(RoundHalfEven(v / 2.0L)); };
    const int expected = half(progress->ColWidth(1)) - half(textWidth) + TStringGrid::VerticalScrollBarWidth() - 9;
    EXPECT_NEAR(TextLeft(progress, 1, drawProgress), expected, 2) << "the count column is shifted by the scroll bar";

    TStringGrid* results = MainForm->ts6sgScanResult;
    EXPECT_EQ(results->Object(0, 0), 0);
    EXPECT_NEAR(TextLeft(results, 3, drawResults), half(100) - half(textWidth), 2) << "no shift in the results";
}

// One drive-list row painted as the grid paints it.
QImage PaintDriveRow(int row)
{
    QImage image(326, 61, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QPainter p(&image);
    MainForm->ts4SGDriveListDrawCell(MainForm->ts4SGDriveList, 0, row, QRect(0, 0, 326, 61), 0, p);
    p.end();
    return image;
}

QImage Gif(const char* name) { return Resource(name); }

void SetDrives(int count)
{
    Access::DriveList().clear();
    for (int i = 0; i < count; ++i)
        Access::DriveList().push_back(Drive("/d", true));
    Access::DriveCount() = count;
    MainForm->ts4SGDriveList->SetRowCount(std::max(1, count));
}

TEST_F(Pages, DriveRowsShowTheFreeShareOnTheBarForTheirWidth)
{
    for (int count : {4, 5}) {
        SCOPED_TRACE(count);
        SetDrives(count);
        const bool narrow = count == 5;
        EXPECT_EQ(MainForm->ts4SGDriveList->HasVerticalScrollBar(), narrow);
        const QImage back = Gif(narrow ? "ts_prog_bg_small.gif" : "ts_prog_bg_large.gif");
        const QImage fill = Gif(narrow ? "ts_prog_main_small.gif" : "ts_prog_main_large.gif");
        const QImage row = Gif(narrow ? "bg_drive_small.gif" : "bg_drive_large.gif");
        for (int percent : {0, 50, 100}) {
            SCOPED_TRACE(percent);
            Access::DriveList()[0].FreePercent = uint8_t(percent);
            const QImage drawn = PaintDriveRow(0);
            EXPECT_EQ(drawn.pixel(row.width() - 2, 58), row.pixel(row.width() - 2, 58)) << "the row background";
            const int n = int(RoundHalfEven(fill.width() / 100.0L * percent));
            if (percent == 50 && !narrow) {
                EXPECT_EQ(n, 112);
            }
            for (int x = 0; x < fill.width(); ++x) {
                const QRgb want = x < n ? fill.pixel(x, 6) : back.pixel(x, 6);
                ASSERT_EQ(drawn.pixel(89 + x, 23 + 6), want) << "bar column " << x;
            }
        }
    }
    // Rows beyond the drives are left alone.
    SetDrives(0);
    EXPECT_EQ(PaintDriveRow(0).pixel(5, 5), qRgb(255, 0, 0));
}

TEST_F(Pages, CheckBoxesFlipOnAReleaseInsideTheRememberedRow)
{
    SetDrives(2);
    TMainForm& m = *MainForm;
    const int row1 = 61;
    struct Step {
        bool down;
        int x, y;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        bool tick0, tick1;
    } cases[] = {
        {"press and release inside", {{true, 15, 30}, {false, 15, 30}}, false, true},
        {"bounds are inclusive", {{true, 10, 23}, {false, 23, 36}}, false, true},
        {"dragged off the box", {{true, 15, 30}, {false, 40, 30}}, true, true},
        {"release acts on the remembered row",
         {{true, 15, row1 + 30}, {false, 15, row1 + 30}, {true, 100, 30}, {false, 15, row1 + 30}},
         true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (auto& d : Access::DriveList())
            d.Selected = true;
        for (const Step& s : c.steps) {
            if (s.down)
                m.ts4SGDriveListMouseDown(m.ts4SGDriveList, TMouseButton::mbLeft, s.x, s.y);
            else
                m.ts4SGDriveListMouseUp(m.ts4SGDriveList, TMouseButton::mbLeft, s.x, s.y);
        }
        EXPECT_EQ(Access::DriveList()[0].Selected, c.tick0);
        EXPECT_EQ(Access::DriveList()[1].Selected, c.tick1);
        EXPECT_EQ(Access::DriveList()[0].CheckState, kCheckStateNormal);
        EXPECT_EQ(Access::DriveList()[1].CheckState, kCheckStateNormal);
    }

    // A press shows the pressed box; a move does not change the state.
    const QImage normal = PaintDriveRow(0).copy(10, 23, 13, 13);
    m.ts4SGDriveListMouseDown(m.ts4SGDriveList, TMouseButton::mbLeft, 15, 30);
    m.ts4SGDriveListMouseMove(m.ts4SGDriveList, 16, 31);
    EXPECT_EQ(Access::DriveList()[0].CheckState, kCheckStatePressed);
    EXPECT_NE(PaintDriveRow(0).copy(10, 23, 13, 13), normal);
    m.ts4SGDriveListMouseUp(m.ts4SGDriveList, TMouseButton::mbLeft, 15, 30);
    EXPECT_FALSE(Access::DriveList()[0].Selected);

    // With no drive at all a release does nothing.
    SetDrives(0);
    m.ts4SGDriveListMouseUp(m.ts4SGDriveList, TMouseButton::mbLeft, 15, 30);
}

TEST_F(Pages, SummaryRatesTheDrivesByTheLastDefragmentation)
{
    TMainForm& m = *MainForm;
    // First run: the blank panel only.
    m.ShowPage(1, 1, true);
    EXPECT_FALSE(m.ts4Label2->isVisibleTo(m.TabSheet4));
    EXPECT_FALSE(m.ts4Label14->isVisibleTo(m.TabSheet4));
    EXPECT_TRUE(Shows(m.ts1ImScanSumm, "bg_scansumm_ts4_blank.gif"));

    const TFormatSettings& fs = TFormatSettings::System();
    struct Case {
        std::optional<double> defragDaysAgo;
        int32_t found;
        const char* word;
        const char* picture;
    } cases[] = {
        {std::nullopt, 0, "Low", "term1_red.png"},
        {3, 150, "Medium", "term1_orange.png"},
        {3, 99, "High", "term1_green.png"},
        {3, 200, "Low", "term1_red.png"},
        {7.5, 0, "High", "term1_green.png"},
        {8, 0, "Low", "term1_red.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        TSettings& s = Access::Settings();
        s.LastScanDate = DateTimeToStr(EncodeDateTime(2026, 12, 14, 10, 15, 30), fs);
        s.LastDefragDate = c.defragDaysAgo ? DateTimeToStr(Now() - *c.defragDaysAgo, fs) : std::string();
        s.ErrFound = c.found;
        m.ShowPage(1, 1, true);
        EXPECT_TRUE(m.ts4Label14->isVisibleTo(m.TabSheet4));
        EXPECT_EQ(m.ts4Label14->text(), c.word);
        EXPECT_TRUE(Shows(m.ts4ImageTerm, c.picture));
        EXPECT_TRUE(Shows(m.ts1ImScanSumm, "bg_scansumm_ts4.gif"));
        EXPECT_EQ(m.ts4Label8->text(), QString::number(c.found));
    }
    // A Monday at 10:15:30 recommends the next Monday at the same time.
    EXPECT_EQ(m.ts4Label12->text().toStdString(),
              FormatDateText(DateTimeToStr(EncodeDateTime(2026, 12, 21, 10, 15, 30), fs), fs));
    EXPECT_LE(m.ts4Label2->width(), 190);

    // A date the regional settings no longer read shows as unknown.
    Access::Settings().LastScanDate = "not a date";
    Access::Settings().LastDefragDate = "neither";
    EXPECT_NO_THROW(m.ShowPage(1, 1, true));
    EXPECT_EQ(m.ts4Label2->text(), "Undefined");
    EXPECT_EQ(m.ts4Label14->text(), "Low");
}

TEST_F(Pages, LongDatesShrinkTheirLabelForGood)
{
    TMainForm& m = *MainForm;
    const TFormatSettings& fs = TFormatSettings::System();
    const int designSize = QFontInfo(m.ts4Label2->font()).pixelSize();
    Access::Settings().LastScanDate = DateTimeToStr(EncodeDateTime(2026, 9, 30, 22, 15, 30), fs);
    m.ShowPage(1, 1, true);
    const int shrunk = QFontInfo(m.ts4Label2->font()).pixelSize();
    EXPECT_LE(m.ts4Label2->width(), 190);
    if (QFontMetrics(MakeFont("Arial", 13)).horizontalAdvance(
            QString::fromStdString(FormatDateText(Access::Settings().LastScanDate, fs))) <= 190)
        GTEST_SKIP() << "this locale's long date fits at the design size";
    EXPECT_LT(shrunk, designSize);
    Access::Settings().LastScanDate = DateTimeToStr(EncodeDateTime(2026, 5, 1), fs);
    m.ShowPage(1, 1, true);
    EXPECT_EQ(QFontInfo(m.ts4Label2->font()).pixelSize(), shrunk) << "the size is never raised again";
}

TEST_F(Pages, SettingsPageEditsTheRecordOnlyOnOk)
{
    TMainForm& m = *MainForm;
    TSettings& s = Access::Settings();
    s.ProxyHost = "proxy.example";
    s.ProxyPassw = "s3cret";
    const auto open = [&] { Fire(m.ImBtnSettings->OnClick, m.ImBtnSettings); };
    open();
    // The stored values, the first two boxes ticked by default.
    EXPECT_EQ(m.ts8ProxyHostEdit->text(), "proxy.example");
    EXPECT_EQ(m.ts8ProxyPasswEdit->text(), "s3cret");
    EXPECT_EQ(m.ts8ProxyPasswEdit->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(Shows(m.ts8ImCheckBox1, "CHECKBOX_1_NA.png"));
    EXPECT_TRUE(Shows(m.ts8ImCheckBox2, "CHECKBOX_1_NA.png"));
    EXPECT_TRUE(Shows(m.ts8ImCheckBox3, "CHECKBOX_0_NA.png"));

    // Hover, press, click, release on the proxy box.
    TImage* box = m.ts8ImCheckBox3;
    Fire(box->OnMouseEnter, box);
    EXPECT_TRUE(Shows(box, "CHECKBOX_0_A.png"));
    box->OnMouseDown(box, TMouseButton::mbLeft, 5, 5);
    EXPECT_TRUE(Shows(box, "CHECKBOX_0_DN.png"));
    Fire(box->OnClick, box);
    box->OnMouseUp(box, TMouseButton::mbLeft, 5, 5);
    EXPECT_EQ(box->Tag, 1);
    EXPECT_TRUE(Shows(box, "CHECKBOX_1_NA.png")) << "the normal look of the new state under the pointer";
    Fire(box->OnMouseLeave, box);
    EXPECT_TRUE(Shows(box, "CHECKBOX_1_NA.png"));

    // Cancel forgets the change; reopening shows the stored state.
    Fire(m.ts8ImBtnCancel->OnClick, m.ts8ImBtnCancel);
    EXPECT_FALSE(s.UseProxy);
    open();
    EXPECT_EQ(m.ts8ImCheckBox3->Tag, 0);
    EXPECT_TRUE(Shows(m.ts8ImCheckBox3, "CHECKBOX_0_NA.png"));

    // OK takes every control as it stands, any text included.
    Fire(m.ts8ImCheckBox1->OnClick, m.ts8ImCheckBox1);
    Fire(m.ts8ImCheckBox3->OnClick, m.ts8ImCheckBox3);
    m.ts8ProxyPortEdit->SetText("abc");
    m.ts8ProxyLoginEdit->SetText(QString::fromUtf8(" j\xc3\xb6rg "));
    Fire(m.ts8ImBtnOK->OnClick, m.ts8ImBtnOK);
    EXPECT_FALSE(s.AutoRun);
    EXPECT_TRUE(s.CloseToTray);
    EXPECT_TRUE(s.UseProxy);
    EXPECT_EQ(s.ProxyPort, "abc");
    EXPECT_EQ(s.ProxyLogin, " j\xc3\xb6rg ");
    EXPECT_EQ(s.ProxyHost, "proxy.example");
    EXPECT_EQ(Page(), 1);
}

TEST_F(Pages, FadeInRisesInThirteenTicksAndASecondIsIgnored)
{
    TMainForm& m = *MainForm;
    TForm first, second;
    m.FadeIn(&first);
    EXPECT_TRUE(first.AlphaBlend());
    m.FadeIn(&second);
    EXPECT_FALSE(second.AlphaBlend()) << "shown at once while another fades in";
    std::vector<int> values{first.AlphaBlendValue()};
    for (int tick = 0; tick < 20 && m.AnimFormTimer->Enabled(); ++tick) {
        m.AnimFormTimerTimer(m.AnimFormTimer);
        values.push_back(first.AlphaBlendValue());
    }
    EXPECT_EQ(values, (std::vector<int>{0, 20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 220, 240, 255}));
    EXPECT_FALSE(m.AnimFormTimer->Enabled());
}

// A point of the header inside the region, or (-1, -1).
QPoint InsideOf(const QRegion& region)
{
    const QRect box = region.boundingRect();
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (region.contains(QPoint(x, y)))
                return {x, y};
    return {-1, -1};
}

TEST_F(Pages, PageHeaderLightsTheOtherTabAndSwitchesToIt)
{
    TMainForm& m = *MainForm;
    m.ShowPage(1, 1, true);
    const QRegion freeScansTab = [] {
        QRegion r;
        LoadRegionResource(r, "BtnPg_Defrag_r2");
        return r;
    }();
    const QPoint in = InsideOf(freeScansTab);
    ASSERT_GE(in.x(), 0);
    QPoint out(-1, -1);
    for (int x = 0; x < 236 && out.x() < 0; ++x)
        if (!freeScansTab.contains(QPoint(x, 12)))
            out = QPoint(x, 12);
    ASSERT_GE(out.x(), 0);

    m.ImPageHeadMouseMove(m.ImPageHead, in.x(), in.y());
    EXPECT_TRUE(Shows(m.ImPageHead, "BtnPg_Defrag_a2.png"));
    const qint64 hovered = m.ImPageHead->Picture().cacheKey();
    m.ImPageHeadMouseMove(m.ImPageHead, in.x(), in.y());
    EXPECT_EQ(m.ImPageHead->Picture().cacheKey(), hovered) << "moving within the tab loads nothing";
    m.ImPageHeadMouseLeave(m.ImPageHead);
    EXPECT_TRUE(Shows(m.ImPageHead, "BtnPg_Defrag.png"));
    m.ImPageHeadClick(m.ImPageHead);
    EXPECT_EQ(Page(), 1) << "a click off the other tab does nothing";

    m.ImPageHeadMouseMove(m.ImPageHead, out.x(), out.y());
    m.ImPageHeadMouseMove(m.ImPageHead, in.x(), in.y());
    m.ImPageHeadClick(m.ImPageHead);
    EXPECT_EQ(Page(), 2);
    EXPECT_EQ(Access::ActivePage(), 2);
    EXPECT_TRUE(Shows(m.ImPageHead, "BtnPg_FreeScans.png"));

    // While a pass runs the header neither lights up nor reacts.
    m.ShowPage(1, 1, true);
    fakeengine::Script = [](FakeEngineCall& c) {
        while (!c.Stopped())
            QThread::msleep(5);
    };
    ScanNow();
    m.ImPageHeadMouseMove(m.ImPageHead, in.x(), in.y());
    EXPECT_TRUE(Shows(m.ImPageHead, "BtnPg_Defrag_na.png"));
    m.ImPageHeadClick(m.ImPageHead);
    EXPECT_EQ(Page(), 1);
    m.StopScanThread();
}

TEST_F(Pages, MessageWindowAnswers)
{
    TInfoForm info;
    info.MessageText = "Please connect to the Internet and try again.";
    struct Case {
        const char* what;
        std::function<void()> act;
        int answer;
    } cases[] = {
        {"OK", [&] { Fire(info.ImBtnOk->OnClick, info.ImBtnOk); }, mrOk},
        {"Retry", [&] { Fire(info.ImBtnRetry->OnClick, info.ImBtnRetry); }, mrOk},
        {"Cancel", [&] { Fire(info.ImBtnCancel->OnClick, info.ImBtnCancel); }, mrCancel},
        {"close button", [&] { Fire(info.ImBtnClose->OnClick, info.ImBtnClose); }, mrCancel},
        {"closed by the system", [&] { info.Close(); }, mrCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString shown;
        QTimer::singleShot(20, [&] {
            shown = info.Label6->text();
            c.act();
        });
        EXPECT_EQ(info.ShowModal(), c.answer);
        EXPECT_EQ(shown, info.MessageText);
    }
}

TEST_F(Pages, OverlayCoversTheWindowFadesAndClosesOnlyThroughHideWait)
{
    TWaitForm wait;
    TForm target;
    target.SetClientSize(700, 500);
    target.move(100, 50);
    wait.Timer2->SetEnabled(false);
    wait.ShowWait(&target, true);
    wait.Timer2->SetEnabled(false); // stepped by hand below
    EXPECT_EQ(wait.pos(), QPoint(100, 50));
    EXPECT_EQ(wait.size(), QSize(700, 500));
    EXPECT_EQ(wait.Image1->pos(), QPoint(350 - 18, 250 - 18));
    EXPECT_TRUE(wait.Image1->Visible());
    std::vector<int> opacity{wait.AlphaBlendValue()};
    wait.Timer2->SetEnabled(true);
    for (int i = 0; i < 20 && wait.Timer2->Enabled(); ++i) {
        wait.Timer2Timer(wait.Timer2);
        opacity.push_back(wait.AlphaBlendValue());
    }
    EXPECT_EQ(opacity.front(), 0);
    EXPECT_EQ(opacity.back(), 130);
    EXPECT_EQ(opacity.size(), 15u) << "0, 10, ..., 130, then the timer stops";

    // Twelve frames, starting with the first at each showing.
    std::vector<int> frames;
    for (int i = 0; i < 14; ++i) {
        wait.Timer1Timer(wait.Timer1);
        frames.push_back(wait.Frame());
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2}));
    EXPECT_TRUE(Shows(wait.Image1, "WAIT2.png"));

    wait.Close();
    EXPECT_TRUE(wait.isVisible()) << "a system close is refused";
    wait.HideWait();
    EXPECT_FALSE(wait.isVisible());
    EXPECT_FALSE(wait.Timer1->Enabled());
    wait.ShowWait(&target, false);
    EXPECT_EQ(wait.Frame(), 0);
    EXPECT_FALSE(wait.Image1->Visible()) << "a plain dark layer";
    wait.HideWait(); // waits for the fade-in to end
    EXPECT_GE(wait.AlphaBlendValue(), wait.MaxOpacity());
}

TEST_F(Pages, AboutWindowShowsTheVersionAndClosesOnAnyRelease)
{
    TAboutForm about;
    QString version;
    QTimer::singleShot(20, [&] {
        version = about.Label3->text();
        about.ImBtnClose->OnMouseUp(about.ImBtnClose, TMouseButton::mbRight, 3, 3);
    });
    about.ShowModal();
    // This test program carries no version resource.
    EXPECT_EQ(version, "1.00");
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.Label2->text().toStdString(), kMakerSite);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    UsageStatisticsSender = [](int32_t, const TSettings&) {};
    SetMessageBoxHook([](const MessageBoxRequest&) { return IDOK; });
    return RUN_ALL_TESTS();
}
