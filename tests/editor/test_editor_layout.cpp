// The window's layout text as the user sees it: identifiers, captions and
// list entries byte for byte.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "editor/editor_layout.h"
#include "platform/ui_fake_window.h"

namespace {

using ZavorPlatform::FakeControl;
using ZavorPlatform::FakeUiWindow;

class EditorLayoutTest : public ::testing::Test {
protected:
    FakeUiWindow window{ZavorPlugin::EditorLayout(), {}};
};

TEST_F(EditorLayoutTest, CaptionsAreTheUsersTexts) {
    struct Case {
        const char *control;
        const char *kind;
        std::u16string caption;
    };
    const Case cases[] = {
        {"label_aktion", "GtkLabel", u"Bitte Aktion w\u00E4hlen:"},
        {"label_alpha", "GtkLabel", u"Alpha:"},
        {"label_rot", "GtkLabel", u"Rot:"},
        {"label_gruen", "GtkLabel", u"Gr\u00FCn:"},
        {"label_blau", "GtkLabel", u"Blau:"},
        {"cb_fill", "GtkCheckButton", u"Objekte mit Farbe f\u00FCllen"},
        {"label_vorschau", "GtkLabel", u"Farbvorschau:"},
        {"label_vorlage", "GtkLabel", u"Seitenvorlage:"},
        {"label_breite", "GtkLabel", u"Breite:"},
        {"label_hoehe", "GtkLabel", u"H\u00F6he:"},
        {"cb_quer", "GtkCheckButton", u"Querformat"},
        {"label_hinweis", "GtkLabel",
         u"Bei Angabe einer g\u00FCltigen Seitenvorlage, werden Breite und H\u00F6he ignoriert!\n"
         u"Achtung: Bei Verwendung von [Variablen] f\u00FCr Seitenvorlage, muss f\u00FCr\n"
         u"exotische Formate (alle au\u00DFer A0-A5 und B0-B5), X1-X21 verwendet\n"
         u"werden (Z\u00E4hlung wie in Liste sortiert, Kanzleipapier ist z.B. X2)"},
        {"label_zieldatei", "GtkLabel", u"Zieldatei:"},
        {"button_dirsel", "GtkButton", u"..."},
        {"cb_anzeigen", "GtkCheckButton", u"PDF nach Speichern anzeigen"},
        {"label_achtung", "GtkLabel", u"Achtung: Die Zieldatei wird ohne Nachfrage \u00FCberschrieben!"},
        {"button_ok", "GtkButton", u"O.K."},
        {"button_abbruch", "GtkButton", u"Abbruch"},
        {"button_credits", "GtkButton", u"Credits"},
    };
    EXPECT_EQ(window.Title(), u"ZQ-PDF");
    for (const Case &test : cases) {
        EXPECT_EQ(window.Control(test.control).caption, test.caption) << test.control;
        EXPECT_EQ(window.Control(test.control).kind, test.kind) << test.control;
    }
    EXPECT_EQ(window.Control("button_dirsel").tooltip, u"Zieldatei w\u00E4hlen");
    for (const char *box : {"tb_alpha", "tb_rot", "tb_gruen", "tb_blau", "tb_breite", "tb_hoehe", "tb_filename"}) {
        EXPECT_EQ(window.Control(box).kind, "GtkEntry") << box;
    }
}

TEST_F(EditorLayoutTest, ListEntriesInTheirOrder) {
    const FakeControl &actions = window.Control("cb_aktion");
    ASSERT_EQ(actions.entries.size(), 4u);
    EXPECT_EQ(actions.selected, 0);
    EXPECT_FALSE(actions.editable);
    const std::u16string actionCaptions[] = {u"Neues PDF erstellen", u"Neue Seite hinzuf\u00FCgen",
                                             u"Zeichenfarbe festlegen", u"PDF speichern"};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(actions.entries[i].caption, actionCaptions[i]);

    const FakeControl &templates = window.Control("cb_vorlage");
    EXPECT_TRUE(templates.editable);
    EXPECT_EQ(templates.selected, -1);
    std::string ids;
    std::u16string captions;
    for (const auto &entry : templates.entries) {
        ids += entry.id + " ";
        captions += entry.caption + u" ";
    }
    EXPECT_EQ(ids, "A0 A1 A2 A3 A4 A5 B0 B1 B2 B3 B4 B5 X1 X2 X3 X4 X5 X6 X7 X8 X9 X10 X11 X12 X13 X14 X15 X16 X17 "
                   "X18 X19 X20 X21 ");
    EXPECT_EQ(captions, u"A0 A1 A2 A3 A4 A5 B0 B1 B2 B3 B4 B5 Quart Kanzleipapier Executive GovernmentLetter Letter "
                        u"Legal Ledger Tabloid Post Crown LargePost Demy Medium Royal Elephant DoubleDemy QuadDemy "
                        u"STMT Folio Statement 10x14 ");
}

TEST_F(EditorLayoutTest, OnlyTheMainPanelsShowAtStart) {
    for (const char *shown : {"grid_aktion", "grid_mitte", "button_ok", "button_abbruch", "button_credits"}) {
        EXPECT_TRUE(window.Visible(shown)) << shown;
    }
    for (const char *hidden : {"grid_farbe", "grid_neueseite", "grid_pdfspeichern", "grid_credits"}) {
        EXPECT_FALSE(window.Visible(hidden)) << hidden;
    }
}

TEST(FakeWindowTest, RefusesWhatTheLayoutLacks) {
    FakeUiWindow window(ZavorPlugin::EditorLayout(), {});
    struct Case {
        std::function<void()> action;
        std::string message;
    };
    const Case cases[] = {
        {[&] { window.Text("tb_nichtda"); }, "unknown control \"tb_nichtda\""},
        {[&] { window.Checked("tb_rot"); }, "control \"tb_rot\" is a GtkEntry"},
        {[&] { window.Text("cb_aktion"); }, "\"cb_aktion\" has no text"},
        {[&] { window.Select("cb_aktion", 4); }, "no entry 4 in \"cb_aktion\""},
        {[&] { window.Connect("cb_quer", ZavorPlatform::UiEvent::Clicked, [] {}); },
         "control \"cb_quer\" has no such event"},
    };
    for (const Case &test : cases) {
        try {
            test.action();
            ADD_FAILURE() << test.message;
        } catch (const ZavorPlatform::UiControlError &error) {
            EXPECT_EQ(error.what(), test.message);
        }
    }
    EXPECT_THROW(FakeUiWindow("<interface><object", {}), ZavorPlatform::UiLayoutError);
    EXPECT_THROW(FakeUiWindow("<interface/>", {}), ZavorPlatform::UiLayoutError);
}

}  // namespace
