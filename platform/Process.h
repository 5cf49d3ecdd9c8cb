#pragma once
// Starting other programs. One installed instance (Processes()); tests
// install their own. Any thread may call it.

#include <string>

namespace platform {

class IProcesses {
public:
    virtual ~IProcesses() = default;
    // Starts the program `file` with `parameters` (split at blanks) in the
    // folder `folder`. `elevated` asks for administrator rights; `wait`
    // returns only once the program has ended. False when it could not be
    // started (no such file, not executable, elevation declined).
    virtual bool Start(const std::string& file, const std::string& parameters, const std::string& folder,
                       bool elevated, bool wait) = 0;
};

IProcesses& Processes();
void SetProcesses(IProcesses* processes);

} // namespace platform
