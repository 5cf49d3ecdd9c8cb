#pragma once
// Small text splitters used by the backends' file parsers.

#include <string>
#include <vector>

namespace platform {

// The lines of a text, without their '\n' (a last line without one counts).
std::vector<std::string> SplitLines(const std::string& text);
// The words of a text separated by runs of blanks; no empty words.
std::vector<std::string> SplitWords(const std::string& text);

} // namespace platform
