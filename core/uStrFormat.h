#pragma once
// The program's printf-like formatter: %d (integers up to 64 bits), %u,
// %s, %f with a precision (%.2f, %.4f) and the locale's decimal separator,
// widths and left alignment (%9d, %-12s), and %% for a percent sign. A
// directive without a matching argument, or of another kind, is copied as
// it stands.

#include "core/uFormat.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

using TFormatArg = std::variant<int64_t, uint64_t, double, std::string>;

std::string Format(const std::string& pattern, const std::vector<TFormatArg>& args,
                   const TFormatSettings& fs = TFormatSettings::System());
