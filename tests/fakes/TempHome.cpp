#include "fakes/TempHome.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

TempHome::TempHome()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "vantorel-test-XXXXXX").string();
    path_ = mkdtemp(tmpl.data());
    if (const char* h = std::getenv("HOME")) { hadHome_ = true; oldHome_ = h; }
    if (const char* c = std::getenv("XDG_CONFIG_HOME")) { hadConfig_ = true; oldConfig_ = c; }
    setenv("HOME", path_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", Config().c_str(), 1);
}

TempHome::~TempHome()
{
    if (hadHome_) setenv("HOME", oldHome_.c_str(), 1); else unsetenv("HOME");
    if (hadConfig_) setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1); else unsetenv("XDG_CONFIG_HOME");
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string TempHome::Read(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void TempHome::Write(const std::string& file, const std::string& content)
{
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream(file, std::ios::binary) << content;
}

bool TempHome::Exists(const std::string& file) { return std::filesystem::exists(file); }
