#pragma once
// Files and folders for the layers above the platform. Errors raise
// EOSError naming the path.

#include <string>

namespace platform {

// An existing regular file (links followed).
bool IsFile(const std::string& path);
// An existing folder (links followed).
bool IsFolder(const std::string& path);
// Replaces path with content: written beside it, flushed to disk and renamed
// over it, so that nobody ever sees a partial file. `mode` is the new file's
// permission bits.
void WriteFileAtomic(const std::string& path, const std::string& content, unsigned mode);
// False when there was no such file.
bool RemoveFile(const std::string& path);

} // namespace platform
