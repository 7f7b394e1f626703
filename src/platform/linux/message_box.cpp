#include "platform/system_message_box.h"

#include <cstdlib>
#include <cstring>

#include "platform/linux/gtk_module.h"

namespace ZavorPlatform {
namespace {

int interactiveScopes = 0;

bool DialogsWanted() {
    if (interactiveScopes > 0) return true;
    const char *setting = std::getenv("ZAVOR_MESSAGE_BOXES");
    return setting != nullptr && std::strcmp(setting, "dialog") == 0;
}

}  // namespace

void ShowSystemMessageBox(const MessageBoxMessage &message) {
    if (DialogsWanted() && ShowModuleMessageDialog(message)) return;
    WriteMessageBoxLine(message);
}

InteractiveMessageBoxes::InteractiveMessageBoxes() { ++interactiveScopes; }

InteractiveMessageBoxes::~InteractiveMessageBoxes() { --interactiveScopes; }

}  // namespace ZavorPlatform
