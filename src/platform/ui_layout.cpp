#include "platform/ui_layout.h"

#include <algorithm>
#include <charconv>

#include <pugixml.hpp>

namespace ZavorPlatform {
namespace {

std::string PropertyName(std::string name) {
    std::replace(name.begin(), name.end(), '_', '-');
    return name;
}

int ParseNumber(std::string_view text, std::string_view what) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        throw UiLayoutError("Layout: \"" + std::string(text) + "\" ist keine Zahl (" + std::string(what) + ")");
    }
    return value;
}

UiLayoutNode ReadNode(const pugi::xml_node &object, std::set<std::string, std::less<>> &ids) {
    UiLayoutNode node;
    node.kind = object.attribute("class").value();
    node.id = object.attribute("id").value();
    if (!node.id.empty() && !ids.insert(node.id).second) {
        throw UiLayoutError("Layout: doppelte Kennung \"" + node.id + "\"");
    }
    for (pugi::xml_node property : object.children("property")) {
        node.properties[PropertyName(property.attribute("name").value())] = property.child_value();
    }
    for (pugi::xml_node item : object.child("items").children("item")) {
        node.items.emplace_back(item.attribute("id").value(), item.child_value());
    }
    for (pugi::xml_node styleClass : object.child("style").children("class")) {
        node.styleClasses.insert(styleClass.attribute("name").value());
    }
    for (pugi::xml_node child : object.children("child")) {
        pugi::xml_node inner = child.child("object");
        if (!inner) continue;
        UiLayoutNode placed = ReadNode(inner, ids);
        for (pugi::xml_node packing : child.child("packing").children("property")) {
            std::string name = PropertyName(packing.attribute("name").value());
            std::string_view value = packing.child_value();
            if (name == "left-attach") placed.column = ParseNumber(value, name);
            if (name == "top-attach") placed.row = ParseNumber(value, name);
            if (name == "width") placed.columnSpan = std::max(1, ParseNumber(value, name));
            if (name == "height") placed.rowSpan = std::max(1, ParseNumber(value, name));
        }
        node.children.push_back(std::move(placed));
    }
    return node;
}

// Sizes and places the tree as GTK would with default alignment (every
// control fills its share); expanding is inherited from what a container
// holds, as in GTK.
class Placer {
public:
    Placer(const UiMeasure &measure, const UiShown &shown, std::map<std::string, UiRect, std::less<>> &places)
        : measure_(measure), shown_(shown), places_(places) {}

    UiSize Natural(const UiLayoutNode &node) const {
        UiSize size;
        if (node.kind == "GtkWindow") {
            for (const UiLayoutNode &child : node.children) {
                if (shown_(child)) size = Natural(child);
            }
        } else if (node.kind == "GtkBox") {
            bool vertical = node.Property("orientation") == "vertical";
            int spacing = node.Number("spacing", 0);
            int count = 0;
            for (const UiLayoutNode &child : node.children) {
                if (!shown_(child)) continue;
                UiSize inner = Natural(child);
                int gap = count++ > 0 ? spacing : 0;
                size = vertical ? UiSize{std::max(size.width, inner.width), size.height + gap + inner.height}
                                : UiSize{size.width + gap + inner.width, std::max(size.height, inner.height)};
            }
        } else if (node.kind == "GtkGrid") {
            std::vector<int> columns = Lines(node, true);
            std::vector<int> rows = Lines(node, false);
            size = {Total(columns, node.Number("column-spacing", 0)), Total(rows, node.Number("row-spacing", 0))};
        } else {
            size = measure_(node);
        }
        return {std::max(size.width, node.Number("width-request", 0)),
                std::max(size.height, node.Number("height-request", 0))};
    }

    void Place(const UiLayoutNode &node, UiRect rect) {
        if (!node.id.empty()) places_[node.id] = rect;
        if (node.kind == "GtkWindow") {
            for (const UiLayoutNode &child : node.children) {
                if (shown_(child)) Place(child, rect);
            }
        } else if (node.kind == "GtkBox") {
            PlaceBox(node, rect);
        } else if (node.kind == "GtkGrid") {
            PlaceGrid(node, rect);
        }
    }

private:
    bool Expands(const UiLayoutNode &node, bool across) const {
        if (node.Flag(across ? "hexpand" : "vexpand")) return true;
        return std::any_of(node.children.begin(), node.children.end(),
                           [&](const UiLayoutNode &child) { return shown_(child) && Expands(child, across); });
    }

    static int Total(const std::vector<int> &lines, int spacing) {
        int total = 0;
        for (int line : lines) total += line;
        return lines.empty() ? 0 : total + spacing * static_cast<int>(lines.size() - 1);
    }

    // Where a spanning cell's lack goes: to the last line it covers that
    // expands, as GTK prefers, or else shared among all its lines.
    static void Widen(std::vector<int> &lines, int expanding, int first, int span, int lack) {
        if (expanding >= 0) {
            lines[static_cast<std::size_t>(expanding)] += lack;
            return;
        }
        for (int i = 0; i < span; ++i) {
            lines[static_cast<std::size_t>(first + i)] += lack / span + (i < lack % span ? 1 : 0);
        }
    }

    int Widened(const UiLayoutNode &grid, bool across, int first, int span) const {
        for (int line = first + span - 1; line >= first; --line) {
            for (const UiLayoutNode &child : grid.children) {
                int start = across ? child.column : child.row;
                int width = across ? child.columnSpan : child.rowSpan;
                if (shown_(child) && start == line && width == 1 && Expands(child, across)) return line;
            }
        }
        return -1;
    }

    // Column widths (across) or row heights of a grid: single cells first,
    // then what the spanning cells lack.
    std::vector<int> Lines(const UiLayoutNode &grid, bool across) const {
        int spacing = grid.Number(across ? "column-spacing" : "row-spacing", 0);
        std::vector<int> lines;
        for (int pass = 0; pass < 2; ++pass) {
            for (const UiLayoutNode &child : grid.children) {
                if (!shown_(child)) continue;
                int first = across ? child.column : child.row;
                int span = across ? child.columnSpan : child.rowSpan;
                if ((span == 1) != (pass == 0)) continue;
                if (static_cast<int>(lines.size()) < first + span) {
                    lines.resize(static_cast<std::size_t>(first + span), 0);
                }
                UiSize natural = Natural(child);
                int wanted = across ? natural.width : natural.height;
                int have = spacing * (span - 1);
                for (int i = first; i < first + span; ++i) have += lines[static_cast<std::size_t>(i)];
                if (wanted > have) Widen(lines, Widened(grid, across, first, span), first, span, wanted - have);
            }
        }
        return lines;
    }

    // Shares out the room beyond the natural sizes among the expanding ones.
    static void Grow(std::vector<int> &sizes, const std::vector<bool> &expanding, int room) {
        int count = static_cast<int>(std::count(expanding.begin(), expanding.end(), true));
        if (room <= 0 || count == 0) return;
        int share = room / count;
        int left = room - share * count;  // to the last one
        for (std::size_t i = sizes.size(); i-- > 0;) {
            if (!expanding[i]) continue;
            sizes[i] += share + left;
            left = 0;
        }
    }

    void PlaceBox(const UiLayoutNode &box, UiRect rect) {
        bool vertical = box.Property("orientation") == "vertical";
        int spacing = box.Number("spacing", 0);
        std::vector<const UiLayoutNode *> shown;
        std::vector<int> sizes;
        std::vector<bool> expanding;
        int used = 0;
        for (const UiLayoutNode &child : box.children) {
            if (!shown_(child)) continue;
            UiSize natural = Natural(child);
            shown.push_back(&child);
            sizes.push_back(vertical ? natural.height : natural.width);
            expanding.push_back(Expands(child, !vertical));
            used += sizes.back() + (shown.size() > 1 ? spacing : 0);
        }
        Grow(sizes, expanding, (vertical ? rect.height : rect.width) - used);
        int at = vertical ? rect.y : rect.x;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            UiRect inner =
                vertical ? UiRect{rect.x, at, rect.width, sizes[i]} : UiRect{at, rect.y, sizes[i], rect.height};
            Place(*shown[i], inner);
            at += sizes[i] + spacing;
        }
    }

    void PlaceGrid(const UiLayoutNode &grid, UiRect rect) {
        int columnSpacing = grid.Number("column-spacing", 0);
        int rowSpacing = grid.Number("row-spacing", 0);
        std::vector<int> columns = Lines(grid, true);
        std::vector<int> rows = Lines(grid, false);
        std::vector<bool> wideColumns(columns.size(), false);
        std::vector<bool> tallRows(rows.size(), false);
        for (const UiLayoutNode &child : grid.children) {
            if (!shown_(child)) continue;
            if (Expands(child, true)) wideColumns[static_cast<std::size_t>(child.column + child.columnSpan - 1)] = true;
            if (Expands(child, false)) tallRows[static_cast<std::size_t>(child.row + child.rowSpan - 1)] = true;
        }
        Grow(columns, wideColumns, rect.width - Total(columns, columnSpacing));
        Grow(rows, tallRows, rect.height - Total(rows, rowSpacing));
        auto offset = [](const std::vector<int> &lines, int spacing, int index) {
            int at = 0;
            for (int i = 0; i < index; ++i) at += lines[static_cast<std::size_t>(i)] + spacing;
            return at;
        };
        for (const UiLayoutNode &child : grid.children) {
            if (!shown_(child)) continue;
            int x = offset(columns, columnSpacing, child.column);
            int y = offset(rows, rowSpacing, child.row);
            int width = offset(columns, columnSpacing, child.column + child.columnSpan) - x - columnSpacing;
            int height = offset(rows, rowSpacing, child.row + child.rowSpan) - y - rowSpacing;
            Place(child, {rect.x + x, rect.y + y, width, height});
        }
    }

    const UiMeasure &measure_;
    const UiShown &shown_;
    std::map<std::string, UiRect, std::less<>> &places_;
};

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::string_view(" \t\r\n").find(text.front()) != std::string_view::npos)
        text.remove_prefix(1);
    while (!text.empty() && std::string_view(" \t\r\n").find(text.back()) != std::string_view::npos)
        text.remove_suffix(1);
    return text;
}

std::optional<UiColour> FirstColour(std::string_view value) {
    std::size_t hash = value.find('#');
    if (hash == std::string_view::npos || hash + 7 > value.size()) return std::nullopt;
    unsigned int rgb = 0;
    auto [end, error] = std::from_chars(value.data() + hash + 1, value.data() + hash + 7, rgb, 16);
    if (error != std::errc() || end != value.data() + hash + 7) return std::nullopt;
    return UiColour{255, static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                    static_cast<std::uint8_t>(rgb)};
}

int Pixels(std::string_view block, std::string_view frame) {
    std::size_t at = block.find(frame);
    if (at == std::string_view::npos) return 0;
    std::size_t margin = block.find("margin-top:", at);
    if (margin == std::string_view::npos) return 0;
    std::string_view value = Trim(block.substr(margin + 11));
    int pixels = 0;
    std::from_chars(value.data(), value.data() + value.size(), pixels);
    return pixels;
}

// The body of the block that opens at text[open] ("{"), braces nested.
std::size_t BlockEnd(std::string_view text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (text[i] == '{') ++depth;
        if (text[i] == '}' && --depth == 0) return i;
    }
    return text.size();
}

}  // namespace

std::string UiLayoutNode::Property(std::string_view name, std::string_view fallback) const {
    auto found = properties.find(name);
    return found == properties.end() ? std::string(fallback) : found->second;
}

bool UiLayoutNode::Flag(std::string_view name, bool fallback) const {
    auto found = properties.find(name);
    if (found == properties.end()) return fallback;
    const std::string &value = found->second;
    return value == "True" || value == "true" || value == "TRUE" || value == "yes" || value == "1";
}

int UiLayoutNode::Number(std::string_view name, int fallback) const {
    auto found = properties.find(name);
    return found == properties.end() ? fallback : ParseNumber(found->second, name);
}

UiLayoutNode ParseUiLayout(std::string_view layout) {
    pugi::xml_document document;
    pugi::xml_parse_result parsed = document.load_buffer(layout.data(), layout.size());
    if (!parsed) throw UiLayoutError(std::string("Layout: ") + parsed.description());
    pugi::xpath_node window = document.select_node("//object[@class='GtkWindow'][@id='Fenster']");
    if (!window) throw UiLayoutError("Layout: kein Fenster \"Fenster\"");
    std::set<std::string, std::less<>> ids;
    return ReadNode(window.node(), ids);
}

void ForEachUiNode(const UiLayoutNode &root, const std::function<void(const UiLayoutNode &)> &visit) {
    if (!root.id.empty()) visit(root);
    for (const UiLayoutNode &child : root.children) ForEachUiNode(child, visit);
}

std::map<std::string, UiRect, std::less<>> PlaceUiLayout(const UiLayoutNode &window, UiSize client, int margin,
                                                         const UiMeasure &measure, const UiShown &shown) {
    std::map<std::string, UiRect, std::less<>> places;
    Placer placer(measure, shown, places);
    placer.Place(window, {margin, margin, client.width - 2 * margin, client.height - 2 * margin});
    places[window.id] = {0, 0, client.width, client.height};
    return places;
}

std::map<std::string, UiStyle, std::less<>> ParseUiStyles(std::string_view css) {
    std::map<std::string, UiStyle, std::less<>> styles;
    std::map<std::string, std::pair<int, int>, std::less<>> scrolls;  // keyframes: from and to margin
    std::vector<std::pair<std::string, std::string>> animations;  // class, "name 90s ..."
    std::string text(css);
    for (std::size_t open = text.find("/*"); open != std::string::npos; open = text.find("/*", open)) {
        std::size_t close = text.find("*/", open + 2);
        text.erase(open, close == std::string::npos ? std::string::npos : close + 2 - open);
    }
    std::string_view rest = text;
    while (true) {
        std::size_t open = rest.find('{');
        if (open == std::string_view::npos) break;
        std::size_t close = BlockEnd(rest, open);
        std::string_view selector = Trim(rest.substr(0, open));
        std::string_view body = rest.substr(open + 1, close - std::min(close, open + 1));
        rest.remove_prefix(std::min(rest.size(), close + 1));
        if (selector.substr(0, 11) == "@keyframes ") {
            scrolls[std::string(Trim(selector.substr(11)))] = {Pixels(body, "from"), Pixels(body, "to")};
            continue;
        }
        std::vector<std::string> classes;
        bool plain = true;
        for (std::size_t start = 0; start <= selector.size();) {
            std::size_t comma = std::min(selector.find(',', start), selector.size());
            std::string_view one = Trim(selector.substr(start, comma - start));
            plain = plain && one.size() > 1 && one[0] == '.' &&
                    one.find_first_of(" :.>#[", 1) == std::string_view::npos;
            classes.emplace_back(one.substr(1));
            start = comma + 1;
        }
        if (!plain) continue;
        for (std::size_t start = 0; start < body.size();) {
            std::size_t end = std::min(body.find(';', start), body.size());
            std::string_view declaration = body.substr(start, end - start);
            start = end + 1;
            std::size_t colon = declaration.find(':');
            if (colon == std::string_view::npos) continue;
            std::string_view name = Trim(declaration.substr(0, colon));
            std::string_view value = Trim(declaration.substr(colon + 1));
            for (const std::string &name_ : classes) {
                UiStyle &style = styles[name_];
                if (name == "background-color" || (name == "background-image" && !style.background)) {
                    if (auto colour = FirstColour(value)) style.background = colour;
                }
                if (name == "color") style.foreground = FirstColour(value);
                if (name == "font-weight") style.bold = value == "bold";
                if (name == "animation") animations.emplace_back(name_, value);
            }
        }
    }
    for (const auto &[styleClass, value] : animations) {
        std::string_view animation = value;
        std::size_t blank = animation.find(' ');
        auto scroll = scrolls.find(animation.substr(0, blank));
        if (scroll == scrolls.end() || scroll->second.first == scroll->second.second) continue;
        std::string_view duration =
            blank == std::string_view::npos ? std::string_view() : Trim(animation.substr(blank));
        int seconds = 0;
        std::from_chars(duration.data(), duration.data() + duration.size(), seconds);
        UiStyle &style = styles[styleClass];
        style.scrollSeconds = seconds;
        style.scrollFrom = scroll->second.first;
        style.scrollTo = scroll->second.second;
    }
    return styles;
}

}  // namespace ZavorPlatform
