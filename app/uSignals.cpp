#include "app/uSignals.h"

#include "toolkit/Guard.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
int gPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char b = 1;
    ssize_t r = write(gPipe[1], &b, 1);
    (void)r;
}
} // namespace

void InstallTerminationSignals(std::function<void()> onSignal)
{
    if (gPipe[0] < 0) {
        if (pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
    }
    auto* notifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onSignal] {
        char buf[64];
        while (read(gPipe[0], buf, sizeof buf) > 0) {
        }
        Guarded([&] { onSignal(); });
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        sigaction(s, &sa, nullptr);
}
