#pragma once
// Error classes shared by every layer. Errors are exceptions; the message is
// the text the user sees in the standard error box.

#include <cstdint>
#include <stdexcept>
#include <string>

// Base of the program's own errors.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// An operating-system call failed; carries the system error code.
class EOSError : public Exception {
public:
    EOSError(uint32_t code, const std::string& message);
    uint32_t ErrorCode() const { return code_; }

private:
    uint32_t code_;
};

// A file could not be created, read or written.
class EInOutError : public Exception {
public:
    EInOutError(int errorCode, const std::string& path);
    int ErrorCode() const { return code_; }

private:
    int code_;
};

// Raised for a failing system call with the system's message text, in the
// form "System Error.  Code: N.\n<text>".
[[noreturn]] void RaiseLastOSError(uint32_t code);

// The system's message text for an error code.
std::string SysErrorMessage(uint32_t code);

namespace platform {
// System error codes the program tests for.
constexpr uint32_t kErrorSuccess = 0;
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidData = 13;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorInsufficientBuffer = 122;
constexpr uint32_t kErrorMoreData = 234;
constexpr uint32_t kErrorNoToken = 1008;
constexpr uint32_t kErrorBadRegistryFile = 1009;
} // namespace platform
