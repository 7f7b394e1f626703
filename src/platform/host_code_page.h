// The "ANSI" code page in which the host hands texts to the plug-in and
// takes them back. On Windows it is the system's ANSI code page (on German
// Windows Windows-1252); on Linux, which has no such setting, Windows-1252
// itself. PDF's own encodings never go through here: they are fixed
// whatever the system (code_page.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ZavorPlatform {

std::u16string HostAnsiToUnicode(std::string_view bytes);

// A character the code page lacks becomes its closest look-alike in the
// code page, or "?" where there is none.
std::string UnicodeToHostAnsi(std::u16string_view text);
// The same for a UTF-8 text (the host's scripts).
std::string Utf8ToHostAnsi(std::string_view utf8);

// The longest start of `bytes`, at most `limit` bytes, that ends on a whole
// character: a host buffer cut short must not end in the first half of a
// double-byte character (Windows' East Asian code pages).
std::size_t HostAnsiCut(std::string_view bytes, std::size_t limit);

}  // namespace ZavorPlatform
