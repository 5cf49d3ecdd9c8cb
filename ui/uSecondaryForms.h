#pragma once
// The secondary windows created at start-up: the message window, the
// dimming overlay laid over the main window while a modal window is up, and
// the about window. Each is reused for the whole run. Main thread only.

#include "toolkit/Form.h"

#include <QString>

class QWidget;
class TImage;
class TLabel;
class TTimer;

// The skinned message window: the caller sets MessageText and shows it
// modally; OK and Retry answer mrOk, Cancel, the close button and a system
// close answer mrCancel.
class TInfoForm : public TForm {
public:
    TInfoForm();

    TImage* ImBgInfo = nullptr;
    TImage* ImBtnClose = nullptr;
    TImage* ImBtnOk = nullptr;
    TImage* ImBtnCancel = nullptr;
    TLabel* Label6 = nullptr;
    TImage* ImBtnRetry = nullptr;
    TLabel* Label1 = nullptr;
    TImage* ImInfoIco = nullptr;
    TImage* ImInfoText = nullptr;

    QString MessageText;

    void FormShow(QObject* Sender);
    void ImBtnOkClick(QObject* Sender);
    void ImBtnCancelClick(QObject* Sender);
};

// A dark, half-transparent layer over a window, optionally with a small
// animation in its centre. It closes only through HideWait.
class TWaitForm : public TForm {
public:
    TWaitForm();

    TImage* Image1 = nullptr;
    TTimer* Timer1 = nullptr;
    TTimer* Timer2 = nullptr;

    // Lays the overlay over target's place and fades it in; returns at once.
    void ShowWait(QWidget* target, bool animation);
    // Waits for the fade-in to end, then closes the overlay.
    void HideWait();
    void Timer1Timer(QObject* Sender);
    void Timer2Timer(QObject* Sender);

    int MaxOpacity() const { return maxOpacity_; }
    int Frame() const { return frame_; }

private:
    int maxOpacity_ = 128;
    int frame_ = 0;
    bool mayClose_ = true;
};

// The about window: background, version, the maker's site and a close
// button, which closes the window when a mouse button is released on it.
class TAboutForm : public TForm {
public:
    TAboutForm();

    TImage* Image1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TImage* ImBtnClose = nullptr;

    void FormShow(QObject* Sender);
    void ImBtnCloseMouseUp(QObject* Sender);
    void Label2Click(QObject* Sender);
};

extern TInfoForm* InfoForm;
extern TWaitForm* WaitForm;
extern TAboutForm* AboutForm;
