// The entry points of libzavor_gtk.so, which the plug-in loads the first
// time a window or dialog is to be shown on a display (gtk_module.h).
#include <string_view>

#include "platform/linux/gtk/gtk_window.h"

#define ZAVOR_GTK_EXPORT extern "C" __attribute__((visibility("default")))

// The caller owns the window; null without a display. Failures are thrown
// as by CreateGtkWindow: the module and the plug-in share one C++ runtime.
ZAVOR_GTK_EXPORT ZavorPlatform::UiWindow *ZavorGtkCreateWindow(std::string_view layout, std::string_view css) {
    return ZavorPlatform::CreateGtkWindow(layout, css).release();
}

ZAVOR_GTK_EXPORT bool ZavorGtkShowMessageDialog(const ZavorPlatform::MessageBoxMessage &message) {
    return ZavorPlatform::ShowGtkMessageDialog(message);
}
