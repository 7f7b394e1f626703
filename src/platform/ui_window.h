// A modal window built from a layout text (GtkBuilder XML, UTF-8), whose
// controls are found by their identifiers. The settings editor talks only
// to this interface; the GTK window realises it on a Linux display, the
// Win32 window on Windows, the fake window in tests.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ZavorPlatform {

// The layout text cannot be turned into a window.
class UiLayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A control identifier that the layout does not have, or a control of the
// wrong kind for the request.
class UiControlError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

enum class UiEvent {
    Clicked,           // button
    SelectionChanged,  // drop-down list
    KeyReleased,       // text box
    FocusLost,         // text box
};

struct UiColour {
    std::uint8_t alpha = 255;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const UiColour &) const = default;
};

struct UiFileFilter {
    std::u16string description;
    std::u16string pattern;

    bool operator==(const UiFileFilter &) const = default;
};

struct UiSaveFileRequest {
    std::u16string title;
    std::vector<UiFileFilter> filters;
    std::u16string initialName;
    // The dialog itself asks before an existing file is chosen.
    bool confirmOverwrite = true;
};

// Gets the typed characters before the control does; returns true when it
// has dealt with them, so that the control must not insert them itself.
using UiTextInputHandler = std::function<bool(std::u16string_view typed)>;

class UiWindow {
public:
    virtual ~UiWindow() = default;

    // Text box, or the text part of an editable drop-down.
    virtual std::u16string Text(std::string_view control) const = 0;
    virtual void SetText(std::string_view control, std::u16string_view text) = 0;
    virtual void PutCaretAtEnd(std::string_view control) = 0;

    // Check boxes.
    virtual bool Checked(std::string_view control) const = 0;
    virtual void SetChecked(std::string_view control, bool checked) = 0;

    // Drop-down lists: the entry index, -1 for none (free text typed into an
    // editable one). Selecting fires SelectionChanged like the user would.
    virtual int SelectedIndex(std::string_view control) const = 0;
    virtual void Select(std::string_view control, int index) = 0;

    // Any control.
    virtual bool Visible(std::string_view control) const = 0;
    virtual void SetVisible(std::string_view control, bool visible) = 0;
    // Style classes of the layout's CSS carry backgrounds and animations.
    virtual void SetStyleClass(std::string_view control, std::string_view styleClass, bool on) = 0;
    virtual void SetBackground(std::string_view control, UiColour colour) = 0;

    virtual void Connect(std::string_view control, UiEvent event, std::function<void()> handler) = 0;
    virtual void ConnectTextInput(std::string_view control, UiTextInputHandler handler) = 0;
    // A mouse button released anywhere in the window.
    virtual void ConnectMouseUp(std::function<void()> handler) = 0;

    // Enter clicks this button wherever the focus is (a text box, a
    // drop-down list, a check box), except on another button, which Enter
    // clicks itself. Nothing happens while the button is hidden.
    virtual void SetDefaultButton(std::string_view control) = 0;

    // Shows the window and returns when it has been closed, by Close, its
    // close box or the Escape key.
    virtual void RunModal() = 0;
    virtual void Close() = 0;

    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::u16string> ChooseSaveFile(const UiSaveFileRequest &request) = 0;
};

// Builds a window from the layout (with its CSS). Returns nullptr when no
// display can be reached, so that a caller without a screen goes on without
// asking anybody; throws UiLayoutError when the layout is broken.
using UiWindowFactory = std::function<std::unique_ptr<UiWindow>(std::string_view layout, std::string_view css)>;

std::unique_ptr<UiWindow> CreateUiWindow(std::string_view layout, std::string_view css);

// Replaces the factory and returns the previous one; an empty factory
// restores the system's own window (GTK on Linux, Win32 on Windows).
UiWindowFactory SetUiWindowFactory(UiWindowFactory factory);

// The system's own window, which each system provides in a file of its own.
std::unique_ptr<UiWindow> CreateSystemWindow(std::string_view layout, std::string_view css);

}  // namespace ZavorPlatform
