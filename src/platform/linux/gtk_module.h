// The GTK window and message dialog, from libzavor_gtk.so next to the
// plug-in (or to the program that holds this code), loaded the first time
// one is to be shown on a display. GTK and the forty libraries it brings
// cost every script more time at start than writing a hundred pages; most
// scripts never show a window.
#pragma once

#include <memory>
#include <string_view>

#include "platform/message_box.h"
#include "platform/ui_window.h"

namespace ZavorPlatform {

// As CreateGtkWindow: null without a display, and also when the module
// cannot be loaded.
std::unique_ptr<UiWindow> CreateModuleWindow(std::string_view layout, std::string_view css);
// As ShowGtkMessageDialog: false, showing nothing, without a display or
// without the module.
bool ShowModuleMessageDialog(const MessageBoxMessage &message);

}  // namespace ZavorPlatform
