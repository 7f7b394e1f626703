// Texts crossing the host boundary: zero-terminated strings in the host's
// ANSI code page (Windows-1252) on one side, the plug-in's Unicode strings
// on the other.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ZavorPlugin {

// A null pointer reads as the empty text.
std::u16string FromAnsi(const char *text);

// Converts the text and copies it with its terminating zero. The host passes
// no buffer size and must have room for the whole answer; a null buffer gets
// nothing. Returns the number of bytes before the terminating zero.
std::size_t WriteAnsi(char *buffer, std::u16string_view text);

}  // namespace ZavorPlugin
