// Whole-field integer reading, as records and variables use it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ZavorPlugin {

// Blank, tab, line feed, vertical tab, form feed, carriage return.
bool IsWhiteSpace(char16_t character);
std::u16string_view TrimWhiteSpace(std::u16string_view text);

// The whole text must be a 32-bit signed decimal integer: white space around
// it and one leading "+" or "-" are allowed, nothing else. Empty text, other
// characters and values outside the 32-bit range give nothing.
std::optional<std::int32_t> TryParseStrictInteger(std::u16string_view text);

}  // namespace ZavorPlugin
