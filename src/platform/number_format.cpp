#include "platform/number_format.h"

#include <langinfo.h>
#include <locale.h>

namespace ZavorPlatform {
namespace {

class NumericLocale {
public:
    // The empty name makes the C library resolve LC_ALL, LC_NUMERIC and LANG
    // itself, without touching the locale of the process.
    NumericLocale() : handle_(newlocale(LC_NUMERIC_MASK, "", nullptr)) {}
    ~NumericLocale() {
        if (handle_ != nullptr)
            freelocale(handle_);
    }
    NumericLocale(const NumericLocale &) = delete;
    NumericLocale &operator=(const NumericLocale &) = delete;
    locale_t Get() const { return handle_; }

private:
    locale_t handle_;
};

}  // namespace

char16_t UserDecimalSeparator() {
    // Read anew each time: the host may change its environment between two
    // scripts, and a lookup costs little next to drawing a figure.
    NumericLocale locale;
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
