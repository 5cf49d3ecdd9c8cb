#pragma once
// The secondary windows created at start-up: the message window, the
// dimming overlay and the about window. Their pages are filled in by their
// own units; here they are the borderless windows the start-up creates.

#include "toolkit/Form.h"

class TInfoForm : public TForm {
public:
    TInfoForm();
};

class TWaitForm : public TForm {
public:
    TWaitForm();
};

class TAboutForm : public TForm {
public:
    TAboutForm();
};

extern TInfoForm* InfoForm;
extern TWaitForm* WaitForm;
extern TAboutForm* AboutForm;
