#include "platform/ui_window.h"
#include "platform/win32/win32_window.h"

namespace ZavorPlatform {

std::unique_ptr<UiWindow> CreateSystemWindow(std::string_view layout, std::string_view css) {
    return CreateWin32Window(layout, css);
}

}  // namespace ZavorPlatform
