// The default sink of message_box.h, which each system provides: what a box
// looks like when no test has installed a sink of its own.
#pragma once

#include "platform/message_box.h"

namespace ZavorPlatform {

// May throw; ShowMessageBox catches everything.
void ShowSystemMessageBox(const MessageBoxMessage &message);

// "[caption] text" on standard error, for runs without a desktop.
void WriteMessageBoxLine(const MessageBoxMessage &message);

}  // namespace ZavorPlatform
