// Texts crossing the host boundary: zero-terminated strings in the host's
// ANSI code page (host_code_page.h) on one side, the plug-in's Unicode strings
// on the other.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ZavorPlugin {

// A null pointer reads as the empty text.
std::u16string FromAnsi(const char *text);

// The text in the host's code page as the host may receive it. The host
// reads up to the first zero byte, so a NUL inside a text (pdfTeX's math
// fonts put the minus sign at code 0) would silently end it there; every
// C0 control but tab, CR and LF becomes a blank, which keeps the length.
std::string ToAnsi(std::u16string_view text);

// Converts the text with ToAnsi and copies it with its terminating zero.
// The host passes no buffer size and must have room for the whole answer;
// a null buffer gets nothing. Returns the number of bytes before the
// terminating zero.
std::size_t WriteAnsi(char *buffer, std::u16string_view text);

// The same, but never more than `capacity` bytes including the terminating
// zero: a longer text is cut after at most capacity - 1 bytes, never inside
// a character of the code page. A capacity of 0 writes nothing.
std::size_t WriteAnsi(char *buffer, std::u16string_view text, std::size_t capacity);

}  // namespace ZavorPlugin
