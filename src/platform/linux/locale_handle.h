// A C library locale object read on the side (newlocale), so that the
// plug-in never changes the locale of its host process.
#pragma once

#include <locale.h>

namespace ZavorPlatform {

class LocaleHandle {
public:
    // Null inside when the locale is not installed; the empty name makes the
    // C library resolve LC_ALL, the category's variable and LANG itself.
    LocaleHandle(int categoryMask, const char *name) : handle_(newlocale(categoryMask, name, nullptr)) {}
    ~LocaleHandle() {
        if (handle_ != nullptr) freelocale(handle_);
    }
    LocaleHandle(const LocaleHandle &) = delete;
    LocaleHandle &operator=(const LocaleHandle &) = delete;
    locale_t Get() const { return handle_; }

private:
    locale_t handle_;
};

}  // namespace ZavorPlatform
