#include "platform/system_file_launcher.h"

#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shellapi.h>

#include "platform/host_window.h"
#include "platform/win32/wide_text.h"

namespace ZavorPlatform {
namespace {

// The shell may hand the file to an extension that needs COM on this
// thread. A host that has set up COM differently keeps its setting; the
// launch is tried all the same.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope &) = delete;
    ComScope &operator=(const ComScope &) = delete;

private:
    HRESULT result_;
};

}  // namespace

// The shell's own error dialogs stay away (SEE_MASK_FLAG_NO_UI): a failure
// is the script's to handle, as on Linux. SEE_MASK_NOASYNC lets a launch
// through DDE finish before the call returns; the viewer itself is not
// awaited.
bool LaunchWithSystem(const std::u16string &path) {
    std::wstring file = ToWindowsText(path);
    DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    ComScope com;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = reinterpret_cast<HWND>(HostWindow());
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}

}  // namespace ZavorPlatform
