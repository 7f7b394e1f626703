// The UiWindow on a GTK 3 display. This is the only place that knows GTK.
#pragma once

#include <memory>
#include <string_view>

#include "platform/message_box.h"
#include "platform/ui_window.h"

namespace ZavorPlatform {

// The layout is GtkBuilder XML whose top-level window has the identifier
// "Fenster"; the CSS applies to the whole screen while the window lives.
// Returns nullptr without a display (neither DISPLAY nor WAYLAND_DISPLAY
// set, or GTK cannot open one). Throws UiLayoutError for a broken layout or
// style sheet.
std::unique_ptr<UiWindow> CreateGtkWindow(std::string_view layout, std::string_view css);

// A modal message dialog with one OK button. Returns false, showing nothing,
// when there is no display.
bool ShowGtkMessageDialog(const MessageBoxMessage &message);

}  // namespace ZavorPlatform
