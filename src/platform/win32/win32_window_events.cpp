#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/host_window.h"
#include "platform/win32/win32_ui_window.h"

namespace ZavorPlatform {
namespace {

std::optional<std::wstring> ClipboardText(HWND owner) {
    if (!OpenClipboard(owner)) return std::nullopt;
    std::optional<std::wstring> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *characters = static_cast<const wchar_t *>(GlobalLock(data))) {
            text = characters;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Description and pattern pairs, each ended by a zero, the list by another.
std::wstring FilterList(const std::vector<UiFileFilter> &filters) {
    std::wstring list;
    for (const UiFileFilter &filter : filters) {
        list += ToWide(filter.description);
        list += L'\0';
        list += ToWide(filter.pattern);
        list += L'\0';
    }
    list += L'\0';
    return list;
}

}  // namespace

LRESULT CALLBACK Win32UiWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *self = reinterpret_cast<Win32UiWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || !self->window_ || self->window_.get() != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    self->Run([&] { result = self->Handle(message, wParam, lParam); });
    return result;
}

LRESULT CALLBACK Win32UiWindow::EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    auto *self = static_cast<Win32UiWindow *>(GetPropW(edit, kOwnerProperty));
    Win32Control *control = self != nullptr ? self->FromHandle(edit) : nullptr;
    if (control == nullptr || control->editProc == nullptr) return DefWindowProcW(edit, message, wParam, lParam);
    WNDPROC own = control->editProc;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        RemovePropW(edit, kOwnerProperty);
        control->editProc = nullptr;
        return CallWindowProcW(own, edit, message, wParam, lParam);
    }
    LRESULT result = 0;
    bool taken = false;
    self->Run([&] {
        result = self->HandleEdit(*control, message, wParam, lParam);
        taken = true;
    });
    return taken ? result : 0;
}

// Typed characters and pasted text go to the text-input handler before the
// control; a key released is reported after the control has taken it.
LRESULT Win32UiWindow::HandleEdit(Win32Control &control, UINT message, WPARAM wParam, LPARAM lParam) {
    std::optional<std::u16string> typed;
    if (message == WM_CHAR && wParam >= 0x20 && wParam != 0x7F) {
        typed = std::u16string(1, static_cast<char16_t>(wParam));
    }
    if (message == WM_PASTE && control.textInput) {
        if (std::optional<std::wstring> text = ClipboardText(window_.get())) typed = FromWide(*text);
    }
    if (typed && control.textInput && control.textInput(*typed)) return 0;
    LRESULT result = CallWindowProcW(control.editProc, control.edit, message, wParam, lParam);
    if (message == WM_KEYUP) Fire(control, UiEvent::KeyReleased);
    return result;
}

LRESULT Win32UiWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_.get();
    switch (message) {
        case WM_COMMAND:
            HandleCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return ColourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, Brush(WindowBackground()));
            return 1;
        }
        case WM_TIMER:
            if (wParam == kScrollTimer) Scroll();
            return 0;
        case WM_CLOSE:  // the close box and Alt+F4 end the run like Abbruch
            Close();
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void Win32UiWindow::HandleCommand(HWND from, WORD code) {
    Win32Control *control = FromHandle(from);
    if (control == nullptr) return;
    const std::string &kind = control->node->kind;
    if (kind == "GtkButton" && code == BN_CLICKED) Fire(*control, UiEvent::Clicked);
    if (kind == "GtkEntry" && code == EN_KILLFOCUS) Fire(*control, UiEvent::FocusLost);
    if (kind != "GtkComboBoxText") return;
    if (code == CBN_SELCHANGE) {
        control->selected = static_cast<int>(SendMessageW(control->handle, CB_GETCURSEL, 0, 0));
        Fire(*control, UiEvent::SelectionChanged);
    } else if (code == CBN_EDITCHANGE && control->selected != -1) {
        // Free text typed into the list's text part leaves no entry chosen.
        control->selected = -1;
        Fire(*control, UiEvent::SelectionChanged);
    }
}

// Enter clicks the default button wherever the focus is, except on another
// push button, which Enter clicks itself; Escape closes. An open drop-down
// list takes both keys for itself.
bool Win32UiWindow::TakeKey(const MSG &message) {
    if (message.message != WM_KEYDOWN || (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE)) return false;
    HWND window = window_.get();
    if (message.hwnd != window && !IsChild(window, message.hwnd)) return false;
    Win32Control *focused = FromHandle(GetFocus());
    if (focused != nullptr && focused->node->kind == "GtkComboBoxText" &&
        SendMessageW(focused->handle, CB_GETDROPPEDSTATE, 0, 0) != 0) {
        return false;
    }
    if (message.wParam == VK_ESCAPE) {
        Close();
        return true;
    }
    if (focused != nullptr && focused->node->kind == "GtkButton") {
        Fire(*focused, UiEvent::Clicked);
        return true;
    }
    auto button = controls_.find(defaultButton_);
    if (button == controls_.end() || !Shown(button->second) || !IsWindowEnabled(button->second.handle)) return false;
    Fire(button->second, UiEvent::Clicked);
    return true;
}

void Win32UiWindow::RunModal() {
    // A handler that failed before the window was shown ends the run at once.
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    HWND window = window_.get();
    closed_ = false;
    // Modal like a dialog: the host's window takes no input meanwhile.
    if (owner_ != nullptr && IsWindowEnabled(owner_)) {
        EnableWindow(owner_, FALSE);
        ownerDisabled_ = true;
    }
    // Message boxes from the handlers belong to this window while it runs:
    // one owned by the disabled host window would enable it again when it
    // closes, and the editor would no longer be modal.
    struct BoxOwner {
        std::intptr_t host = HostWindow();
        explicit BoxOwner(HWND editor) { SetHostWindow(reinterpret_cast<std::intptr_t>(editor)); }
        ~BoxOwner() { SetHostWindow(host); }
        BoxOwner(const BoxOwner &) = delete;
        BoxOwner &operator=(const BoxOwner &) = delete;
    } boxOwner(window);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(GetNextDlgTabItem(window, nullptr, FALSE));
    MSG message{};
    while (!closed_) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // The host is quitting: leave, and hand the quit on to its loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (TakeKey(message)) continue;
        bool released = (message.message == WM_LBUTTONUP || message.message == WM_RBUTTONUP ||
                         message.message == WM_MBUTTONUP) &&
                        message.hwnd == window;
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // Labels let the mouse through to the window; buttons, boxes and
        // lists keep their releases, as in GTK.
        if (released) {
            std::vector<std::function<void()>> toRun = mouseUp_;
            for (const auto &handler : toRun) Run(handler);
        }
    }
    Close();
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void Win32UiWindow::Close() {
    closed_ = true;
    if (!window_) return;
    KillTimer(window_.get(), kScrollTimer);
    // The owner comes back before the window goes, so that it is the one
    // that gets the activation.
    if (ownerDisabled_) EnableWindow(owner_, TRUE);
    ownerDisabled_ = false;
    ShowWindow(window_.get(), SW_HIDE);
    PostMessageW(window_.get(), WM_NULL, 0, 0);
}

std::u16string Win32UiWindow::Text(std::string_view control) const {
    const Win32Control &found = Find(control, {"GtkEntry", "GtkComboBoxText"});
    if (found.edit == nullptr) throw UiControlError(DescribeControl(control) + " has no text");
    return FromWide(WindowText(found.handle));
}

void Win32UiWindow::SetText(std::string_view control, std::u16string_view text) {
    Win32Control &found = Find(control, {"GtkEntry", "GtkComboBoxText"});
    if (found.edit == nullptr) throw UiControlError(DescribeControl(control) + " has no text");
    std::wstring wide = ToWide(text);
    SetWindowTextW(found.handle, wide.c_str());
    // A text put into a list's text part is free text, as in GTK.
    if (found.node->kind == "GtkComboBoxText" && found.selected != -1) {
        found.selected = -1;
        Fire(found, UiEvent::SelectionChanged);
    }
}

void Win32UiWindow::PutCaretAtEnd(std::string_view control) {
    Win32Control &found = Find(control, {"GtkEntry", "GtkComboBoxText"});
    if (found.edit == nullptr) throw UiControlError(DescribeControl(control) + " has no text");
    int length = GetWindowTextLengthW(found.edit);
    SendMessageW(found.edit, EM_SETSEL, length, length);
}

bool Win32UiWindow::Checked(std::string_view control) const {
    return SendMessageW(Find(control, {"GtkCheckButton"}).handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32UiWindow::SetChecked(std::string_view control, bool checked) {
    SendMessageW(Find(control, {"GtkCheckButton"}).handle, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Win32UiWindow::SelectedIndex(std::string_view control) const {
    return Find(control, {"GtkComboBoxText"}).selected;
}

void Win32UiWindow::Select(std::string_view control, int index) {
    Win32Control &found = Find(control, {"GtkComboBoxText"});
    if (index < -1 || index >= static_cast<int>(found.node->items.size())) {
        throw UiControlError("no entry " + std::to_string(index) + " in " + DescribeControl(control));
    }
    if (found.selected == index) return;
    SendMessageW(found.handle, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    found.selected = index;
    Fire(found, UiEvent::SelectionChanged);
}

bool Win32UiWindow::Visible(std::string_view control) const { return Find(control, {}).visible; }

void Win32UiWindow::SetVisible(std::string_view control, bool visible) {
    Win32Control &found = Find(control, {});
    if (found.visible == visible) return;
    found.visible = visible;
    Relayout();
}

void Win32UiWindow::SetStyleClass(std::string_view control, std::string_view styleClass, bool on) {
    Win32Control &found = Find(control, {});
    if (on) {
        found.classes.emplace(styleClass);
    } else {
        found.classes.erase(std::string(styleClass));
    }
    auto style = styles_.find(styleClass);
    if (on && style != styles_.end() && style->second.scrollSeconds > 0) {
        found.scrollStart = GetTickCount();
        SetTimer(window_.get(), kScrollTimer, kScrollInterval, nullptr);
    }
    Relayout();  // puts a text that stopped scrolling back in its place
}

void Win32UiWindow::SetBackground(std::string_view control, UiColour colour) {
    Win32Control &found = Find(control, {});
    found.background = colour;
    if (found.handle != nullptr) InvalidateRect(found.handle, nullptr, TRUE);
}

void Win32UiWindow::Connect(std::string_view control, UiEvent event, std::function<void()> handler) {
    Win32Control &found = Find(control, {});
    const std::string &kind = found.node->kind;
    bool fits = (event == UiEvent::Clicked && kind == "GtkButton") ||
                (event == UiEvent::SelectionChanged && kind == "GtkComboBoxText") ||
                ((event == UiEvent::KeyReleased || event == UiEvent::FocusLost) && kind == "GtkEntry");
    if (!fits) throw UiControlError("control " + DescribeControl(control) + " has no such event");
    found.handlers[event].push_back(std::move(handler));
}

void Win32UiWindow::ConnectTextInput(std::string_view control, UiTextInputHandler handler) {
    Win32Control &found = Find(control, {"GtkEntry", "GtkComboBoxText"});
    if (found.edit == nullptr) throw UiControlError(DescribeControl(control) + " has no text");
    found.textInput = std::move(handler);
}

void Win32UiWindow::ConnectMouseUp(std::function<void()> handler) { mouseUp_.push_back(std::move(handler)); }

void Win32UiWindow::SetDefaultButton(std::string_view control) {
    Win32Control &found = Find(control, {"GtkButton"});
    SendMessageW(found.handle, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    defaultButton_ = control;
}

std::optional<std::u16string> Win32UiWindow::ChooseSaveFile(const UiSaveFileRequest &request) {
    // Room for the longest path the system's dialog hands back.
    std::vector<wchar_t> path(32768, L'\0');
    std::wstring initial = ToWide(request.initialName).substr(0, path.size() - 1);
    std::copy(initial.begin(), initial.end(), path.begin());
    std::wstring filters = FilterList(request.filters);
    std::wstring title = ToWide(request.title);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_.get();
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                   (request.confirmOverwrite ? OFN_OVERWRITEPROMPT : 0);
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    return FromWide(path.data());
}

}  // namespace ZavorPlatform
