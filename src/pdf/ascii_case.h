// Case-insensitive comparison of the engine's ASCII keywords (size names,
// colour names, "true"). Only A-Z fold: the result must not depend on the
// process locale, which std::tolower consults.
#pragma once

#include <algorithm>
#include <string_view>

namespace ZavorPdf {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace ZavorPdf
