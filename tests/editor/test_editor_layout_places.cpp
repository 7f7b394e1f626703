// The editor's layout read and placed without GTK, as the Windows window
// builds it: every control of the shown panels lies inside the window,
// none on top of another, hidden panels take no room; and what the style
// sheet says that a plain window can show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/editor_layout.h"
#include "platform/ui_layout.h"

namespace {

using ZavorPlatform::UiLayoutNode;
using ZavorPlatform::UiRect;
using ZavorPlatform::UiSize;

// Sizes in the spirit of a 9-point dialog font: 6 pixels a character, 15 a
// line.
UiSize Measure(const UiLayoutNode &node) {
    auto textWidth = [](const std::string &text) {
        int widest = 0;
        int current = 0;
        for (char c : text) {
            if (c == '\n') current = 0;
            else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) widest = std::max(widest, current += 6);
        }
        return widest;
    };
    std::string label = node.Property("label");
    int lines = 1 + static_cast<int>(std::count(label.begin(), label.end(), '\n'));
    if (node.kind == "GtkLabel") return {textWidth(label), 15 * lines};
    if (node.kind == "GtkEntry") return {96, 23};
    if (node.kind == "GtkButton") return {textWidth(label) + 24, 27};
    if (node.kind == "GtkCheckButton") return {textWidth(label) + 21, 19};
    if (node.kind == "GtkComboBoxText") return {130, 25};
    return {};
}

struct Placed {
    std::map<std::string, UiRect, std::less<>> places;
    std::vector<std::string> leaves;  // placed controls that are no box or grid
};

Placed Place(const UiLayoutNode &window, const std::map<std::string, bool> &visibility) {
    auto shown = [&](const UiLayoutNode &node) {
        auto found = visibility.find(node.id);
        return found != visibility.end() ? found->second : node.Flag("visible");
    };
    Placed placed;
    placed.places = ZavorPlatform::PlaceUiLayout(window, {476, 403}, 12, Measure, shown);
    ZavorPlatform::ForEachUiNode(window, [&](const UiLayoutNode &node) {
        if (!node.IsContainer() && placed.places.count(node.id) != 0) placed.leaves.push_back(node.id);
    });
    return placed;
}

const UiLayoutNode &Node(const UiLayoutNode &window, const std::string &id) {
    const UiLayoutNode *found = nullptr;
    ZavorPlatform::ForEachUiNode(window, [&](const UiLayoutNode &node) {
        if (node.id == id) found = &node;
    });
    if (found == nullptr) throw std::logic_error("no node " + id);
    return *found;
}

bool Overlap(const UiRect &a, const UiRect &b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

TEST(EditorLayoutPlaces, EachActionsPanelFitsTheWindowWithoutOverlaps) {
    UiLayoutNode window = ZavorPlatform::ParseUiLayout(ZavorPlugin::EditorLayout());
    EXPECT_EQ(window.Property("title"), "ZQ-PDF");
    const char *panels[] = {nullptr, "grid_neueseite", "grid_farbe", "grid_pdfspeichern"};
    for (const char *panel : panels) {
        std::map<std::string, bool> visibility;
        if (panel != nullptr) visibility[panel] = true;
        Placed placed = Place(window, visibility);
        for (const char *other : panels) {
            if (other != nullptr && other != panel) {
                EXPECT_EQ(placed.places.count(other), 0u) << other;
            }
        }
        for (std::size_t i = 0; i < placed.leaves.size(); ++i) {
            const UiRect &a = placed.places[placed.leaves[i]];
            EXPECT_GT(a.width, 0) << placed.leaves[i];
            EXPECT_GT(a.height, 0) << placed.leaves[i];
            EXPECT_TRUE(a.x >= 12 && a.y >= 12 && a.x + a.width <= 464 && a.y + a.height <= 391) << placed.leaves[i];
            for (std::size_t j = i + 1; j < placed.leaves.size(); ++j) {
                EXPECT_FALSE(Overlap(a, placed.places[placed.leaves[j]]))
                    << placed.leaves[i] << " " << placed.leaves[j];
            }
        }
        // The buttons close the window at its foot, O.K. first, Abbruch last;
        // the two expanding ones share the room beside the credits button
        // equally, on top of what their captions need.
        const UiRect &ok = placed.places["button_ok"];
        const UiRect &credits = placed.places["button_credits"];
        const UiRect &cancel = placed.places["button_abbruch"];
        EXPECT_EQ(ok.y + ok.height, 391);
        EXPECT_TRUE(ok.x < credits.x && credits.x < cancel.x);
        EXPECT_EQ(ok.x, 12);
        EXPECT_EQ(cancel.x + cancel.width, 464);
        int okGrew = ok.width - Measure(Node(window, "button_ok")).width;
        int cancelGrew = cancel.width - Measure(Node(window, "button_abbruch")).width;
        EXPECT_GT(okGrew, 100);
        EXPECT_LE(std::abs(okGrew - cancelGrew), 1);
        EXPECT_EQ(credits.width, Measure(Node(window, "button_credits")).width);
    }
}

TEST(EditorLayoutPlaces, GridCellsLineUpAndSpansCoverTheirColumns) {
    UiLayoutNode window = ZavorPlatform::ParseUiLayout(ZavorPlugin::EditorLayout());
    Placed placed = Place(window, {{"grid_farbe", true}});
    auto &at = placed.places;
    EXPECT_EQ(at["tb_alpha"].x, at["tb_blau"].x);
    EXPECT_EQ(at["label_gruen"].y, at["tb_gruen"].y);
    EXPECT_EQ(at["cb_fill"].x, at["label_alpha"].x);
    EXPECT_EQ(at["cb_fill"].x + at["cb_fill"].width, at["grid_vorschau"].x + at["grid_vorschau"].width);
    // The preview spans the rows of red to blue.
    EXPECT_EQ(at["grid_vorschau"].y, at["tb_rot"].y);
    EXPECT_EQ(at["grid_vorschau"].y + at["grid_vorschau"].height, at["tb_blau"].y + at["tb_blau"].height);
    EXPECT_GE(at["grid_vorschau"].width, 120);

    // While the credits run, their text fills the window above the empty
    // button row.
    Placed credits = Place(window, {{"grid_aktion", false}, {"grid_mitte", false}, {"grid_credits", true},
                                    {"button_ok", false}, {"button_abbruch", false}, {"button_credits", false}});
    EXPECT_EQ(credits.leaves, std::vector<std::string>{"label_credits"});
    EXPECT_LT(credits.places["label_credits"].y, 30);
    EXPECT_GT(credits.places["label_credits"].height, 300);
}

TEST(EditorLayoutPlaces, StyleSheetGivesColoursBoldTextAndTheScrollingCredits) {
    auto styles = ZavorPlatform::ParseUiStyles(ZavorPlugin::EditorCss());
    using ZavorPlatform::UiColour;
    EXPECT_EQ(styles[std::string(ZavorPlugin::kBlackBackground)].background, (UiColour{255, 0, 0, 0}));
    EXPECT_EQ(styles[std::string(ZavorPlugin::kRotatingBackground)].background, (UiColour{255, 0xdf, 0xe8, 0xf4}));
    EXPECT_EQ(styles["abspann"].foreground, (UiColour{255, 255, 255, 0}));
    EXPECT_TRUE(styles["abspann"].bold);
    const auto &rolling = styles[std::string(ZavorPlugin::kCreditsRolling)];
    EXPECT_EQ(rolling.scrollSeconds, 90);
    EXPECT_EQ(rolling.scrollFrom, 200);
    EXPECT_EQ(rolling.scrollTo, 0);
    // Focus colours need GTK's states; the turning background is no scroll.
    EXPECT_FALSE(styles["farbfeld-rot"].background);
    EXPECT_EQ(styles[std::string(ZavorPlugin::kRotatingBackground)].scrollSeconds, 0);
}

TEST(EditorLayoutPlaces, BrokenLayoutsAreRefusedWithTheirReason) {
    struct Case {
        const char *layout;
        const char *message;
    };
    const Case cases[] = {
        {"<interface><object", "Layout: Error parsing start element tag"},
        {"<interface><object class=\"GtkWindow\" id=\"Anders\"/></interface>", "Layout: kein Fenster \"Fenster\""},
        {"<interface><object class=\"GtkWindow\" id=\"Fenster\"><child><object class=\"GtkLabel\" id=\"a\"/></child>"
         "<child><object class=\"GtkLabel\" id=\"a\"/></child></object></interface>",
         "Layout: doppelte Kennung \"a\""},
        {"<interface><object class=\"GtkWindow\" id=\"Fenster\"><child><object class=\"GtkLabel\" id=\"a\"/>"
         "<packing><property name=\"left_attach\">eins</property></packing></child></object></interface>",
         "Layout: \"eins\" ist keine Zahl (left-attach)"},
    };
    for (const Case &test : cases) {
        try {
            ZavorPlatform::ParseUiLayout(test.layout);
            ADD_FAILURE() << test.layout;
        } catch (const ZavorPlatform::UiLayoutError &error) {
            EXPECT_STREQ(error.what(), test.message);
        }
    }
}

}  // namespace
