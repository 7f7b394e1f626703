// Win32 controls for the GtkBuilder objects of a layout, their natural
// sizes, and the GDI handles they need, each owned by a small RAII type.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/ui_layout.h"

namespace ZavorPlatform {

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, DeleteGdiObject>;
using BrushHandle = std::unique_ptr<std::remove_pointer_t<HBRUSH>, DeleteGdiObject>;

struct DestroyWindowHandle {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, DestroyWindowHandle>;

// wchar_t is UTF-16 on Windows: the conversions only change the type.
std::wstring ToWide(std::u16string_view text);
std::wstring Utf8ToWide(std::string_view utf8);
std::u16string FromWide(std::wstring_view text);
std::wstring WindowText(HWND window);

// The system's dialog font, and the same in bold and larger for texts that
// the style sheet sets bold.
FontHandle DialogFont(bool bold);

// Throws UiLayoutError when the layout holds a kind of control that
// CreateControl cannot make.
void CheckControlKinds(const UiLayoutNode &root);

// The child control for a node that is not a container: GtkLabel, GtkEntry,
// GtkButton, GtkCheckButton, GtkComboBoxText or GtkFrame, with its caption,
// entries and initial state, hidden. Throws UiLayoutError for another kind
// or when the control cannot be made.
HWND CreateControl(const UiLayoutNode &node, HWND parent, int id, HINSTANCE module);

// A tool tip for the control, when the node has one.
void AddToolTip(const UiLayoutNode &node, HWND control, HWND parent, HINSTANCE module);

// The size a control needs for its caption or entries in the font.
UiSize MeasureControl(const UiLayoutNode &node, HFONT font);

// The drop-down part below a combo box's own height.
inline constexpr int kDropDownHeight = 240;

}  // namespace ZavorPlatform
