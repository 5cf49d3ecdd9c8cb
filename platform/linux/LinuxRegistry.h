#pragma once
// The Linux registry: each hive is one ".reg" text file, re-read whenever a
// key is opened and replaced atomically on every change.
//   HKEY_CURRENT_USER  -> <config>/vantorel/HKEY_CURRENT_USER.reg
//   HKEY_LOCAL_MACHINE -> /etc/vantorel/HKEY_LOCAL_MACHINE.reg, read only
// The current user's key Software\Microsoft\Windows\CurrentVersion\Run is
// the XDG autostart folder: value NAME is <config>/autostart/NAME.desktop,
// whose Exec= line runs the value, so autostart works on a Linux desktop.
// <config> is $XDG_CONFIG_HOME or ~/.config, looked up at each call.

#include "platform/Registry.h"

namespace platform::linux_backend {

class LinuxRegistry : public IRegistry {
public:
    std::unique_ptr<IRegKey> OpenKey(Hive hive, const std::string& path, RegAccess access,
                                     bool create) override;

    static std::string HiveFile(Hive hive);
    static std::string AutostartDir();
};

// The Exec= text of a desktop entry that runs a command line given as one
// text (program path, a blank, arguments), with the desktop-entry quoting.
std::string DesktopExecLine(const std::string& commandLine);

} // namespace platform::linux_backend
