#include "platform/system_message_box.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/code_page.h"
#include "platform/linux/gtk_window.h"

namespace ZavorPlatform {
namespace {

void WriteToStandardError(const MessageBoxMessage &message) {
    // Appended piece by piece: GCC 12 at -O3 wrongly reports overlapping
    // copies (-Wrestrict) for "[" + std::string.
    std::string line = "[";
    line += Utf16ToUtf8(message.caption);
    line += "] ";
    line += Utf16ToUtf8(message.text);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

int interactiveScopes = 0;

bool DialogsWanted() {
    if (interactiveScopes > 0) return true;
    const char *setting = std::getenv("ZAVOR_MESSAGE_BOXES");
    return setting != nullptr && std::strcmp(setting, "dialog") == 0;
}

}  // namespace

void ShowSystemMessageBox(const MessageBoxMessage &message) {
    if (DialogsWanted() && ShowGtkMessageDialog(message)) return;
    WriteToStandardError(message);
}

InteractiveMessageBoxes::InteractiveMessageBoxes() { ++interactiveScopes; }

InteractiveMessageBoxes::~InteractiveMessageBoxes() { --interactiveScopes; }

}  // namespace ZavorPlatform
