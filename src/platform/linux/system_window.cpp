#include "platform/linux/gtk_module.h"
#include "platform/ui_window.h"

namespace ZavorPlatform {

std::unique_ptr<UiWindow> CreateSystemWindow(std::string_view layout, std::string_view css) {
    return CreateModuleWindow(layout, css);
}

}  // namespace ZavorPlatform
