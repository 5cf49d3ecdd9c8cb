#pragma once
// Command-line switches: an argument whose first character is '/' or '-' and
// whose remainder equals the switch name without regard to letter case.

#include <string>
#include <string_view>
#include <vector>

// The program's arguments without the program name, set once by main.
std::vector<std::string>& ParamList();

bool FindCmdLineSwitch(const std::vector<std::string>& args, std::string_view name);
inline bool FindCmdLineSwitch(std::string_view name) { return FindCmdLineSwitch(ParamList(), name); }
