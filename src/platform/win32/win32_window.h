// The UiWindow as a plain Win32 window, built from the same layout text and
// style sheet as the GTK one: GtkBuilder objects become Win32 controls,
// boxes and grids become positions. This is the only place that knows the
// Win32 controls.
#pragma once

#include <memory>
#include <string_view>

#include "platform/ui_window.h"

namespace ZavorPlatform {

// Owned by the host's window (QnD_SetWindow) when there is one, which is
// disabled while the window runs. Returns nullptr when the process has no
// desktop to show a window on. Throws UiLayoutError for a broken layout.
std::unique_ptr<UiWindow> CreateWin32Window(std::string_view layout, std::string_view css);

}  // namespace ZavorPlatform
