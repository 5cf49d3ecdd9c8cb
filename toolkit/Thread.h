#pragma once
// A worker thread in the manner the program's workers expect: created
// suspended and started with Start(); Terminate() only sets Terminated,
// which Execute polls; Synchronize runs a step on the main thread while the
// worker waits; OnTerminate runs on the main thread after Execute has
// returned (also after it threw), and with FreeOnTerminate the object then
// deletes itself. Needs a running Qt application for the main-thread calls.

#include "toolkit/Guard.h"

#include <atomic>
#include <functional>
#include <thread>

enum class TThreadPriority { tpNormal, tpHigher };

class TThread {
public:
    TThread();
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    void Terminate() { terminated_.store(true); }
    bool Terminated() const { return terminated_.load(); }
    bool FreeOnTerminate = false;
    TThreadPriority Priority = TThreadPriority::tpNormal;
    TNotifyEvent OnTerminate;
    // Waits for Execute to return (not for OnTerminate).
    void WaitFor();

protected:
    virtual void Execute() = 0;
    // Runs step on the main thread and waits for it; exceptions of the step
    // come back to the caller.
    void Synchronize(const std::function<void()>& step);

private:
    void Body();

    std::thread thread_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
};
