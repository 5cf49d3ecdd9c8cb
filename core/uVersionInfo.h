#pragma once
// Reader of a file's version resource, and the text the about window shows.

#include "platform/Version.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TVersionNumber {
    uint16_t Minor = 0;
    uint16_t Major = 0;
    uint16_t Build = 0;
    uint16_t Release = 0;
    uint16_t Flags = 0;
};

// Owns a copy of the resource data; reloading replaces it.
class TVersionInfo {
public:
    explicit TVersionInfo(const std::string& fileName);

    std::string FileName;
    bool Valid = false;

    // The fixed block, or nullptr when not Valid.
    const platform::VsFixedFileInfo* FixedInfo() const;
    // Zeroes when there is no fixed block.
    void GetProductVersion(TVersionNumber& version) const;

private:
    void Load();

    std::vector<uint8_t> data_;
    uint32_t size_ = 0;
    uint32_t handle_ = 0;
};

std::unique_ptr<TVersionInfo> GetAppVersionInfo();
// "7.0 build 22" for product version 7.0.0.22.
std::string VersionText(const TVersionNumber& version);
