#pragma once
// A timer that raises OnTimer every Interval milliseconds while Enabled.
// Enabled from creation, like a designed timer. Main thread only.

#include "toolkit/Guard.h"

#include <QObject>
#include <QTimer>

class TTimer : public QObject {
public:
    explicit TTimer(QObject* owner, int interval = 1000, bool enabled = true);

    int Interval() const { return interval_; }
    void SetInterval(int ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    TNotifyEvent OnTimer;

private:
    void Restart();

    QTimer timer_;
    int interval_;
    bool enabled_;
};
