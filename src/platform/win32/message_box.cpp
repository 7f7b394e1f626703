#include "platform/system_message_box.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "platform/host_window.h"
#include "platform/win32/wide_text.h"

namespace ZavorPlatform {
namespace {

// A host on Windows always has a user in front of a screen, so boxes are
// dialogs by default; ZAVOR_MESSAGE_BOXES=stderr turns them into lines on
// standard error for runs without a desktop (tests, services).
bool LinesWanted() {
    const char *setting = std::getenv("ZAVOR_MESSAGE_BOXES");
    return setting != nullptr && std::strcmp(setting, "stderr") == 0;
}

UINT IconStyle(MessageBoxIcon icon) {
    switch (icon) {
    case MessageBoxIcon::Warning: return MB_ICONWARNING;
    case MessageBoxIcon::Error: return MB_ICONERROR;
    case MessageBoxIcon::None: break;
    }
    return 0;
}

// Owned by the host's window, the box keeps the host from going on until it
// is confirmed; without one, task-modal does the same for every window of
// the calling thread.
bool ShowDialog(const MessageBoxMessage &message) {
    HWND owner = reinterpret_cast<HWND>(HostWindow());
    if (owner != nullptr && !IsWindow(owner)) owner = nullptr;
    UINT style = MB_OK | MB_SETFOREGROUND | IconStyle(message.icon) | (owner == nullptr ? MB_TASKMODAL : 0);
    std::wstring text = ToWindowsText(message.text);
    std::wstring caption = ToWindowsText(message.caption);
    return MessageBoxW(owner, text.c_str(), caption.c_str(), style) != 0;
}

}  // namespace

void ShowSystemMessageBox(const MessageBoxMessage &message) {
    // A process without a desktop gets no dialog: the text is not lost.
    if (!LinesWanted() && ShowDialog(message)) return;
    WriteMessageBoxLine(message);
}

// Every box is a dialog already.
InteractiveMessageBoxes::InteractiveMessageBoxes() = default;

InteractiveMessageBoxes::~InteractiveMessageBoxes() = default;

}  // namespace ZavorPlatform
