#pragma once
// The start-up window, 315 x 170, and the start-up sequence it runs once
// from its one-shot timer, shown or not. Its Tag is 0 until the sequence
// has started, then 1. Main thread only.

#include "toolkit/Form.h"

class TImage;
class TTimer;

class TSplashForm : public TForm {
public:
    TSplashForm();

    TImage* ImSplashBg = nullptr;
    TTimer* Timer1 = nullptr;

    void FormCreate(QObject* Sender);
    void Timer1Timer(QObject* Sender);
};

extern TSplashForm* SplashForm;
