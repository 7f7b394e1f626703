#include "platform/number_format.h"

#include "platform/win32/locale_info.h"

namespace ZavorPlatform {

char16_t UserDecimalSeparator() {
    // Read anew each time: the user may change the setting while the host
    // runs, and a lookup costs little next to drawing a figure.
    auto point = LocaleInfo(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL);
    if (!point || point->size() != 1) return u'.';
    wchar_t character = (*point)[0];
    if (character < 0x21 || character > 0x7E) return u'.';
    return static_cast<char16_t>(character);
}

}  // namespace ZavorPlatform
