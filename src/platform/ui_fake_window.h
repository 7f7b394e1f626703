// A window without a display, for tests: it reads the controls, captions,
// list entries and initial states from the same layout text that GTK gets,
// refuses identifiers the layout lacks, and lets a test act as the user
// while the window runs modally.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ui_window.h"

namespace ZavorPlatform {

struct FakeListEntry {
    std::string id;
    std::u16string caption;
};

struct FakeControl {
    std::string kind;  // the GTK class named in the layout
    std::u16string caption;  // label, title or button text
    std::u16string tooltip;
    std::u16string text;
    std::size_t caret = 0;
    bool checked = false;
    bool visible = false;
    bool editable = false;  // a drop-down with a text part
    int selected = -1;
    std::vector<FakeListEntry> entries;
    std::set<std::string> styleClasses;
    std::optional<UiColour> background;
};

class FakeUiWindow : public UiWindow {
public:
    using Script = std::function<void(FakeUiWindow &)>;

    // Throws UiLayoutError when the layout is not well-formed or has no
    // window object.
    FakeUiWindow(std::string_view layout, Script script);

    std::u16string Text(std::string_view control) const override;
    void SetText(std::string_view control, std::u16string_view text) override;
    void PutCaretAtEnd(std::string_view control) override;
    bool Checked(std::string_view control) const override;
    void SetChecked(std::string_view control, bool checked) override;
    int SelectedIndex(std::string_view control) const override;
    void Select(std::string_view control, int index) override;
    bool Visible(std::string_view control) const override;
    void SetVisible(std::string_view control, bool visible) override;
    void SetStyleClass(std::string_view control, std::string_view styleClass, bool on) override;
    void SetBackground(std::string_view control, UiColour colour) override;
    void Connect(std::string_view control, UiEvent event, std::function<void()> handler) override;
    void ConnectTextInput(std::string_view control, UiTextInputHandler handler) override;
    void ConnectMouseUp(std::function<void()> handler) override;
    void SetDefaultButton(std::string_view control) override;
    void RunModal() override;
    void Close() override;
    std::optional<std::u16string> ChooseSaveFile(const UiSaveFileRequest &request) override;

    // What the user does. Each typed character goes through the text-input
    // handler, is inserted at the caret unless handled, and its key is
    // released afterwards.
    void Type(std::string_view control, std::u16string_view typed);
    void PlaceCaret(std::string_view control, std::size_t position);
    void Click(std::string_view control);
    void Choose(std::string_view control, int index);
    // Text typed into an editable drop-down, which leaves no entry selected.
    void TypeFreeText(std::string_view control, std::u16string_view text);
    void LeaveFocus(std::string_view control);
    void ReleaseMouse();
    // Enter while the control has the focus: a button clicks itself; on any
    // other control the default button is clicked, when there is one.
    void PressEnter(std::string_view focused);

    const FakeControl &Control(std::string_view control) const;
    const std::u16string &Title() const { return title_; }
    bool Running() const { return running_; }
    bool Closed() const { return closed_; }

    // Answers of the file-save dialog, and the requests it got.
    std::optional<std::u16string> saveFileAnswer;
    std::vector<UiSaveFileRequest> saveFileRequests;

private:
    struct Handlers {
        std::map<UiEvent, std::vector<std::function<void()>>> events;
        UiTextInputHandler textInput;
    };

    FakeControl &Find(std::string_view control, std::initializer_list<std::string_view> kinds);
    const FakeControl &Find(std::string_view control, std::initializer_list<std::string_view> kinds) const;
    void Fire(std::string_view control, UiEvent event);
    void TypeCharacter(std::string_view control, char16_t character);

    std::map<std::string, FakeControl, std::less<>> controls_;
    std::map<std::string, Handlers, std::less<>> handlers_;
    std::vector<std::function<void()>> mouseUpHandlers_;
    std::u16string title_;
    std::string defaultButton_;
    Script script_;
    bool running_ = false;
    bool closed_ = false;
};

// Installs fake windows as the factory while it lives and puts the previous
// factory back when it goes. Each window built runs the script while modal.
class FakeUiWindowFactory {
public:
    FakeUiWindowFactory();
    ~FakeUiWindowFactory();
    FakeUiWindowFactory(const FakeUiWindowFactory &) = delete;
    FakeUiWindowFactory &operator=(const FakeUiWindowFactory &) = delete;

    FakeUiWindow::Script script;
    // No display: the factory answers with no window.
    bool noDisplay = false;
    // When set, building a window fails with this message.
    std::optional<std::string> failure;

    int WindowsBuilt() const { return windowsBuilt_; }
    const std::string &LastCss() const { return lastCss_; }

private:
    UiWindowFactory previous_;
    int windowsBuilt_ = 0;
    std::string lastCss_;
};

}  // namespace ZavorPlatform
