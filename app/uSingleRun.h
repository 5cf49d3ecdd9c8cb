#pragma once
// The single-instance guard: publishes this instance's window under the
// executable's file name and finds an instance published earlier, which a
// second start brings forward and signals through a file in the temporary
// folder. Main thread only.

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

// The show signal: "show" + the receiver's title + ".dat" in tempDir (which
// ends with a separator). Its existence asks the receiver to show itself.
std::string ShowSignalPath(const std::string& tempDir, const std::string& title);
// Creates the signal empty; raises EInOutError when it cannot.
void WriteShowSignal(const std::string& tempDir, const std::string& title);
