#pragma once
// Texts at the engine's boundary: UTF-16 from a path's bytes (invalid
// sequences become U+FFFD), a path's bytes from UTF-16 (U+DC80..U+DCFF
// stand for the raw bytes 0x80..0xFF, so any byte string can be handed in),
// and the message patterns' printf-like formatting.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace vtengine {

std::u16string Utf16FromBytes(const std::string& bytes);
std::string BytesFromUtf16(const char16_t* text);
std::string Utf8FromUtf16(const std::u16string& text);
// The same for an engine text; an empty string for null.
std::string Utf8FromUtf16(const char16_t* text);

using MessageArg = std::variant<int64_t, uint64_t, std::u16string>;

// Fills %s, %d, %u, %I64d and %I64u of a pattern in order; "%%" is one
// "%"; anything else is copied as it stands. Missing arguments leave the
// specifier in place.
std::u16string FormatMessage(const char16_t* pattern, const std::vector<MessageArg>& args);

} // namespace vtengine
