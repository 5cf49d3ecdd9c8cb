#include "core/uCmdLine.h"

#include "platform/Registry.h"

std::vector<std::string>& ParamList()
{
    static std::vector<std::string> params;
    return params;
}

bool FindCmdLineSwitch(const std::vector<std::string>& args, std::string_view name)
{
    for (const auto& a : args)
        if (a.size() >= 2 && (a[0] == '/' || a[0] == '-') &&
            platform::SameTextAscii(a.substr(1), std::string(name)))
            return true;
    return false;
}
