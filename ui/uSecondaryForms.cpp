#include "ui/uSecondaryForms.h"

#include "app/uResources.h"
#include "core/uVersionInfo.h"
#include "toolkit/Image.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Timer.h"
#include "ui/uControls.h"
#include "ui/uMainForm.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

TInfoForm* InfoForm = nullptr;
TWaitForm* WaitForm = nullptr;
TAboutForm* AboutForm = nullptr;

namespace {

// A left-button press on a drag handle moves the window.
TMouseEvent DragHandler(TForm* form)
{
    return [form](QObject*, TMouseButton b, int, int) {
        if (b == TMouseButton::mbLeft)
            form->StartSystemMove();
    };
}

void FadeInFromMain(TForm* form)
{
    if (MainForm)
        MainForm->FadeIn(form);
}

} // namespace

TInfoForm::TInfoForm()
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowSystemMenuHint);
    SetClientSize(500, 220);
    SetCaption("Vantorel");
    CenterOnScreen();
    const QColor text(30, 30, 30);
    ImBgInfo = NewImage(this, 0, 0, 500, 220);
    ImInfoIco = NewImage(this, 15, 15, 68, 70);
    ImInfoText = NewImage(this, 100, 40, 370, 24);
    Label6 = NewLabel(this, 99, 72, QString(), 12, false, text);
    Label6->SetAutoSize(false);
    Label6->SetWordWrap(true);
    Label6->SetBounds(99, 72, 372, 61);
    Label1 = NewLabel(this, 99, 130, QStringLiteral("If you have any questions please read our FAQ."), 12, false, text);
    ImBtnRetry = NewImage(this, 99, 174, 102, 32);
    ImBtnOk = NewImage(this, 239, 174, 102, 32);
    ImBtnCancel = NewImage(this, 380, 174, 102, 32);
    ImBtnClose = NewImage(this, 449, 0, 41, 15);
    SkinButton(ImBtnRetry, QStringLiteral("BTN_RETRY"));
    SkinButton(ImBtnOk, QStringLiteral("BTN_OK"));
    SkinButton(ImBtnCancel, QStringLiteral("BTN_CANCEL"));
    SkinButton(ImBtnClose, QStringLiteral("BTN_CLOSE2"));
    ImBtnOk->OnClick = [this](QObject* s) { ImBtnOkClick(s); };
    ImBtnRetry->OnClick = [this](QObject* s) { ImBtnOkClick(s); };
    ImBtnCancel->OnClick = [this](QObject* s) { ImBtnCancelClick(s); };
    ImBtnClose->OnClick = [this](QObject* s) { ImBtnCancelClick(s); };
    for (TImage* im : {ImBgInfo, ImInfoIco, ImInfoText})
        im->OnMouseDown = DragHandler(this);
    Label6->OnMouseDown = Label1->OnMouseDown = DragHandler(this);

    SetRegion(RoundRectRegion(0, 0, 501, 221, 11, 11));
    ApplyClearTypeFonts(this);
    LoadJpegResource("bg_info", ImBgInfo);
    LoadPngResource("BTN_RETRY_NA", ImBtnRetry);
    LoadPngResource("BTN_OK_NA", ImBtnOk);
    LoadPngResource("BTN_CANCEL_NA", ImBtnCancel);
    LoadPngResource("BTN_CLOSE2_NA", ImBtnClose);
    OnShow = [this](QObject* s) { FormShow(s); };
    DoCreate();
}

void TInfoForm::FormShow(QObject*)
{
    Label6->SetCaption(MessageText);
    FadeInFromMain(this);
}

void TInfoForm::ImBtnOkClick(QObject*) { SetModalResult(mrOk); }

void TInfoForm::ImBtnCancelClick(QObject*) { SetModalResult(mrCancel); }

TWaitForm::TWaitForm()
{
    // A layer, not a window of its own: no taskbar button, never focused.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    SetClientSize(750, 550);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    Image1 = NewImage(this, 358, 238, 36, 36);
    Timer1 = new TTimer(this, 100, false);
    Timer1->OnTimer = [this](QObject* s) { Timer1Timer(s); };
    Timer2 = new TTimer(this, 5, true);
    Timer2->OnTimer = [this](QObject* s) { Timer2Timer(s); };
    maxOpacity_ = 128;
    SetRegion(RoundRectRegion(0, 0, 751, 551, 11, 11));
    SetAlphaBlend(true);
    SetAlphaBlendValue(128);
    mayClose_ = true;
    // Only HideWait closes the overlay; the system's close (Alt+F4) is refused.
    OnCloseQuery = [this] { return mayClose_; };
    OnDestroy = [this](QObject*) { mayClose_ = true; };
    DoCreate();
}

void TWaitForm::ShowWait(QWidget* target, bool animation)
{
    mayClose_ = false;
    move(target->pos());
    SetClientSize(target->width(), target->height());
    SetRegion(RoundRectRegion(0, 0, target->width() + 1, target->height() + 1, 11, 11));
    Image1->move(HalfRounded(width()) - HalfRounded(Image1->width()), HalfRounded(height()) - HalfRounded(Image1->height()));
    frame_ = 0;
    Timer1->SetEnabled(true);
    Image1->SetVisible(animation);
    SetAlphaBlendValue(0);
    Show();
    Timer2->SetEnabled(true);
}

void TWaitForm::HideWait()
{
    // Seen fully dimmed at least once, however short the modal window was up.
    while (AlphaBlendValue() < maxOpacity_ && Timer2->Enabled())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    mayClose_ = true;
    Close();
    Timer1->SetEnabled(false);
}

void TWaitForm::Timer1Timer(QObject*)
{
    frame_ += 1;
    if (frame_ > 12)
        frame_ = 1;
    LoadPngResource(QStringLiteral("wait%1").arg(frame_), Image1);
}

void TWaitForm::Timer2Timer(QObject*)
{
    if (AlphaBlendValue() < maxOpacity_)
        SetAlphaBlendValue(AlphaBlendValue() + 10);
    else
        Timer2->SetEnabled(false);
}

TAboutForm::TAboutForm()
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowSystemMenuHint);
    SetClientSize(500, 275);
    SetCaption("About Vantorel");
    CenterOnScreen();
    Image1 = NewImage(this, 0, 0, 500, 275);
    LoadGifResource("bg_about", Image1);
    Label2 = NewLabel(this, 99, 240, QString::fromLatin1(kMakerSite), 13, true, QColor(54, 106, 179));
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->OnClick = [this](QObject* s) { Label2Click(s); };
    Label3 = NewLabel(this, 147, 134, QStringLiteral("1.00"), 13, false, QColor(30, 30, 30));
    ImBtnClose = NewImage(this, 447, 0, 41, 15);
    SkinButton(ImBtnClose, "BTN_CLOSE2");
    ImBtnClose->OnMouseUp = [this](QObject* s, TMouseButton, int, int) { ImBtnCloseMouseUp(s); };
    Image1->OnMouseDown = Label3->OnMouseDown = DragHandler(this);
    SetRegion(RoundRectRegion(0, 0, 501, 276, 11, 11));
    ApplyClearTypeFonts(this);
    LoadPngResource("BTN_CLOSE2_NA", ImBtnClose);
    OnShow = [this](QObject* s) { FormShow(s); };
    DoCreate();
}

void TAboutForm::FormShow(QObject*)
{
    auto info = GetAppVersionInfo();
    if (info && info->Valid) {
        TVersionNumber v{};
        info->GetProductVersion(v);
        Label3->SetCaption(QString::fromStdString(VersionText(v)));
    }
    FadeInFromMain(this);
}

void TAboutForm::ImBtnCloseMouseUp(QObject*)
{
    if (InModal())
        SetModalResult(mrCancel);
    else
        Hide();
}

void TAboutForm::Label2Click(QObject*) { QDesktopServices::openUrl(QUrl(Label2->text())); }
