#include "platform/win32/win32_controls.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "platform/code_page.h"

namespace ZavorPlatform {
namespace {

// Static controls break lines only at CR LF.
std::wstring LabelText(std::string_view utf8) {
    std::wstring text;
    for (wchar_t c : Utf8ToWide(utf8)) {
        if (c == L'\n') text += L'\r';
        text += c;
    }
    return text;
}

HWND Make(const wchar_t *windowClass, const std::wstring &text, DWORD style, DWORD extendedStyle, HWND parent,
          int id, HINSTANCE module) {
    HWND control = CreateWindowExW(extendedStyle, windowClass, text.c_str(), WS_CHILD | style, 0, 0, 0, 0, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), module, nullptr);
    if (control == nullptr) {
        throw UiLayoutError("Layout: Steuerelement kann nicht erstellt werden (Fehler " +
                            std::to_string(GetLastError()) + ")");
    }
    return control;
}

HWND MakeComboBox(const UiLayoutNode &node, HWND parent, int id, HINSTANCE module) {
    DWORD kind = node.Flag("has-entry") ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST;
    HWND combo = Make(L"COMBOBOX", L"", kind | WS_VSCROLL | WS_TABSTOP, 0, parent, id, module);
    for (const auto &[itemId, caption] : node.items) {
        std::wstring text = Utf8ToWide(caption);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    int active = node.Number("active", -1);
    if (active >= 0 && active < static_cast<int>(node.items.size())) SendMessageW(combo, CB_SETCURSEL, active, 0);
    return combo;
}

std::string UnknownKind(const UiLayoutNode &node) {
    return "Layout: \"" + node.id + "\" ist ein " + node.kind + ", das dieses Fenster nicht kennt";
}

// The extent of a text in the font, lines broken at line feeds.
SIZE TextExtent(HDC dc, const std::wstring &text) {
    RECT bounds{0, 0, 0, 0};
    DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &bounds, DT_CALCRECT | DT_NOPREFIX | DT_LEFT);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

}  // namespace

std::wstring ToWide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::wstring Utf8ToWide(std::string_view utf8) { return ToWide(Utf8ToUtf16(utf8)); }

std::u16string FromWide(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

std::wstring WindowText(HWND window) {
    std::vector<wchar_t> buffer(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    int length = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), static_cast<std::size_t>(std::max(length, 0)));
}

FontHandle DialogFont(bool bold) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font = metrics.lfMessageFont;
    } else {
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    }
    if (bold) {
        font.lfWeight = FW_BOLD;
        font.lfHeight = font.lfHeight * 3 / 2;
    }
    return FontHandle(CreateFontIndirectW(&font));
}

HWND CreateControl(const UiLayoutNode &node, HWND parent, int id, HINSTANCE module) {
    const std::string &kind = node.kind;
    if (kind == "GtkLabel") {
        std::string label = node.Property("label");
        DWORD align = node.Property("justify") == "center" ? SS_CENTER : SS_LEFT;
        // One line stands in the middle of its row, beside a taller box.
        if (label.find('\n') == std::string::npos) align |= SS_CENTERIMAGE;
        return Make(L"STATIC", LabelText(label), align | SS_NOPREFIX, 0, parent, id, module);
    }
    if (kind == "GtkEntry") {
        return Make(L"EDIT", Utf8ToWide(node.Property("text")), ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
                    parent, id, module);
    }
    if (kind == "GtkButton") {
        return Make(L"BUTTON", Utf8ToWide(node.Property("label")), BS_PUSHBUTTON | WS_TABSTOP, 0, parent, id, module);
    }
    if (kind == "GtkCheckButton") {
        HWND check = Make(L"BUTTON", Utf8ToWide(node.Property("label")), BS_AUTOCHECKBOX | WS_TABSTOP, 0, parent, id,
                          module);
        if (node.Flag("active")) SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
        return check;
    }
    if (kind == "GtkComboBoxText") return MakeComboBox(node, parent, id, module);
    // A frame holds nothing here but its own background (the colour preview).
    if (kind == "GtkFrame") return Make(L"STATIC", L"", WS_BORDER, 0, parent, id, module);
    throw UiLayoutError(UnknownKind(node));
}

void CheckControlKinds(const UiLayoutNode &root) {
    static const std::string_view known[] = {"GtkLabel", "GtkEntry", "GtkButton", "GtkCheckButton", "GtkComboBoxText",
                                             "GtkFrame"};
    ForEachUiNode(root, [](const UiLayoutNode &node) {
        if (!node.IsContainer() && std::find(std::begin(known), std::end(known), node.kind) == std::end(known)) {
            throw UiLayoutError(UnknownKind(node));
        }
    });
}

void AddToolTip(const UiLayoutNode &node, HWND control, HWND parent, HINSTANCE module) {
    std::string tip = node.Property("tooltip-text");
    if (tip.empty()) return;
    HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, module, nullptr);
    if (tips == nullptr) return;  // decoration: the window works without it
    std::wstring text = Utf8ToWide(tip);
    TTTOOLINFOW info{};
    // The oldest layout every version of the common controls accepts.
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = parent;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = text.data();
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

UiSize MeasureControl(const UiLayoutNode &node, HFONT font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    int line = metrics.tmHeight;
    int average = metrics.tmAveCharWidth;
    UiSize size;
    if (node.kind == "GtkLabel") {
        SIZE text = TextExtent(dc, Utf8ToWide(node.Property("label")));
        size = {static_cast<int>(text.cx), static_cast<int>(text.cy)};
    } else if (node.kind == "GtkEntry") {
        size = {average * 16, line + 8};
    } else if (node.kind == "GtkButton") {
        size = {static_cast<int>(TextExtent(dc, Utf8ToWide(node.Property("label"))).cx) + 24, line + 12};
    } else if (node.kind == "GtkCheckButton") {
        int box = GetSystemMetrics(SM_CXMENUCHECK);
        size = {static_cast<int>(TextExtent(dc, Utf8ToWide(node.Property("label"))).cx) + box + 8,
                std::max(line, box) + 4};
    } else if (node.kind == "GtkComboBoxText") {
        int widest = average * 8;
        for (const auto &item : node.items) {
            widest = std::max(widest, static_cast<int>(TextExtent(dc, Utf8ToWide(item.second)).cx));
        }
        size = {widest + GetSystemMetrics(SM_CXVSCROLL) + 12, line + 10};
    }
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return size;
}

}  // namespace ZavorPlatform
