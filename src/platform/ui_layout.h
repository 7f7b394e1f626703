// The window's layout text (GtkBuilder XML) and style sheet read into plain
// data, and the controls placed in the window's client area: what a system
// without GTK needs to build the same window from the same text.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ui_window.h"

namespace ZavorPlatform {

struct UiLayoutNode {
    std::string kind;  // the GTK class named in the layout
    std::string id;
    std::map<std::string, std::string, std::less<>> properties;  // UTF-8, "-" in names
    std::vector<std::pair<std::string, std::string>> items;  // list entries: id, caption
    std::set<std::string, std::less<>> styleClasses;
    // The cell of a grid's child.
    int column = 0;
    int row = 0;
    int columnSpan = 1;
    int rowSpan = 1;
    std::vector<UiLayoutNode> children;

    std::string Property(std::string_view name, std::string_view fallback = {}) const;
    bool Flag(std::string_view name, bool fallback = false) const;
    int Number(std::string_view name, int fallback) const;
    bool IsContainer() const { return kind == "GtkWindow" || kind == "GtkBox" || kind == "GtkGrid"; }
};

// The toplevel GtkWindow with the identifier "Fenster" and everything in it.
// Throws UiLayoutError for text that is not well-formed, a missing window,
// a repeated identifier or a property that should be a number and is not.
UiLayoutNode ParseUiLayout(std::string_view layout);

// All nodes with an identifier, in document order.
void ForEachUiNode(const UiLayoutNode &root, const std::function<void(const UiLayoutNode &)> &visit);

struct UiSize {
    int width = 0;
    int height = 0;
    bool operator==(const UiSize &) const = default;
};

struct UiRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const UiRect &) const = default;
};

// The natural size of a control that is not a container, and whether a
// node is shown (its own flag; a hidden container hides what it holds).
using UiMeasure = std::function<UiSize(const UiLayoutNode &)>;
using UiShown = std::function<bool(const UiLayoutNode &)>;

// Places every shown control (containers too) inside the client area less
// the margin, as GTK does: boxes side by side or one above the other,
// grids in columns and rows, the room left over going to what expands.
// Hidden controls take no room and get no place.
std::map<std::string, UiRect, std::less<>> PlaceUiLayout(const UiLayoutNode &window, UiSize client, int margin,
                                                         const UiMeasure &measure, const UiShown &shown);

// What the style sheet's class rules say, as far as a plain window can show
// it: colours, bold letters, and a text scrolling from one top margin to
// another over some seconds (an animation of margin-top).
struct UiStyle {
    std::optional<UiColour> background;
    std::optional<UiColour> foreground;
    bool bold = false;
    int scrollSeconds = 0;
    int scrollFrom = 0;
    int scrollTo = 0;
};

// By class name. A gradient counts as its first colour. Rules that are not
// plain class selectors (element names, :focus) are left out.
std::map<std::string, UiStyle, std::less<>> ParseUiStyles(std::string_view css);

}  // namespace ZavorPlatform
