#include "ui/uSecondaryForms.h"

#include "app/uResources.h"
#include "toolkit/Image.h"

TInfoForm* InfoForm = nullptr;
TWaitForm* WaitForm = nullptr;
TAboutForm* AboutForm = nullptr;

TInfoForm::TInfoForm()
{
    SetClientSize(500, 220);
    SetCaption("Vantorel");
    SetRegion(RoundRectRegion(0, 0, 501, 221, 11, 11));
    DoCreate();
}

TWaitForm::TWaitForm()
{
    SetClientSize(750, 550);
    DoCreate();
}

TAboutForm::TAboutForm()
{
    SetClientSize(500, 275);
    SetCaption("About Vantorel");
    CenterOnScreen();
    Image1 = new TImage(this);
    Image1->SetBounds(0, 0, 500, 275);
    LoadGifResource("bg_about", Image1);
    ImBtnClose = new TImage(this);
    ImBtnClose->SetBounds(447, 0, 41, 15);
    SkinButton(ImBtnClose, "BTN_CLOSE2");
    ImBtnClose->OnMouseUp = [this](QObject* s, TMouseButton, int, int) { ImBtnCloseMouseUp(s); };
    SetRegion(RoundRectRegion(0, 0, 501, 276, 11, 11));
    ApplyClearTypeFonts(this);
    LoadPngResource("BTN_CLOSE2_NA", ImBtnClose);
    DoCreate();
}

void TAboutForm::ImBtnCloseMouseUp(QObject*)
{
    if (InModal())
        SetModalResult(mrCancel);
    else
        Hide();
}
