// The worker thread: Synchronize, Terminated, and OnTerminate on the main
// thread after Execute, also after an error, with FreeOnTerminate.

#include "toolkit/Thread.h"
#include "fakes/EventLoop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

namespace {

struct Worker : TThread {
    std::function<void(Worker&)> body;
    bool* destroyed = nullptr;
    ~Worker() override
    {
        if (destroyed)
            *destroyed = true;
    }
    void Execute() override { body(*this); }
    using TThread::Synchronize;
};


} // namespace

TEST(Thread, SynchronizeRunsOnTheMainThreadAndCompletionFollowsExecute)
{
    struct Case {
        const char* what;
        bool throws;
    };
    for (const Case c : {Case{"normal end", false}, Case{"an error escapes Execute", true}}) {
        SCOPED_TRACE(c.what);
        bool destroyed = false, completed = false, stepOnMain = false, afterStep = false;
        QThread* completedOn = nullptr;
        auto* w = new Worker;
        w->destroyed = &destroyed;
        w->FreeOnTerminate = true;
        w->body = [&](Worker& self) {
            self.Synchronize([&] { stepOnMain = QThread::currentThread() == qApp->thread(); });
            afterStep = true;
            if (c.throws)
                throw std::runtime_error("lost drive");
        };
        w->OnTerminate = [&](QObject*) {
            completed = afterStep;
            completedOn = QThread::currentThread();
        };
        w->Start();
        EXPECT_TRUE(PumpUntil([&] { return destroyed; }));
        EXPECT_TRUE(stepOnMain);
        EXPECT_TRUE(completed) << "the completion handler runs after Execute returned";
        EXPECT_EQ(completedOn, qApp->thread());
    }
}

TEST(Thread, TerminateOnlyAsksTheBodyToStop)
{
    bool destroyed = false;
    std::atomic<int> loops{0};
    auto* w = new Worker;
    w->destroyed = &destroyed;
    w->FreeOnTerminate = true;
    w->body = [&](Worker& self) {
        while (!self.Terminated())
            ++loops, std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    w->Start();
    PumpUntil([&] { return loops > 3; });
    w->Terminate(); // returns at once
    EXPECT_TRUE(PumpUntil([&] { return destroyed; }));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
