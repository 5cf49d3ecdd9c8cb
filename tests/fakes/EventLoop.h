#pragma once
// Runs the Qt event loop until done() holds or the time limit has passed;
// returns done().

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

inline bool PumpUntil(const std::function<bool()>& done, int limitMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}
