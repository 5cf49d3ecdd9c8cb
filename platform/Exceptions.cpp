#include "platform/Exceptions.h"

#include <cstring>

EOSError::EOSError(uint32_t code, const std::string& message) : Exception(message), code_(code) {}

std::string SysErrorMessage(uint32_t code)
{
    using namespace platform;
    switch (code) {
    case kErrorSuccess: return "The operation completed successfully.";
    case kErrorFileNotFound: return "The system cannot find the file specified.";
    case kErrorAccessDenied: return "Access is denied.";
    case kErrorInvalidData: return "The data is invalid.";
    case kErrorInvalidParameter: return "The parameter is incorrect.";
    case kErrorInsufficientBuffer: return "The data area passed to a system call is too small.";
    case kErrorMoreData: return "More data is available.";
    case kErrorNoToken: return "An attempt was made to reference a token that does not exist.";
    case kErrorBadRegistryFile: return "The configuration registry database is corrupt.";
    default: return "Unknown error (" + std::to_string(code) + ").";
    }
}

void RaiseLastOSError(uint32_t code)
{
    throw EOSError(code, "System Error.  Code: " + std::to_string(code) + ".\n" +
                             SysErrorMessage(code));
}

EInOutError::EInOutError(int errorCode, const std::string& path)
    : Exception("I/O error " + std::to_string(errorCode) + ": " + std::strerror(errorCode) + ": " + path),
      code_(errorCode)
{
}
