#pragma once
// SIGTERM, SIGINT and SIGHUP are this platform's "the session is ending":
// each runs onSignal on the main thread, from the message loop.

#include <functional>

void InstallTerminationSignals(std::function<void()> onSignal);
