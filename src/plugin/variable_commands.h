// Plug-in variables that a script sets and reads by name. The exports call
// these only once a plug-in command has run (the guard lives in the exports).
#pragma once

#include <cstdint>
#include <string_view>

namespace ZavorPlugin {

// A script sets a variable. Returns 1, also for a name nobody knows.
std::int32_t SetVariable(std::u16string_view name, std::u16string_view value);

// A script reads a variable; the value goes into the host's buffer as ANSI
// text. Returns the number of bytes written before the terminating zero, or
// 0 when nothing is available (and nothing was written).
std::int32_t ReadVariable(std::u16string_view name, std::u16string_view argument, char *result);

}  // namespace ZavorPlugin
