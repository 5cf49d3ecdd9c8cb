#pragma once
// The registry's text form: the ".reg" format of the Windows registry editor
// ("Windows Registry Editor Version 5.00", one [key] section per key, then
// "name"=value lines), kept in UTF-8. Strings that cannot be written between
// quotes (control characters, bytes that are not UTF-8) are written as
// hex(1): of their UTF-8 bytes; REG_EXPAND_SZ as hex(2):, REG_BINARY as hex:.

#include "platform/Registry.h"

#include <string>
#include <utility>
#include <vector>

namespace platform {

struct RegFileKey {
    std::string path; // without the hive name
    std::vector<std::pair<std::string, RegValue>> values;
};

struct RegFileContents {
    std::vector<RegFileKey> keys;

    RegFileKey* Find(const std::string& path);
    // True when the key or one below it exists.
    bool KeyExists(const std::string& path) const;
};

// hiveName is e.g. "HKEY_CURRENT_USER"; sections of other hives are refused.
// Raises EOSError(kErrorBadRegistryFile) naming the line on malformed text.
RegFileContents ParseRegFile(const std::string& text, const std::string& hiveName,
                             const std::string& fileName);
std::string FormatRegFile(const RegFileContents& contents, const std::string& hiveName);

} // namespace platform
