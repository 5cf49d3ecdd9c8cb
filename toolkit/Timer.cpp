#include "toolkit/Timer.h"

TTimer::TTimer(QObject* owner, int interval, bool enabled)
    : QObject(owner), interval_(interval), enabled_(enabled)
{
    connect(&timer_, &QTimer::timeout, this, [this] { Fire(OnTimer, this); });
    Restart();
}

void TTimer::SetInterval(int ms)
{
    interval_ = ms;
    Restart();
}

void TTimer::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Restart();
}

void TTimer::Restart()
{
    timer_.stop();
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
}
