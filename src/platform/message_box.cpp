#include "platform/message_box.h"

#include <utility>

#include "platform/system_message_box.h"

namespace ZavorPlatform {
namespace {

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
            ShowSystemMessageBox(message);
        }
    } catch (...) {
        // Out of memory while reporting a failure: there is nobody left to tell.
    }
}

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink) { return std::exchange(CurrentSink(), std::move(sink)); }

MessageBoxRecorder::MessageBoxRecorder()
    : previous_(SetMessageBoxSink([this](const MessageBoxMessage &message) { messages_.push_back(message); })) {}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxSink(std::move(previous_)); }

}  // namespace ZavorPlatform
