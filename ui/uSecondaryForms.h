#pragma once
// The secondary windows created at start-up: the message window, the
// dimming overlay and the about window. Their pages are filled in by their
// own units; here they are the borderless windows the start-up creates.

#include "toolkit/Form.h"

class TImage;

class TInfoForm : public TForm {
public:
    TInfoForm();
};

class TWaitForm : public TForm {
public:
    TWaitForm();
};

// The about window: its background and its close button, which closes the
// window when a mouse button is released on it.
class TAboutForm : public TForm {
public:
    TAboutForm();

    TImage* Image1 = nullptr;
    TImage* ImBtnClose = nullptr;

    void ImBtnCloseMouseUp(QObject* Sender);
};

extern TInfoForm* InfoForm;
extern TWaitForm* WaitForm;
extern TAboutForm* AboutForm;
