#include "host/plugin_library.h"

#include <dlfcn.h>

#include "host/path_text.h"

namespace ZavorHost {

PluginLibrary::PluginLibrary(const std::filesystem::path &path) {
    // RTLD_NODELETE: the plug-in may leave thread-local or atexit state
    // behind; unmapping its code under them would crash at exit.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle_ == nullptr) {
        const char *reason = dlerror();
        throw PluginLoadError("cannot load the plug-in " + PathToUtf8(path) + ": " +
                              (reason != nullptr ? reason : "unknown reason"));
    }
    try {
        exports_ = ResolveExports(path, [this](const char *name) { return dlsym(handle_, name); });
    } catch (...) {
        dlclose(handle_);
        throw;
    }
}

PluginLibrary::~PluginLibrary() { dlclose(handle_); }

std::filesystem::path PluginLibrary::DefaultPath() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "libzavor.so";
    return self.parent_path() / "libzavor.so";
}

}  // namespace ZavorHost
