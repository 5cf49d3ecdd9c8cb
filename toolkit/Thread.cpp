#include "toolkit/Thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <exception>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

TThread::TThread() = default;

TThread::~TThread()
{
    if (thread_.joinable()) {
        if (thread_.get_id() == std::this_thread::get_id())
            thread_.detach();
        else
            thread_.join();
    }
}

void TThread::Start() { thread_ = std::thread([this] { Body(); }); }

void TThread::WaitFor()
{
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

void TThread::Body()
{
    // Above normal where the process may raise it (root); normal otherwise.
    if (Priority == TThreadPriority::tpHigher)
        setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), -2);
    try {
        Execute();
    } catch (...) {
        // An error that escapes the body ends the run; nothing is shown.
    }
    finished_.store(true);
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(
        app,
        [this] {
            Fire(OnTerminate, nullptr);
            if (FreeOnTerminate) {
                WaitFor();
                delete this;
            }
        },
        Qt::QueuedConnection);
}

void TThread::Synchronize(const std::function<void()>& step)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        step();
        return;
    }
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        app,
        [&] {
            try {
                step();
            } catch (...) {
                error = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (error)
        std::rethrow_exception(error);
}
