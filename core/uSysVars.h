#pragma once
// Folders and the executable found at start-up; held by the main window.
// Every folder ends with the directory separator.

#include <string>

struct TSysVars {
    std::string TempDir;
    std::string WinRootDir;
    std::string WinSysDir;
    std::string ExeDir;
    std::string ExeName;
};
