// The host's script texts are UTF-8; everything that crosses into the
// plug-in is in the system's ANSI code page (Windows-1252 on Linux and on
// German Windows), the one the plug-in reads. These helpers sit at that
// border.
#pragma once

#include <string>
#include <string_view>

namespace ZavorHost {

// A character the code page lacks becomes its closest look-alike, or "?",
// as the Windows ANSI conversion of the Vornix host does.
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

}  // namespace ZavorHost
