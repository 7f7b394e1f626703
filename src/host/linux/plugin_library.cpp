#include "host/plugin_library.h"

#include <dlfcn.h>

#include "host/path_text.h"

namespace ZavorHost {
namespace {

template <typename Function>
void Resolve(void *handle, const std::filesystem::path &path, const char *name, Function &target) {
    void *symbol = dlsym(handle, name);
    if (symbol == nullptr) {
        throw PluginLoadError("cannot load the plug-in " + PathToUtf8(path) + ": it lacks the export " + name);
    }
    target = reinterpret_cast<Function>(symbol);
}

}  // namespace

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
        Resolve(handle_, path, "QnD_Initialize2", exports_.Initialize2);
        Resolve(handle_, path, "QnD_CmdNumber", exports_.CmdNumber);
        Resolve(handle_, path, "QnD_Version", exports_.Version);
        Resolve(handle_, path, "QnD_ComParas", exports_.ComParas);
        Resolve(handle_, path, "QnD_GetHelpFile", exports_.GetHelpFile);
        Resolve(handle_, path, "QnD_GetRessource", exports_.GetRessource);
        Resolve(handle_, path, "QnD_RunInit", exports_.RunInit);
        Resolve(handle_, path, "QnD_SetWindow", exports_.SetWindow);
        Resolve(handle_, path, "QnD_Stop", exports_.Stop);
        Resolve(handle_, path, "QnD_Edit", exports_.Edit);
        Resolve(handle_, path, "QnD_Execute", exports_.Execute);
        Resolve(handle_, path, "QnD_SetVar", exports_.SetVar);
        Resolve(handle_, path, "QnD_GetVar", exports_.GetVar);
        Resolve(handle_, path, "QnD_VarCategory", exports_.VarCategory);
        Resolve(handle_, path, "QnD_ExtraVarName", exports_.ExtraVarName);
        Resolve(handle_, path, "QnD_ExtraEventName", exports_.ExtraEventName);
        Resolve(handle_, path, "QnD_GetShowLine", exports_.GetShowLine);
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
