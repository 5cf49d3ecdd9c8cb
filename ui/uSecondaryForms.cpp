#include "ui/uSecondaryForms.h"

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
    SetCaption("About Vantorel");
    DoCreate();
}
