// Message boxes: the one way the plug-in talks to the user outside the
// host's script. By default Windows shows a dialog owned by the host's
// window; Linux prints "[caption] text" to standard error, or shows a dialog
// when the user is known to sit at a display. Tests install a recorder.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ZavorPlatform {

// Every box has a single OK button; only the icon varies.
enum class MessageBoxIcon { None, Warning, Error };

struct MessageBoxMessage {
    std::u16string text;
    std::u16string caption;
    MessageBoxIcon icon = MessageBoxIcon::None;

    bool operator==(const MessageBoxMessage &) const = default;
};

using MessageBoxSink = std::function<void(const MessageBoxMessage &)>;

// Shows the box and returns when the user has confirmed it. Never throws:
// it is called from failure paths that must not fail themselves.
void ShowMessageBox(std::u16string_view text, std::u16string_view caption, MessageBoxIcon icon) noexcept;

// Replaces the sink and returns the previous one; an empty sink restores the
// default.
MessageBoxSink SetMessageBoxSink(MessageBoxSink sink);

// While it lives, boxes shown through the default sink appear as dialogs on
// the user's display (when there is one) instead of on standard error: the
// plug-in's design-time calls have a user in front of a screen, its run-time
// calls on Linux may have only a terminal. On Linux, setting
// ZAVOR_MESSAGE_BOXES=dialog in the environment makes every box a dialog; on
// Windows every box is one anyway, unless ZAVOR_MESSAGE_BOXES=stderr asks for
// lines on standard error (runs without a desktop) or there is no desktop.
class InteractiveMessageBoxes {
public:
    InteractiveMessageBoxes();
    ~InteractiveMessageBoxes();
    InteractiveMessageBoxes(const InteractiveMessageBoxes &) = delete;
    InteractiveMessageBoxes &operator=(const InteractiveMessageBoxes &) = delete;
};

// Collects every box shown while it lives, instead of printing it, and puts
// the previous sink back when it goes.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder &) = delete;
    MessageBoxRecorder &operator=(const MessageBoxRecorder &) = delete;

    const std::vector<MessageBoxMessage> &Messages() const { return messages_; }
    void Clear() { messages_.clear(); }

private:
    std::vector<MessageBoxMessage> messages_;
    MessageBoxSink previous_;
};

}  // namespace ZavorPlatform
