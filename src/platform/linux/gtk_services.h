// The GTK window and message dialog live in a module of their own,
// libzavor_gtk.so beside the plug-in, loaded the first time one is shown:
// a run without a display, the common case, never maps GTK and the sixty
// libraries it brings, which took a quarter of the plug-in's start-up.
#pragma once

#include <memory>
#include <string_view>

#include "platform/message_box.h"
#include "platform/ui_window.h"

namespace ZavorPlatform {

struct GtkServices {
    // The same as CreateGtkWindow and ShowGtkMessageDialog, once a display is known to be named.
    std::unique_ptr<UiWindow> (*createWindow)(std::string_view layout, std::string_view css);
    bool (*showMessageDialog)(const MessageBoxMessage &message);
};

inline constexpr const char *GtkModuleFileName = "libzavor_gtk.so";
inline constexpr const char *GtkServicesSymbol = "ZavorGtkServices";
using GtkServicesEntry = const GtkServices *(*)();

}  // namespace ZavorPlatform
