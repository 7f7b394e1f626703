#include "platform/linux/gtk_module.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

namespace ZavorPlatform {
namespace {

using CreateWindowFunction = UiWindow *(*)(std::string_view, std::string_view);
using ShowDialogFunction = bool (*)(const MessageBoxMessage &);

struct GtkModule {
    CreateWindowFunction createWindow = nullptr;
    ShowDialogFunction showDialog = nullptr;
};

// Without a display GTK shows nothing anyway: the module is not loaded.
bool HasDisplayVariable() {
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char *value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

GtkModule Load() {
    GtkModule module;
    Dl_info self{};
    if (dladdr(reinterpret_cast<void *>(&Load), &self) == 0 || self.dli_fname == nullptr) return module;
    std::filesystem::path path = std::filesystem::path(self.dli_fname).parent_path() / "libzavor_gtk.so";
    // RTLD_NODELETE: GTK keeps threads and handlers that outlive any unload.
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr) return module;
    auto createWindow = reinterpret_cast<CreateWindowFunction>(dlsym(handle, "ZavorGtkCreateWindow"));
    auto showDialog = reinterpret_cast<ShowDialogFunction>(dlsym(handle, "ZavorGtkShowMessageDialog"));
    if (createWindow != nullptr && showDialog != nullptr) module = {createWindow, showDialog};
    return module;
}

// Loaded once; a module that cannot be loaded stays missing.
const GtkModule &Module() {
    static const GtkModule module = Load();
    return module;
}

}  // namespace

std::unique_ptr<UiWindow> CreateModuleWindow(std::string_view layout, std::string_view css) {
    if (!HasDisplayVariable() || Module().createWindow == nullptr) return nullptr;
    return std::unique_ptr<UiWindow>(Module().createWindow(layout, css));
}

bool ShowModuleMessageDialog(const MessageBoxMessage &message) {
    if (!HasDisplayVariable() || Module().showDialog == nullptr) return false;
    return Module().showDialog(message);
}

}  // namespace ZavorPlatform
