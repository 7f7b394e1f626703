#include "platform/ui_fake_window.h"

#include <algorithm>
#include <utility>

#include <pugixml.hpp>

#include "platform/code_page.h"

namespace ZavorPlatform {
namespace {

bool BuilderBoolean(std::string_view value) {
    return value == "True" || value == "true" || value == "yes" || value == "1" || value == "TRUE";
}

std::string PropertyKey(std::string name) {
    std::replace(name.begin(), name.end(), '_', '-');
    return name;
}

FakeControl ReadControl(const pugi::xml_node &object) {
    FakeControl control;
    control.kind = object.attribute("class").value();
    for (pugi::xml_node property : object.children("property")) {
        std::string key = PropertyKey(property.attribute("name").value());
        std::string value = property.child_value();
        if (key == "label" || key == "title") control.caption = Utf8ToUtf16(value);
        if (key == "tooltip-text") control.tooltip = Utf8ToUtf16(value);
        if (key == "text") control.text = Utf8ToUtf16(value);
        if (key == "visible") control.visible = BuilderBoolean(value);
        if (key == "has-entry") control.editable = BuilderBoolean(value);
        if (key == "active" && control.kind == "GtkCheckButton") control.checked = BuilderBoolean(value);
        if (key == "active" && control.kind == "GtkComboBoxText") control.selected = std::stoi(value);
    }
    for (pugi::xml_node item : object.child("items").children("item")) {
        control.entries.push_back({item.attribute("id").value(), Utf8ToUtf16(item.child_value())});
    }
    for (pugi::xml_node styleClass : object.child("style").children("class")) {
        control.styleClasses.insert(styleClass.attribute("name").value());
    }
    control.caret = control.text.size();
    return control;
}

std::string Describe(std::string_view control) { return "\"" + std::string(control) + "\""; }

}  // namespace

FakeUiWindow::FakeUiWindow(std::string_view layout, Script script) : script_(std::move(script)) {
    pugi::xml_document document;
    pugi::xml_parse_result parsed = document.load_buffer(layout.data(), layout.size());
    if (!parsed) throw UiLayoutError(std::string("Layout: ") + parsed.description());
    for (pugi::xpath_node node : document.select_nodes("//object[@id]")) {
        pugi::xml_node object = node.node();
        auto [place, added] = controls_.emplace(object.attribute("id").value(), ReadControl(object));
        if (!added) throw UiLayoutError("Layout: doppelte Kennung " + Describe(place->first));
        if (place->second.kind == "GtkWindow") title_ = place->second.caption;
    }
    if (title_.empty()) throw UiLayoutError("Layout: kein Fenster");
}

FakeControl &FakeUiWindow::Find(std::string_view control, std::initializer_list<std::string_view> kinds) {
    return const_cast<FakeControl &>(std::as_const(*this).Find(control, kinds));
}

const FakeControl &FakeUiWindow::Find(std::string_view control, std::initializer_list<std::string_view> kinds) const {
    auto found = controls_.find(control);
    if (found == controls_.end()) throw UiControlError("unknown control " + Describe(control));
    if (kinds.size() != 0 && std::find(kinds.begin(), kinds.end(), found->second.kind) == kinds.end()) {
        throw UiControlError("control " + Describe(control) + " is a " + found->second.kind);
    }
    return found->second;
}

const FakeControl &FakeUiWindow::Control(std::string_view control) const { return Find(control, {}); }

std::u16string FakeUiWindow::Text(std::string_view control) const {
    const FakeControl &found = Find(control, {"GtkEntry", "GtkComboBoxText"});
    if (found.kind == "GtkComboBoxText" && !found.editable) throw UiControlError(Describe(control) + " has no text");
    return found.text;
}

void FakeUiWindow::SetText(std::string_view control, std::u16string_view text) {
    FakeControl &found = Find(control, {"GtkEntry", "GtkComboBoxText"});
    if (found.kind == "GtkComboBoxText" && !found.editable) throw UiControlError(Describe(control) + " has no text");
    found.text = text;
    found.caret = std::min(found.caret, found.text.size());
}

void FakeUiWindow::PutCaretAtEnd(std::string_view control) {
    FakeControl &found = Find(control, {"GtkEntry"});
    found.caret = found.text.size();
}

bool FakeUiWindow::Checked(std::string_view control) const { return Find(control, {"GtkCheckButton"}).checked; }

void FakeUiWindow::SetChecked(std::string_view control, bool checked) {
    Find(control, {"GtkCheckButton"}).checked = checked;
}

int FakeUiWindow::SelectedIndex(std::string_view control) const {
    return Find(control, {"GtkComboBoxText"}).selected;
}

void FakeUiWindow::Select(std::string_view control, int index) {
    FakeControl &found = Find(control, {"GtkComboBoxText"});
    if (index < -1 || index >= static_cast<int>(found.entries.size())) {
        throw UiControlError("no entry " + std::to_string(index) + " in " + Describe(control));
    }
    if (found.selected == index) return;
    found.selected = index;
    // Choosing an entry of an editable list shows its caption as the text.
    if (found.editable && index >= 0) found.text = found.entries[static_cast<std::size_t>(index)].caption;
    Fire(control, UiEvent::SelectionChanged);
}

bool FakeUiWindow::Visible(std::string_view control) const { return Find(control, {}).visible; }

void FakeUiWindow::SetVisible(std::string_view control, bool visible) { Find(control, {}).visible = visible; }

void FakeUiWindow::SetStyleClass(std::string_view control, std::string_view styleClass, bool on) {
    FakeControl &found = Find(control, {});
    if (on) {
        found.styleClasses.emplace(styleClass);
    } else {
        found.styleClasses.erase(std::string(styleClass));
    }
}

void FakeUiWindow::SetBackground(std::string_view control, UiColour colour) { Find(control, {}).background = colour; }

void FakeUiWindow::Connect(std::string_view control, UiEvent event, std::function<void()> handler) {
    const FakeControl &found = Find(control, {});
    bool fits = (event == UiEvent::Clicked && found.kind == "GtkButton") ||
                (event == UiEvent::SelectionChanged && found.kind == "GtkComboBoxText") ||
                ((event == UiEvent::KeyReleased || event == UiEvent::FocusLost) && found.kind == "GtkEntry");
    if (!fits) throw UiControlError("control " + Describe(control) + " has no such event");
    handlers_[std::string(control)].events[event].push_back(std::move(handler));
}

void FakeUiWindow::ConnectTextInput(std::string_view control, UiTextInputHandler handler) {
    Find(control, {"GtkEntry"});
    handlers_[std::string(control)].textInput = std::move(handler);
}

void FakeUiWindow::ConnectMouseUp(std::function<void()> handler) { mouseUpHandlers_.push_back(std::move(handler)); }

void FakeUiWindow::SetDefaultButton(std::string_view control) {
    Find(control, {"GtkButton"});
    defaultButton_ = control;
}

void FakeUiWindow::RunModal() {
    running_ = true;
    closed_ = false;
    if (script_) script_(*this);
    // A script that does not close the window leaves by the close box.
    running_ = false;
    closed_ = true;
}

void FakeUiWindow::Close() {
    running_ = false;
    closed_ = true;
}

std::optional<std::u16string> FakeUiWindow::ChooseSaveFile(const UiSaveFileRequest &request) {
    saveFileRequests.push_back(request);
    return saveFileAnswer;
}

void FakeUiWindow::Fire(std::string_view control, UiEvent event) {
    auto found = handlers_.find(control);
    if (found == handlers_.end()) return;
    auto handlers = found->second.events.find(event);
    if (handlers == found->second.events.end()) return;
    // Copied, so that a handler may connect further handlers.
    std::vector<std::function<void()>> toRun = handlers->second;
    for (const auto &handler : toRun) handler();
}

void FakeUiWindow::TypeCharacter(std::string_view control, char16_t character) {
    std::u16string typed(1, character);
    auto handlers = handlers_.find(control);
    bool handled = handlers != handlers_.end() && handlers->second.textInput && handlers->second.textInput(typed);
    if (!handled) {
        FakeControl &found = Find(control, {"GtkEntry"});
        found.text.insert(found.caret, typed);
        ++found.caret;
    }
    Fire(control, UiEvent::KeyReleased);
}

void FakeUiWindow::Type(std::string_view control, std::u16string_view typed) {
    Find(control, {"GtkEntry"});
    for (char16_t character : typed) TypeCharacter(control, character);
}

void FakeUiWindow::PlaceCaret(std::string_view control, std::size_t position) {
    FakeControl &found = Find(control, {"GtkEntry"});
    found.caret = std::min(position, found.text.size());
}

void FakeUiWindow::Click(std::string_view control) {
    FakeControl &found = Find(control, {"GtkButton", "GtkCheckButton"});
    if (found.kind == "GtkCheckButton") {
        found.checked = !found.checked;
        return;
    }
    Fire(control, UiEvent::Clicked);
}

void FakeUiWindow::Choose(std::string_view control, int index) { Select(control, index); }

void FakeUiWindow::TypeFreeText(std::string_view control, std::u16string_view text) {
    FakeControl &found = Find(control, {"GtkComboBoxText"});
    if (!found.editable) throw UiControlError(Describe(control) + " has no text");
    found.text = text;
    if (found.selected != -1) {
        found.selected = -1;
        Fire(control, UiEvent::SelectionChanged);
    }
}

void FakeUiWindow::LeaveFocus(std::string_view control) {
    Find(control, {"GtkEntry"});
    Fire(control, UiEvent::FocusLost);
}

void FakeUiWindow::PressEnter(std::string_view focused) {
    if (Find(focused, {}).kind == "GtkButton") return Fire(focused, UiEvent::Clicked);
    if (defaultButton_.empty() || !Find(defaultButton_, {}).visible) return;
    Fire(defaultButton_, UiEvent::Clicked);
}

void FakeUiWindow::ReleaseMouse() {
    std::vector<std::function<void()>> toRun = mouseUpHandlers_;
    for (const auto &handler : toRun) handler();
}

FakeUiWindowFactory::FakeUiWindowFactory()
    : previous_(SetUiWindowFactory([this](std::string_view layout, std::string_view css) -> std::unique_ptr<UiWindow> {
          if (noDisplay) return nullptr;
          if (failure) throw UiLayoutError(*failure);
          ++windowsBuilt_;
          lastCss_ = css;
          return std::make_unique<FakeUiWindow>(layout, script);
      })) {}

FakeUiWindowFactory::~FakeUiWindowFactory() { SetUiWindowFactory(std::move(previous_)); }

}  // namespace ZavorPlatform
