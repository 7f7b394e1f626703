#include "platform/win32/win32_window.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <exception>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/host_window.h"
#include "platform/ui_layout.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_ui_window.h"

namespace ZavorPlatform {
namespace {

constexpr wchar_t kWindowClass[] = L"ZavorEinstellungen";
constexpr int kMargin = 12;
constexpr int kFirstControlId = 100;
constexpr COLORREF kPlainBackground = RGB(0xF0, 0xF0, 0xF0);

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

COLORREF ToColorRef(UiColour colour) { return RGB(colour.red, colour.green, colour.blue); }

// A translucent colour over what lies below it.
COLORREF Blend(UiColour colour, COLORREF under) {
    auto mix = [&](int top, int bottom) { return (top * colour.alpha + bottom * (255 - colour.alpha)) / 255; };
    return RGB(mix(colour.red, GetRValue(under)), mix(colour.green, GetGValue(under)),
               mix(colour.blue, GetBValue(under)));
}

}  // namespace

Win32UiWindow::Win32UiWindow(std::string_view layout, std::string_view css)
    : layout_(ParseUiLayout(layout)),
      styles_(ParseUiStyles(css)),
      font_(DialogFont(false)),
      boldFont_(DialogFont(true)) {
    // A broken layout is reported also where no window could be shown.
    CheckControlKinds(layout_);
    HINSTANCE module = ThisModule();
    static const bool registered = [module] {
        INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&common);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DROPSHADOW;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = module;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!registered) return;
    owner_ = reinterpret_cast<HWND>(HostWindow());
    if (owner_ != nullptr && !IsWindow(owner_)) owner_ = nullptr;
    // The layout's size is the client area's; the frame comes on top.
    RECT frame{0, 0, layout_.Number("default-width", 476), layout_.Number("default-height", 403)};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD extended = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    AdjustWindowRectEx(&frame, style, FALSE, extended);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    std::wstring title = Utf8ToWide(layout_.Property("title"));
    HWND window = CreateWindowExW(extended, kWindowClass, title.c_str(), style,
                                  work.left + (work.right - work.left - width) / 2,
                                  work.top + (work.bottom - work.top - height) / 2, width, height, owner_, nullptr,
                                  module, this);
    if (window == nullptr) return;  // no desktop
    window_.reset(window);
    try {
        AddControls(layout_, nullptr);
        for (auto &[id, control] : controls_) {
            if (control.handle != nullptr) AddToolTip(*control.node, control.handle, window, module);
        }
        Relayout();
    } catch (...) {
        // Gone while every member is still whole: its last messages find
        // no window of ours.
        window_.reset();
        throw;
    }
}

Win32UiWindow::~Win32UiWindow() {
    if (ownerDisabled_) EnableWindow(owner_, TRUE);
    // The controls go with the window, while this object is still whole.
    window_.reset();
}

void Win32UiWindow::AddControls(const UiLayoutNode &node, const Win32Control *parent) {
    Win32Control *added = nullptr;
    if (!node.id.empty()) {
        Win32Control &control = controls_[node.id];
        control.node = &node;
        control.parent = parent;
        control.visible = node.Flag("visible");
        control.classes.insert(node.styleClasses.begin(), node.styleClasses.end());
        if (!node.IsContainer()) {
            int id = kFirstControlId + static_cast<int>(controls_.size());
            control.handle = CreateControl(node, window_.get(), id, ThisModule());
            control.selected = node.kind == "GtkComboBoxText" ? node.Number("active", -1) : -1;
            bool bold = false;
            for (const std::string &name : control.classes) {
                auto style = styles_.find(name);
                bold = bold || (style != styles_.end() && style->second.bold);
            }
            SendMessageW(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(bold ? boldFont_.get() : font_.get()),
                         FALSE);
            if (node.kind == "GtkEntry") HookEdit(control, control.handle);
            if (node.kind == "GtkComboBoxText" && node.Flag("has-entry")) {
                HookEdit(control, FindWindowExW(control.handle, nullptr, L"EDIT", nullptr));
            }
        }
        added = &control;
    }
    for (const UiLayoutNode &child : node.children) AddControls(child, added != nullptr ? added : parent);
}

void Win32UiWindow::HookEdit(Win32Control &control, HWND edit) {
    if (edit == nullptr) return;
    control.edit = edit;
    SetPropW(edit, kOwnerProperty, this);
    control.editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32UiWindow::EditProc)));
}

Win32Control &Win32UiWindow::Find(std::string_view control, std::initializer_list<std::string_view> kinds) {
    return const_cast<Win32Control &>(std::as_const(*this).Find(control, kinds));
}

const Win32Control &Win32UiWindow::Find(std::string_view control, std::initializer_list<std::string_view> kinds) const {
    auto found = controls_.find(control);
    if (found == controls_.end()) throw UiControlError("unknown control " + DescribeControl(control));
    const std::string &kind = found->second.node->kind;
    if (kinds.size() != 0 && std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) {
        throw UiControlError("control " + DescribeControl(control) + " is a " + kind);
    }
    return found->second;
}

Win32Control *Win32UiWindow::FromHandle(HWND handle) {
    if (handle == nullptr) return nullptr;
    for (auto &[id, control] : controls_) {
        if (control.handle == handle || control.edit == handle) return &control;
    }
    return nullptr;
}

bool Win32UiWindow::Shown(const Win32Control &control) const {
    for (const Win32Control *at = &control; at != nullptr; at = at->parent) {
        if (!at->visible && at->node->kind != "GtkWindow") return false;
    }
    return true;
}

void Win32UiWindow::Relayout() {
    RECT client{};
    GetClientRect(window_.get(), &client);
    auto measure = [this](const UiLayoutNode &node) {
        auto control = controls_.find(node.id);
        bool bold =
            control != controls_.end() && control->second.handle != nullptr &&
            SendMessageW(control->second.handle, WM_GETFONT, 0, 0) == reinterpret_cast<LRESULT>(boldFont_.get());
        return MeasureControl(node, bold ? boldFont_.get() : font_.get());
    };
    auto shown = [this](const UiLayoutNode &node) {
        auto found = controls_.find(node.id);
        return found == controls_.end() ? node.Flag("visible", true) : found->second.visible;
    };
    places_ = PlaceUiLayout(layout_, {client.right, client.bottom}, kMargin, measure, shown);
    for (auto &[id, control] : controls_) {
        if (control.handle == nullptr) continue;
        auto place = places_.find(id);
        bool show = Shown(control) && place != places_.end();
        if (show) {
            const UiRect &at = place->second;
            int height = at.height + (control.node->kind == "GtkComboBoxText" ? kDropDownHeight : 0);
            MoveWindow(control.handle, at.x, at.y, at.width, height, FALSE);
        }
        ShowWindow(control.handle, show ? SW_SHOWNA : SW_HIDE);
    }
    // The focus must not stay on a control that is gone from view.
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(window_.get(), focus) && !IsWindowVisible(focus)) {
        SetFocus(GetNextDlgTabItem(window_.get(), nullptr, FALSE));
    }
    RedrawWindow(window_.get(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// A text whose style sheet says it scrolls moves from one top margin to the
// other and starts again.
void Win32UiWindow::Scroll() {
    bool any = false;
    for (auto &[id, control] : controls_) {
        if (control.handle == nullptr || !Shown(control)) continue;
        for (const std::string &name : control.classes) {
            auto style = styles_.find(name);
            auto place = places_.find(id);
            if (style == styles_.end() || style->second.scrollSeconds <= 0 || place == places_.end()) continue;
            const UiStyle &scroll = style->second;
            DWORD period = static_cast<DWORD>(scroll.scrollSeconds) * 1000;
            DWORD elapsed = (GetTickCount() - control.scrollStart) % period;
            int offset =
                scroll.scrollFrom +
                static_cast<int>(static_cast<long long>(scroll.scrollTo - scroll.scrollFrom) * elapsed / period);
            const UiRect &at = place->second;
            SetWindowPos(control.handle, nullptr, at.x, at.y + offset, at.width, at.height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            any = true;
        }
    }
    if (!any) KillTimer(window_.get(), kScrollTimer);
}

std::optional<UiColour> Win32UiWindow::StyleBackground(const Win32Control &control) const {
    for (const Win32Control *at = &control; at != nullptr; at = at->parent) {
        for (const std::string &name : at->classes) {
            auto style = styles_.find(name);
            if (style != styles_.end() && style->second.background) return style->second.background;
        }
    }
    return std::nullopt;
}

// The background of the window's outermost panel fills the whole window,
// its margin included.
COLORREF Win32UiWindow::WindowBackground() const {
    for (const UiLayoutNode &child : layout_.children) {
        auto control = controls_.find(child.id);
        if (control == controls_.end()) continue;
        if (std::optional<UiColour> colour = StyleBackground(control->second)) return ToColorRef(*colour);
    }
    return kPlainBackground;
}

HBRUSH Win32UiWindow::Brush(COLORREF colour) {
    BrushHandle &brush = brushes_[colour];
    if (!brush) brush.reset(CreateSolidBrush(colour));
    return brush.get();
}

LRESULT Win32UiWindow::ColourControl(HDC dc, HWND from) {
    Win32Control *control = FromHandle(from);
    COLORREF under = WindowBackground();
    COLORREF colour = under;
    if (control != nullptr && control->background) {
        colour = Blend(*control->background, under);
    } else if (control != nullptr) {
        if (std::optional<UiColour> own = StyleBackground(*control)) colour = ToColorRef(*own);
    }
    if (control != nullptr) {
        for (const std::string &name : control->classes) {
            auto style = styles_.find(name);
            if (style != styles_.end() && style->second.foreground) {
                SetTextColor(dc, ToColorRef(*style->second.foreground));
            }
        }
    }
    SetBkColor(dc, colour);
    return reinterpret_cast<LRESULT>(Brush(colour));
}

void Win32UiWindow::Fire(Win32Control &control, UiEvent event) {
    auto found = control.handlers.find(event);
    if (found == control.handlers.end()) return;
    // Copied, so that a handler may connect further handlers.
    std::vector<std::function<void()>> toRun = found->second;
    for (const auto &handler : toRun) Run(handler);
}

void Win32UiWindow::Run(const std::function<void()> &action) noexcept {
    try {
        action();
    } catch (...) {
        if (!failure_) failure_ = std::current_exception();
        Close();
    }
}

std::unique_ptr<UiWindow> CreateWin32Window(std::string_view layout, std::string_view css) {
    auto window = std::make_unique<Win32UiWindow>(layout, css);
    if (!window->Created()) return nullptr;
    return window;
}

}  // namespace ZavorPlatform
