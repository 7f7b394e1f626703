#include "host/plugin_library.h"

#include <windows.h>

#include <string>

#include "host/path_text.h"

namespace ZavorHost {
namespace {

HMODULE Module(void *handle) { return static_cast<HMODULE>(handle); }

// The system's text for an error code, in UTF-8 and without the line break
// it ends with.
std::string SystemMessage(DWORD code) {
    wchar_t *text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::wstring message = length > 0 ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
        message.pop_back();
    }
    if (message.empty()) return "error " + std::to_string(code);
    return PathToUtf8(std::filesystem::path(message)) + " (error " + std::to_string(code) + ")";
}

}  // namespace

PluginLibrary::PluginLibrary(const std::filesystem::path &path) {
    // The wide call: the path may hold characters beyond the ANSI code page.
    handle_ = LoadLibraryW(path.c_str());
    if (handle_ == nullptr) {
        throw PluginLoadError("cannot load the plug-in " + PathToUtf8(path) + ": " + SystemMessage(GetLastError()));
    }
    // Pinned, as RTLD_NODELETE does on Linux: the plug-in may leave
    // thread-local or atexit state behind; unmapping its code under them
    // would crash at exit.
    HMODULE pinned = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(handle_), &pinned);
    // Exports are looked up by their undecorated names, as Vornix does: the
    // DLL is linked with --kill-at, so "QnD_Version" and not "_QnD_Version@0".
    try {
        exports_ = ResolveExports(path, [this](const char *name) {
            return reinterpret_cast<void *>(GetProcAddress(Module(handle_), name));
        });
    } catch (...) {
        FreeLibrary(Module(handle_));
        throw;
    }
}

PluginLibrary::~PluginLibrary() { FreeLibrary(Module(handle_)); }

std::filesystem::path PluginLibrary::DefaultPath() {
    std::wstring self(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
        if (length == 0) return L"zavor.dll";
        if (length < self.size()) {
            self.resize(length);
            break;
        }
        self.resize(self.size() * 2);
    }
    return std::filesystem::path(self).parent_path() / L"zavor.dll";
}

}  // namespace ZavorHost
