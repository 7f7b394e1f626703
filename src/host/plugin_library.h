// The plug-in as the host sees it: a shared library opened at run time
// (libzavor.so, zavor.dll) and its seventeen QnD_ exports, looked up by their
// undecorated names. The host never links the plug-in.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "plugin/exports.h"  // for the function types only

namespace ZavorHost {

// The host callback: service name, parameter, parameter length (-1: up to
// the zero), flags, answer buffer.
using HostCallbackFunction = ZavorCallbackFunction;

class PluginLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct PluginExports {
    decltype(&::QnD_Initialize2) Initialize2 = nullptr;
    decltype(&::QnD_CmdNumber) CmdNumber = nullptr;
    decltype(&::QnD_Version) Version = nullptr;
    decltype(&::QnD_ComParas) ComParas = nullptr;
    decltype(&::QnD_GetHelpFile) GetHelpFile = nullptr;
    decltype(&::QnD_GetRessource) GetRessource = nullptr;
    decltype(&::QnD_RunInit) RunInit = nullptr;
    decltype(&::QnD_SetWindow) SetWindow = nullptr;
    decltype(&::QnD_Stop) Stop = nullptr;
    decltype(&::QnD_Edit) Edit = nullptr;
    decltype(&::QnD_Execute) Execute = nullptr;
    decltype(&::QnD_SetVar) SetVar = nullptr;
    decltype(&::QnD_GetVar) GetVar = nullptr;
    decltype(&::QnD_VarCategory) VarCategory = nullptr;
    decltype(&::QnD_ExtraVarName) ExtraVarName = nullptr;
    decltype(&::QnD_ExtraEventName) ExtraEventName = nullptr;
    decltype(&::QnD_GetShowLine) GetShowLine = nullptr;
};

// Every export through `find`, which gives a symbol's address by its
// undecorated name or null; throws PluginLoadError naming the first export
// the library lacks.
PluginExports ResolveExports(const std::filesystem::path &path, const std::function<void *(const char *name)> &find);

class PluginLibrary {
public:
    // Opens the library and resolves every export; throws PluginLoadError
    // naming the path and what is wrong.
    explicit PluginLibrary(const std::filesystem::path &path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary &) = delete;
    PluginLibrary &operator=(const PluginLibrary &) = delete;

    const PluginExports &Exports() const { return exports_; }

    // The plug-in (libzavor.so, zavor.dll) in the folder of the running
    // executable.
    static std::filesystem::path DefaultPath();

private:
    void *handle_ = nullptr;  // owned: closed by the destructor
    PluginExports exports_;
};

}  // namespace ZavorHost
