// The Win32 window's own declarations, shared by its two source files: the
// building and placing of the controls, and the handling of messages.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ui_layout.h"
#include "platform/ui_window.h"
#include "platform/win32/win32_controls.h"

namespace ZavorPlatform {

// Marks the edit controls whose messages pass through the window first.
inline constexpr wchar_t kOwnerProperty[] = L"ZavorEinstellungen";
inline constexpr UINT_PTR kScrollTimer = 1;
inline constexpr UINT kScrollInterval = 40;  // milliseconds

inline std::string DescribeControl(std::string_view control) { return "\"" + std::string(control) + "\""; }

struct Win32Control {
    const UiLayoutNode *node = nullptr;    // non-owning: a node of the window's layout
    const Win32Control *parent = nullptr;  // non-owning: the enclosing box or grid
    HWND handle = nullptr;                 // none for boxes and grids; destroyed with the window
    HWND edit = nullptr;                   // where typing goes: the control or a combo box's text part
    WNDPROC editProc = nullptr;            // the edit's own procedure, which ours hands on to
    bool visible = false;
    std::set<std::string, std::less<>> classes;
    std::optional<UiColour> background;
    int selected = -1;
    DWORD scrollStart = 0;
    std::map<UiEvent, std::vector<std::function<void()>>> handlers;
    UiTextInputHandler textInput;
};

class Win32UiWindow : public UiWindow {
public:
    Win32UiWindow(std::string_view layout, std::string_view css);
    ~Win32UiWindow() override;
    Win32UiWindow(const Win32UiWindow &) = delete;
    Win32UiWindow &operator=(const Win32UiWindow &) = delete;

    bool Created() const { return window_ != nullptr; }

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

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleEdit(Win32Control &control, UINT message, WPARAM wParam, LPARAM lParam);
    void HandleCommand(HWND from, WORD code);
    LRESULT ColourControl(HDC dc, HWND from);

    void AddControls(const UiLayoutNode &node, const Win32Control *parent);
    void HookEdit(Win32Control &control, HWND edit);
    Win32Control &Find(std::string_view control, std::initializer_list<std::string_view> kinds);
    const Win32Control &Find(std::string_view control, std::initializer_list<std::string_view> kinds) const;
    Win32Control *FromHandle(HWND handle);
    bool Shown(const Win32Control &control) const;
    void Relayout();
    void Scroll();
    std::optional<UiColour> StyleBackground(const Win32Control &control) const;
    COLORREF WindowBackground() const;
    HBRUSH Brush(COLORREF colour);
    bool TakeKey(const MSG &message);
    void Fire(Win32Control &control, UiEvent event);
    // No exception may unwind through the system's frames: the first one
    // ends the modal run and comes out of RunModal.
    void Run(const std::function<void()> &action) noexcept;

    UiLayoutNode layout_;
    std::map<std::string, UiStyle, std::less<>> styles_;
    std::map<std::string, Win32Control, std::less<>> controls_;
    std::map<std::string, UiRect, std::less<>> places_;
    std::map<COLORREF, BrushHandle> brushes_;
    FontHandle font_;
    FontHandle boldFont_;
    WindowHandle window_;
    HWND owner_ = nullptr;  // non-owning: the host's window
    bool ownerDisabled_ = false;
    std::string defaultButton_;
    std::vector<std::function<void()>> mouseUp_;
    std::exception_ptr failure_;
    bool closed_ = false;
};

}  // namespace ZavorPlatform
