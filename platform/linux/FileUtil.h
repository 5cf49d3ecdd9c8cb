#pragma once
// File helpers of the Linux backend. Errors raise EOSError naming the path.

#include <string>
#include <sys/types.h>

namespace platform::linux_backend {

// Replaces path with content: written to a temporary file in the same folder,
// flushed to disk, then renamed over the target, so that a reader sees either
// the old or the new file, never a partial one.
void WriteFileAtomic(const std::string& path, const std::string& content, mode_t mode = 0600);
// Creates the folder and its missing parents (mode for the new ones).
void MakeDirs(const std::string& path, mode_t mode = 0700);
// Reads the whole file; false when it does not exist. Other errors raise.
bool ReadWholeFile(const std::string& path, std::string* content);
// Removes a file; false when it did not exist. Other errors raise.
bool RemoveFile(const std::string& path);
// The user's configuration folder ($XDG_CONFIG_HOME or ~/.config).
std::string ConfigHome();
[[noreturn]] void RaiseErrno(int err, const std::string& path);

} // namespace platform::linux_backend
