#include "core/uVersionInfo.h"

#include "platform/SystemInfo.h"

TVersionInfo::TVersionInfo(const std::string& fileName) : FileName(fileName) { Load(); }

void TVersionInfo::Load()
{
    Valid = false;
    data_.clear();
    size_ = platform::GetFileVersionInfoSize(FileName, &handle_);
    if (size_ == 0)
        return;
    data_.assign(size_, 0);
    Valid = platform::GetFileVersionInfo(FileName, handle_, size_, data_.data());
}

const platform::VsFixedFileInfo* TVersionInfo::FixedInfo() const
{
    if (!Valid)
        return nullptr;
    const void* p = nullptr;
    uint32_t len = 0;
    if (!platform::VerQueryValue(data_.data(), u"\\", &p, &len))
        return nullptr;
    return static_cast<const platform::VsFixedFileInfo*>(p);
}

void TVersionInfo::GetProductVersion(TVersionNumber& v) const
{
    v = TVersionNumber{};
    const platform::VsFixedFileInfo* f = FixedInfo();
    if (!f)
        return;
    v.Major = uint16_t(f->dwProductVersionMS >> 16);
    v.Minor = uint16_t(f->dwProductVersionMS & 0xFFFF);
    v.Release = uint16_t(f->dwProductVersionLS >> 16);
    v.Build = uint16_t(f->dwProductVersionLS & 0xFFFF);
    v.Flags = uint16_t(f->dwFileFlags & 0xFFFF);
}

std::unique_ptr<TVersionInfo> GetAppVersionInfo()
{
    return std::make_unique<TVersionInfo>(platform::System().ExecutablePath());
}

std::string VersionText(const TVersionNumber& v)
{
    return std::to_string(v.Major) + "." + std::to_string(v.Minor) + " build " +
           std::to_string(v.Build);
}
