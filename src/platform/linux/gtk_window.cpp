#include "platform/linux/gtk_window.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/linux/gtk_services.h"

namespace ZavorPlatform {
namespace {

bool HasDisplayVariable() {
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char *value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

// The folder of the file this code was loaded from: the plug-in, or a
// program that has the platform code built in.
std::filesystem::path OwnFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void *>(&HasDisplayVariable), &info) != 0 && info.dli_fname != nullptr &&
        std::string(info.dli_fname).find('/') != std::string::npos)
        return std::filesystem::path(info.dli_fname).parent_path();
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
}

// Loaded once and kept for the life of the process: its windows' code must
// outlive them, and GTK cannot be initialised twice anyway. Null when the
// module is missing, which leaves the plug-in as it is without a display.
const GtkServices *Services() {
    static const GtkServices *const services = []() -> const GtkServices * {
        std::filesystem::path path = OwnFolder() / GtkModuleFileName;
        void *module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            const char *reason = dlerror();
            std::fprintf(stderr, "[ZQ-PDF] no window can be shown: %s\n", reason != nullptr ? reason : path.c_str());
            return nullptr;
        }
        auto entry = reinterpret_cast<GtkServicesEntry>(dlsym(module, GtkServicesSymbol));
        return entry != nullptr ? entry() : nullptr;
    }();
    return services;
}

}  // namespace

std::unique_ptr<UiWindow> CreateGtkWindow(std::string_view layout, std::string_view css) {
    if (!HasDisplayVariable()) return nullptr;
    const GtkServices *services = Services();
    return services != nullptr ? services->createWindow(layout, css) : nullptr;
}

bool ShowGtkMessageDialog(const MessageBoxMessage &message) {
    if (!HasDisplayVariable()) return false;
    const GtkServices *services = Services();
    return services != nullptr && services->showMessageDialog(message);
}

}  // namespace ZavorPlatform
