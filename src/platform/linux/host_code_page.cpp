#include "platform/host_code_page.h"

#include <algorithm>

#include "platform/code_page.h"

namespace ZavorPlatform {

// A Linux host has no system code page to follow; the plug-in's host protocol
// is that of German Windows.
std::u16string HostAnsiToUnicode(std::string_view bytes) { return Windows1252ToUnicode(bytes); }

std::string UnicodeToHostAnsi(std::u16string_view text) { return UnicodeToWindows1252(text); }

std::string Utf8ToHostAnsi(std::string_view utf8) { return Utf8ToWindows1252(utf8); }

// One byte is one character in Windows-1252.
std::size_t HostAnsiCut(std::string_view bytes, std::size_t limit) { return std::min(bytes.size(), limit); }

}  // namespace ZavorPlatform
