#include "platform/message_box.h"

#include <cstdio>
#include <string>
#include <utility>

#include "platform/code_page.h"

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

void WriteMessageBoxLine(const MessageBoxMessage &message) {
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

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink) { return std::exchange(CurrentSink(), std::move(sink)); }

MessageBoxRecorder::MessageBoxRecorder()
    : previous_(SetMessageBoxSink([this](const MessageBoxMessage &message) { messages_.push_back(message); })) {}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxSink(std::move(previous_)); }

}  // namespace ZavorPlatform
