#pragma once
// The single-instance guard: publishes this instance under the executable's
// file name and finds an instance published earlier. Main thread only.

#include <cstdint>
#include <string>

class TSingleRun {
public:
    explicit TSingleRun(const std::string& name);
    ~TSingleRun();

    // True when another instance runs and was brought forward.
    bool ActivateRunningInstance();
    void RegisterInstance(uint64_t mainWindow);
    void UnregisterInstance();

    const std::string& Name() const { return name_; }
    bool Registered() const { return registered_; }

private:
    intptr_t mapping_ = 0;
    std::string name_;
    bool registered_ = false;
};

extern TSingleRun* SingleRun;
