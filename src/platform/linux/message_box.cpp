#include "platform/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

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

void ShowByDefault(const MessageBoxMessage &message) {
    if (DialogsWanted() && ShowGtkMessageDialog(message)) return;
    WriteToStandardError(message);
}

MessageBoxSink &CurrentSink() {
    static MessageBoxSink sink;
    return sink;
}

}  // namespace

void ShowMessageBox(std::u16string_view text, std::u16string_view caption, MessageBoxIcon icon) noexcept {
    try {
        MessageBoxMessage message{std::u16string(text), std::u16string(caption), icon};
        if (CurrentSink()) {
            CurrentSink()(message);
        } else {
            ShowByDefault(message);
        }
    } catch (...) {
        // Out of memory while reporting a failure: there is nobody left to tell.
    }
}

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink) {
    return std::exchange(CurrentSink(), std::move(sink));
}

InteractiveMessageBoxes::InteractiveMessageBoxes() { ++interactiveScopes; }

InteractiveMessageBoxes::~InteractiveMessageBoxes() { --interactiveScopes; }

MessageBoxRecorder::MessageBoxRecorder()
    : previous_(SetMessageBoxSink([this](const MessageBoxMessage &message) { messages_.push_back(message); })) {}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxSink(std::move(previous_)); }

}  // namespace ZavorPlatform
