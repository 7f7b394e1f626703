#include <string>

#include "host/path_text.h"
#include "host/plugin_library.h"

namespace ZavorHost {
namespace {

template <typename Function>
void Resolve(const std::function<void *(const char *)> &find, const std::filesystem::path &path, const char *name,
             Function &target) {
    void *symbol = find(name);
    if (symbol == nullptr) {
        throw PluginLoadError("cannot load the plug-in " + PathToUtf8(path) + ": it lacks the export " + name);
    }
    target = reinterpret_cast<Function>(symbol);
}

}  // namespace

PluginExports ResolveExports(const std::filesystem::path &path, const std::function<void *(const char *name)> &find) {
    PluginExports exports;
    Resolve(find, path, "QnD_Initialize2", exports.Initialize2);
    Resolve(find, path, "QnD_CmdNumber", exports.CmdNumber);
    Resolve(find, path, "QnD_Version", exports.Version);
    Resolve(find, path, "QnD_ComParas", exports.ComParas);
    Resolve(find, path, "QnD_GetHelpFile", exports.GetHelpFile);
    Resolve(find, path, "QnD_GetRessource", exports.GetRessource);
    Resolve(find, path, "QnD_RunInit", exports.RunInit);
    Resolve(find, path, "QnD_SetWindow", exports.SetWindow);
    Resolve(find, path, "QnD_Stop", exports.Stop);
    Resolve(find, path, "QnD_Edit", exports.Edit);
    Resolve(find, path, "QnD_Execute", exports.Execute);
    Resolve(find, path, "QnD_SetVar", exports.SetVar);
    Resolve(find, path, "QnD_GetVar", exports.GetVar);
    Resolve(find, path, "QnD_VarCategory", exports.VarCategory);
    Resolve(find, path, "QnD_ExtraVarName", exports.ExtraVarName);
    Resolve(find, path, "QnD_ExtraEventName", exports.ExtraEventName);
    Resolve(find, path, "QnD_GetShowLine", exports.GetShowLine);
    return exports;
}

}  // namespace ZavorHost
