// Picture resources, regions from masks, the ClearType walk and the skinned
// button and check-box handler pattern, on Qt's offscreen platform.

#include "app/uResources.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/Image.h"
#include "toolkit/StdCtrls.h"
#include "ui/uSecondaryForms.h"

#include <QApplication>
#include <QBuffer>
#include <QImageReader>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QImage Png(const char* name)
{
    QImage img;
    LoadPngResource(name, img);
    return img;
}

// Sends the mouse events of a pointer entering, pressing, releasing and
// leaving an image, the way the window system delivers them.
void Enter(QWidget* w)
{
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(w, &e);
}
void Leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}
void Mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint at = QPoint(2, 2))
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

// Every picture the windows name exists at its size and in its format.
TEST(Resources, EveryNamedPictureExistsWithItsSizeAndFormat)
{
    struct Case {
        std::string name;
        const char* format;
        int w, h;
    };
    std::vector<Case> cases = {
        {"bg_info", "jpeg", 500, 220},          {"bg_scansumm_ts4", "gif", 360, 265},
        {"bg_scansumm_ts4_blank", "gif", 355, 265}, {"bg_drive_large", "gif", 326, 60},
        {"bg_drive_small", "gif", 308, 60},      {"ts_prog_bg_large", "gif", 224, 13},
        {"ts_prog_bg_small", "gif", 206, 13},    {"ts_prog_main_large", "gif", 224, 13},
        {"ts_prog_main_small", "gif", 206, 13},  {"TS5PROG_MAIN", "gif", 690, 20},
        {"TS5PROG_BG", "gif", 690, 20},          {"ts3downprog_main", "gif", 570, 20},
        {"ts3downprog_bg", "gif", 570, 20},      {"BtnPg_Defrag_r2", "gif", 236, 25},
        {"BtnPg_FreeScans_r1", "gif", 236, 25},  {"BtnPg_Defrag", "png", 236, 25},
        {"BtnPg_Defrag_a2", "png", 236, 25},     {"BtnPg_Defrag_na", "png", 236, 25},
        {"BtnPg_FreeScans", "png", 236, 25},     {"BtnPg_FreeScans_a1", "png", 236, 25},
        {"BTN_SETTINGS_GRAY", "png", 71, 23},    {"Btn_FixDrives_gray", "png", 152, 32},
    };
    for (const char* look : {"_NA", "_A", "_DN"}) {
        const std::pair<const char*, QSize> buttons[] = {
            {"BTN_MIN", {24, 15}},       {"BTN_CLOSE", {41, 15}},   {"BTN_CLOSE2", {41, 15}},
            {"BTN_SETTINGS", {71, 23}},  {"BTN_HELP", {53, 23}},    {"BTN_ABOUT", {60, 23}},
            {"btn_scannow", {152, 32}},  {"BTN_CANCEL", {102, 32}}, {"BTN_BACK", {102, 32}},
            {"Btn_FixDrives", {152, 32}}, {"BTN_OK", {102, 32}},    {"BTN_RETRY", {102, 32}},
            {"btn_freescans", {252, 52}}, {"CHECKBOX_0", {13, 13}}, {"CHECKBOX_1", {13, 13}},
        };
        for (const auto& [base, size] : buttons)
            cases.push_back({std::string(base) + look, "png", size.width(), size.height()});
    }
    for (const char* colour : {"red", "orange", "green"}) {
        cases.push_back({std::string("term1_") + colour, "png", 56, 141});
        cases.push_back({std::string("term2_") + colour, "png", 28, 69});
    }
    for (int i = 1; i <= 12; ++i)
        cases.push_back({"WAIT" + std::to_string(i), "png", 36, 36});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray data = ResourceData(QString::fromStdString(c.name));
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        EXPECT_EQ(reader.format(), QByteArray(c.format));
        EXPECT_EQ(reader.size(), QSize(c.w, c.h));
    }
}

TEST(Resources, NamesAreLookedUpWithoutRegardToCase)
{
    const QImage lower = Png("btn_scannow_na");
    EXPECT_FALSE(lower.isNull());
    EXPECT_EQ(lower, Png("BTN_SCANNOW_NA"));
    EXPECT_EQ(lower, Png("Btn_ScanNow_Na"));
}

TEST(Resources, FailedLoadsRaiseAndKeepThePreviousContent)
{
    const QImage before = Png("BTN_OK_NA");
    TImage target(nullptr);
    target.SetPicture(before);
    QImage bitmap = before;
    struct Case {
        const char* what;
        std::function<void()> load;
        std::string message; // empty: only the decoder's error type is checked
    };
    const Case cases[] = {
        {"missing PNG", [&] { LoadPngResource("NO_SUCH_PICTURE", &target); }, "Resource NO_SUCH_PICTURE not found"},
        {"missing GIF", [&] { LoadGifResource("no_such_mask", bitmap); }, "Resource no_such_mask not found"},
        {"missing JPEG", [&] { LoadJpegResource("bg_nothing", &target); }, "Resource bg_nothing not found"},
        {"GIF data as PNG", [&] { LoadPngResource("bg_drive_large", &target); }, ""},
        {"PNG data as GIF", [&] { LoadGifResource("BTN_OK_A", bitmap); }, ""},
        {"GIF data as JPEG", [&] { LoadJpegResource("TS5PROG_BG", bitmap); }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.load();
            ADD_FAILURE() << "no error";
        } catch (const EResNotFound& e) {
            EXPECT_EQ(e.what(), c.message);
        } catch (const EInvalidGraphic& e) {
            EXPECT_TRUE(c.message.empty()) << e.what();
        }
        EXPECT_EQ(target.Picture(), before);
        EXPECT_EQ(bitmap, before);
    }
}

TEST(Regions, MaskPixelsAreCutOutRowByRow)
{
    // A 6 x 3 mask: white is the mask colour (top-left); black is the shape,
    // and a white pixel inside the shape leaves a hole.
    QImage mask(6, 3, QImage::Format_RGB32);
    mask.fill(Qt::white);
    for (int x = 1; x <= 4; ++x)
        for (int y = 0; y <= 2; ++y)
            mask.setPixel(x, y, qRgb(0, 0, 0));
    mask.setPixel(2, 1, qRgb(255, 255, 255)); // hole
    mask.setPixel(5, 2, qRgb(10, 10, 10));    // any other colour counts as shape
    const QRegion r = RegionFromBitmap(mask);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool shape = mask.pixel(x, y) != qRgb(255, 255, 255);
            EXPECT_EQ(r.contains(QPoint(x, y)), shape) << x << "," << y;
        }
    EXPECT_FALSE(r.contains(QPoint(6, 0))) << "nothing outside the bitmap";
}

TEST(Regions, EmptyMaskGivesAnEmptyRegion)
{
    const QRegion r = RegionFromBitmap(QImage(0, 25, QImage::Format_RGB32));
    EXPECT_TRUE(r.isEmpty());
    EXPECT_FALSE(r.contains(QPoint(0, 0)));
}

TEST(Regions, TabMasksGiveTheOtherTabsHotArea)
{
    QRegion freeScansTab, defragTab;
    LoadRegionResource(freeScansTab, "BtnPg_Defrag_r2");
    LoadRegionResource(defragTab, "BtnPg_FreeScans_r1");
    EXPECT_TRUE(freeScansTab.contains(QPoint(170, 14)));
    EXPECT_FALSE(freeScansTab.contains(QPoint(50, 14)));
    EXPECT_TRUE(defragTab.contains(QPoint(50, 14)));
    EXPECT_FALSE(defragTab.contains(QPoint(170, 14)));
    EXPECT_FALSE(defragTab.contains(QPoint(0, 0))) << "the rounded corner is outside";

    // A failed load leaves no hot area rather than the old one.
    EXPECT_THROW(LoadRegionResource(defragTab, "BtnPg_Missing"), EResNotFound);
    EXPECT_TRUE(defragTab.isEmpty());
    EXPECT_THROW(LoadRegionResource(freeScansTab, "BTN_OK_NA"), EInvalidGraphic);
    EXPECT_TRUE(freeScansTab.isEmpty());
}

TEST(ClearType, ChildrenAtEveryDepthGetTheQualityButNotTheWindow)
{
    TForm form;
    auto* pages = new TPageControl(&form);
    auto* sheet = new TTabSheet(pages, "Summary");
    auto* nested = new TLabel(sheet, "Last scan:");
    auto* top = new TLabel(&form, "top");
    nested->SetFont(MakeFont("DejaVu Sans", 13, true));
    ApplyClearTypeFonts(&form);
    EXPECT_TRUE(HasClearTypeQuality(top->font()));
    EXPECT_TRUE(HasClearTypeQuality(pages->font()));
    EXPECT_TRUE(HasClearTypeQuality(sheet->font()));
    EXPECT_TRUE(HasClearTypeQuality(nested->font())) << "a label on a sheet inside a page control";
    EXPECT_TRUE(nested->font().bold()) << "the rest of the font is kept";
    EXPECT_EQ(nested->font().pixelSize(), 13);
    EXPECT_FALSE(HasClearTypeQuality(form.font())) << "the window's own font is left alone";
}

TEST(ImageEvents, DownClickUpForTheLeftButtonOnlyInside)
{
    TForm form;
    auto* img = new TImage(&form);
    img->SetBounds(0, 0, 50, 20);
    std::vector<std::string> seen;
    img->OnMouseDown = [&](QObject*, TMouseButton b, int, int) { seen.push_back(b == TMouseButton::mbLeft ? "down" : "down-other"); };
    img->OnClick = [&](QObject*) { seen.push_back("click"); };
    img->OnMouseUp = [&](QObject*, TMouseButton b, int, int) { seen.push_back(b == TMouseButton::mbLeft ? "up" : "up-other"); };

    Mouse(img, QEvent::MouseButtonPress, Qt::LeftButton);
    Mouse(img, QEvent::MouseButtonRelease, Qt::LeftButton);
    Mouse(img, QEvent::MouseButtonPress, Qt::RightButton);
    Mouse(img, QEvent::MouseButtonRelease, Qt::RightButton);
    Mouse(img, QEvent::MouseButtonPress, Qt::LeftButton);
    Mouse(img, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(80, 2)); // released outside
    EXPECT_EQ(seen, (std::vector<std::string>{"down", "click", "up", "down-other", "up-other", "down", "up"}));
}

TEST(SkinnedButtons, HoverPressReleaseLeave)
{
    TForm form;
    auto* btn = new TImage(&form);
    btn->SetBounds(0, 0, 152, 32);
    SkinButton(btn, "btn_scannow");
    LoadPngResource("btn_scannow_na", btn);
    int clicks = 0;
    btn->OnClick = [&](QObject*) { ++clicks; };

    Enter(btn);
    EXPECT_EQ(btn->Picture(), Png("btn_scannow_a"));
    Mouse(btn, QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_EQ(btn->Picture(), Png("btn_scannow_dn"));
    Mouse(btn, QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(btn->Picture(), Png("btn_scannow_na")) << "normal after the release, though still hovered";
    EXPECT_EQ(clicks, 1);
    Mouse(btn, QEvent::MouseButtonPress, Qt::RightButton);
    EXPECT_EQ(btn->Picture(), Png("btn_scannow_dn")) << "any button presses";
    Mouse(btn, QEvent::MouseButtonRelease, Qt::RightButton);
    EXPECT_EQ(btn->Picture(), Png("btn_scannow_na"));
    EXPECT_EQ(clicks, 1) << "only the left button clicks";
    Leave(btn);
    EXPECT_EQ(btn->Picture(), Png("btn_scannow_na"));
    Enter(btn);
    EXPECT_EQ(btn->Picture(), Png("btn_scannow_a")) << "hover returns with the next enter";
}

TEST(SkinnedButtons, DisabledFixButtonKeepsItsGreyPicture)
{
    TForm form;
    auto* fix = new TImage(&form);
    fix->SetBounds(0, 0, 152, 32);
    SkinButton(fix, "Btn_FixDrives", true);
    fix->SetEnabled(false);
    LoadPngResource("Btn_FixDrives_gray", fix);
    const QImage grey = fix->Picture();
    // Through the window system and straight through the handlers.
    Enter(fix);
    Mouse(fix, QEvent::MouseButtonPress, Qt::LeftButton);
    Mouse(fix, QEvent::MouseButtonRelease, Qt::LeftButton);
    Leave(fix);
    fix->OnMouseEnter(fix);
    fix->OnMouseDown(fix, TMouseButton::mbLeft, 1, 1);
    fix->OnMouseUp(fix, TMouseButton::mbLeft, 1, 1);
    fix->OnMouseLeave(fix);
    EXPECT_EQ(fix->Picture(), grey);

    fix->SetEnabled(true);
    LoadPngResource("Btn_FixDrives_na", fix);
    fix->OnMouseEnter(fix);
    EXPECT_EQ(fix->Picture(), Png("Btn_FixDrives_a"));
}

TEST(SkinnedButtons, SharedHandlersActOnTheSender)
{
    TForm form;
    auto* one = new TImage(&form);
    auto* two = new TImage(&form);
    SkinButton(one, "btn_freescans");
    two->OnMouseEnter = one->OnMouseEnter;
    LoadPngResource("btn_freescans_na", one);
    LoadPngResource("btn_freescans_na", two);
    two->OnMouseEnter(two);
    EXPECT_EQ(two->Picture(), Png("btn_freescans_a"));
    EXPECT_EQ(one->Picture(), Png("btn_freescans_na"));
}

TEST(SkinnedButtons, CheckBoxFlipsItsTagOnClick)
{
    TForm form;
    auto* box = new TImage(&form);
    box->SetBounds(0, 0, 13, 13);
    box->Tag = 1;
    SkinCheckBox(box);
    PaintCheckBox(box, "NA");
    EXPECT_EQ(box->Picture(), Png("CHECKBOX_1_NA"));
    Enter(box);
    EXPECT_EQ(box->Picture(), Png("CHECKBOX_1_A"));
    Mouse(box, QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_EQ(box->Picture(), Png("CHECKBOX_1_DN"));
    Mouse(box, QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(box->Tag, 0);
    EXPECT_EQ(box->Picture(), Png("CHECKBOX_0_NA")) << "the click shows hover, the release then normal";
    Leave(box);
    EXPECT_EQ(box->Picture(), Png("CHECKBOX_0_NA"));
    Mouse(box, QEvent::MouseButtonPress, Qt::RightButton);
    Mouse(box, QEvent::MouseButtonRelease, Qt::RightButton);
    EXPECT_EQ(box->Tag, 0) << "only a left click ticks";
}

TEST(SkinnedButtons, AboutWindowClosesOnReleaseOverItsCloseButton)
{
    TAboutForm about;
    EXPECT_EQ(about.ImBtnClose->Picture(), Png("BTN_CLOSE2_NA"));
    int result = -1;
    QTimer::singleShot(0, [&] {
        Enter(about.ImBtnClose);
        EXPECT_EQ(about.ImBtnClose->Picture(), Png("BTN_CLOSE2_A"));
        Mouse(about.ImBtnClose, QEvent::MouseButtonPress, Qt::RightButton);
        EXPECT_EQ(about.ImBtnClose->Picture(), Png("BTN_CLOSE2_DN"));
        EXPECT_TRUE(about.InModal()) << "a press alone does not close";
        Mouse(about.ImBtnClose, QEvent::MouseButtonRelease, Qt::RightButton);
    });
    QTimer::singleShot(3000, [&] { about.SetModalResult(mrOk); }); // guard against a hang
    result = about.ShowModal();
    EXPECT_EQ(result, mrCancel);
    EXPECT_FALSE(about.Visible());
}
