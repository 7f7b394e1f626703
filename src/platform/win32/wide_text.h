// Windows' wide strings are UTF-16, like the plug-in's own texts: the two
// only differ in the C++ type of their code units.
#pragma once

#include <string>
#include <string_view>

namespace ZavorPlatform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t holds UTF-16");

inline std::wstring ToWindowsText(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

inline std::u16string FromWindowsText(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

}  // namespace ZavorPlatform
