#pragma once
// A temporary home folder for one test: HOME and XDG_CONFIG_HOME point into
// it while the object lives; the folder is removed afterwards.

#include <string>

class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& Path() const { return path_; }
    std::string Config() const { return path_ + "/.config"; }
    std::string HiveFile() const { return Config() + "/vantorel/HKEY_CURRENT_USER.reg"; }
    std::string AutostartFile() const { return Config() + "/autostart/Vantorel.desktop"; }

    static std::string Read(const std::string& file);
    static void Write(const std::string& file, const std::string& content);
    static bool Exists(const std::string& file);

private:
    std::string path_;
    std::string oldHome_, oldConfig_;
    bool hadHome_ = false, hadConfig_ = false;
};
