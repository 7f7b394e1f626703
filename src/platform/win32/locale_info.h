// One piece of information about a Windows locale (GetLocaleInfoEx).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace ZavorPlatform {

// Nothing when the locale is unknown or has no such information. The name
// is a locale name ("de-DE") or LOCALE_NAME_USER_DEFAULT.
inline std::optional<std::wstring> LocaleInfo(const wchar_t *locale, LCTYPE type) {
    int size = GetLocaleInfoEx(locale, type, nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::wstring value(static_cast<std::size_t>(size), L'\0');
    size = GetLocaleInfoEx(locale, type, value.data(), size);
    if (size <= 0) return std::nullopt;
    value.resize(static_cast<std::size_t>(size - 1));  // without the terminating zero
    return value;
}

}  // namespace ZavorPlatform
