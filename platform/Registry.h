#pragma once
// Typed registry: hives of keys holding named values of the Windows value
// types. One installed instance (Registry()); tests install their own.
// Key paths and value names compare without regard to ASCII letter case.
// Used on the main thread only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class Hive { CurrentUser, LocalMachine };

enum class RegType : uint32_t { None = 0, Sz = 1, ExpandSz = 2, Binary = 3, Dword = 4 };

// A value as stored. Sz and ExpandSz hold UTF-8 bytes without a terminator
// (they may contain zero bytes); Dword holds four little-endian bytes.
struct RegValue {
    RegType type = RegType::None;
    std::vector<uint8_t> data;

    static RegValue Dword(uint32_t v);
    static RegValue String(const std::string& s, RegType type = RegType::Sz);
    static RegValue Binary(std::vector<uint8_t> bytes);
    bool operator==(const RegValue&) const = default;
};

enum class RegAccess { Read, ReadWrite };

// An open key. Every change is stored durably before the call returns;
// a change that cannot be stored raises EOSError and leaves the store as it was.
class IRegKey {
public:
    virtual ~IRegKey() = default;
    // nullopt when the value does not exist.
    virtual std::optional<RegValue> QueryValue(const std::string& name) = 0;
    virtual void SetValue(const std::string& name, const RegValue& value) = 0;
    // false when the value did not exist.
    virtual bool DeleteValue(const std::string& name) = 0;
    virtual std::vector<std::string> ValueNames() = 0;
};

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // nullptr when the key does not exist (and create is false) or cannot be
    // opened with that access. Raises EOSError when the hive's stored file is
    // damaged; such a file is never rewritten.
    virtual std::unique_ptr<IRegKey> OpenKey(Hive hive, const std::string& path, RegAccess access,
                                             bool create) = 0;
};

IRegistry& Registry();
// Installs a replacement (tests); nullptr restores the platform's own.
void SetRegistry(IRegistry* registry);

// Normalised key path: separators collapsed, no leading or trailing backslash.
std::string NormalizeKeyPath(const std::string& path);
bool SameTextAscii(const std::string& a, const std::string& b);

} // namespace platform
