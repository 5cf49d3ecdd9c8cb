#pragma once
// Version resources: a fixed version block embedded in an executable file,
// read back from the file. Modelled on GetFileVersionInfoSize,
// GetFileVersionInfo and VerQueryValue.

#include <cstdint>
#include <string>

namespace platform {

struct VsFixedFileInfo {
    uint32_t dwSignature;        // 0xFEEF04BD
    uint32_t dwStrucVersion;
    uint32_t dwFileVersionMS;
    uint32_t dwFileVersionLS;
    uint32_t dwProductVersionMS;
    uint32_t dwProductVersionLS;
    uint32_t dwFileFlagsMask;
    uint32_t dwFileFlags;
    uint32_t dwFileOS;
    uint32_t dwFileType;
    uint32_t dwFileSubtype;
    uint32_t dwFileDateMS;
    uint32_t dwFileDateLS;
};
constexpr uint32_t kVsFixedFileInfoSignature = 0xFEEF04BD;

// Size of the version block in the file, 0 when it has none. *handle is set
// to 0 (kept for the calls' shape).
uint32_t GetFileVersionInfoSize(const std::string& fileName, uint32_t* handle);
// Copies the block into data (size bytes); false when it cannot be read.
bool GetFileVersionInfo(const std::string& fileName, uint32_t handle, uint32_t size, void* data);
// Finds a sub-block; "\\" is the fixed information. false when absent.
bool VerQueryValue(const void* block, const std::u16string& subBlock, const void** buffer,
                   uint32_t* length);

} // namespace platform
