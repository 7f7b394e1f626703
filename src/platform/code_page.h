// The "ANSI" code page of the host boundary and of PDF's WinAnsiEncoding:
// Windows-1252, with our own table.
#pragma once

#include <string>
#include <string_view>

namespace ZavorPlatform {

// Each byte becomes one UTF-16 code unit. The five bytes that Windows-1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of
// the same value, as Windows does.
std::u16string Windows1252ToUnicode(std::string_view bytes);

// Each code unit becomes one byte. A character the code page lacks becomes
// its closest look-alike in the code page (a letter without its accent, a
// straight quotation mark ...), or "?" where there is none. A surrogate pair
// stands for one character and gives one byte.
std::string UnicodeToWindows1252(std::u16string_view text);
// The same bytes, appended to `bytes`: for callers that convert many short
// texts into one buffer.
void AppendUnicodeToWindows1252(std::u16string_view text, std::string &bytes);

// A code unit that the code page holds at its own value (ASCII and the
// Latin-1 letters): most text is nothing else, and needs no conversion.
constexpr bool IsWindows1252AsIs(char16_t unit) { return unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF); }

// The byte for one character, or nothing when the code page lacks it
// (no best-fit fallback).
bool TryUnicodeToWindows1252(char32_t character, unsigned char &byte);
// The byte for one character, with the look-alike or "?" as above.
unsigned char Windows1252ByteOf(char32_t character);

// UTF-8 <-> UTF-16, for texts that come from the system (file names, fonts).
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
// How many bytes from `from` on are ASCII: texts are mostly ASCII, which
// every conversion and check copies or skips in runs.
std::size_t AsciiRunLength(std::string_view text, std::size_t from);

// UTF-8 straight to the code page: the same bytes as UnicodeToWindows1252
// of Utf8ToUtf16, without the text in between.
std::string Utf8ToWindows1252(std::string_view utf8);

}  // namespace ZavorPlatform
