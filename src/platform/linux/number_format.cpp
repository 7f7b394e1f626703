#include "platform/number_format.h"

#include <langinfo.h>

#include "platform/linux/locale_handle.h"

namespace ZavorPlatform {

char16_t UserDecimalSeparator() {
    // Read anew each time: the host may change its environment between two
    // scripts, and a lookup costs little next to drawing a figure.
    LocaleHandle locale(LC_NUMERIC_MASK, "");
    if (locale.Get() == nullptr)
        return u'.';
    const char *point = nl_langinfo_l(RADIXCHAR, locale.Get());
    if (point == nullptr || point[0] == '\0' || point[1] != '\0')
        return u'.';
    auto byte = static_cast<unsigned char>(point[0]);
    if (byte < 0x21 || byte > 0x7E)
        return u'.';
    return static_cast<char16_t>(byte);
}

}  // namespace ZavorPlatform
