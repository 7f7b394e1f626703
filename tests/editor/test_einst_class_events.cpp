// What the user does in the editor: choosing, typing, confirming,
// cancelling, the file dialog and the credits.
#include <string>
#include <vector>

#include "editor_test_support.h"

namespace {

using ZavorPlatform::FakeUiWindow;
using ZavorPlatform::MessageBoxIcon;
using ZavorPlatform::MessageBoxMessage;
using ZavorPlatform::UiColour;
using ZavorPlatform::UiFileFilter;
using ZavorTest::RecordText;

const std::u16string kColourRecord =
    RecordText({u"<Settings>", u"  <ver>100</ver>", u"  <Typ>2</Typ>", u"  <Alpha>200</Alpha>", u"  <Rot>1</Rot>",
                u"  <Gruen>2</Gruen>", u"  <Blau>3</Blau>", u"  <Fuellen>true</Fuellen>", u"</Settings>"});

class EditorEventTest : public ZavorTest::EditorTest {};

TEST_F(EditorEventTest, UntouchedEditorWritesEmptyTextsAndFalse) {
    struct Case {
        int action;
        std::u16string record;
    };
    const Case cases[] = {
        {0, ZavorTest::kNewDocumentRecord},
        {1, RecordText({u"<Settings>", u"  <ver>100</ver>", u"  <Typ>1</Typ>", u"  <Format></Format>",
                        u"  <Breite></Breite>", u"  <Hoehe></Hoehe>", u"  <Quer>false</Quer>", u"</Settings>"})},
        {2, RecordText({u"<Settings>", u"  <ver>100</ver>", u"  <Typ>2</Typ>", u"  <Alpha></Alpha>", u"  <Rot></Rot>",
                        u"  <Gruen></Gruen>", u"  <Blau></Blau>", u"  <Fuellen>false</Fuellen>", u"</Settings>"})},
        {3, RecordText({u"<Settings>", u"  <ver>100</ver>", u"  <Typ>3</Typ>", u"  <PDFDatei></PDFDatei>",
                        u"  <PDFstarten>false</PDFstarten>", u"</Settings>"})},
    };
    for (const Case &test : cases) {
        std::u16string result = Show(u"", [&](FakeUiWindow &window) {
            window.Choose("cb_aktion", test.action);
            window.Click("button_ok");
        });
        EXPECT_EQ(result, test.record) << test.action;
    }
}

TEST_F(EditorEventTest, ControlsBecomeTheRecordOfTheChosenAction) {
    std::u16string result = Show(kColourRecord, [](FakeUiWindow &window) {
        window.Choose("cb_aktion", 3);
        window.Type("tb_filename", u"[Pfad]\\a.pdf");
        window.Click("cb_anzeigen");
        window.Click("button_ok");
    });
    EXPECT_EQ(result, RecordText({u"<Settings>", u"  <ver>100</ver>", u"  <Typ>3</Typ>",
                                  u"  <PDFDatei>[Pfad]\\a.pdf</PDFDatei>", u"  <PDFstarten>true</PDFstarten>",
                                  u"</Settings>"}));
    result = Show(u"", [](FakeUiWindow &window) {
        window.Choose("cb_aktion", 1);
        window.Choose("cb_vorlage", 4);
        window.TypeFreeText("cb_vorlage", u"[Format]");
        window.Type("tb_breite", u"595");
        window.Click("button_ok");
    });
    EXPECT_EQ(result, RecordText({u"<Settings>", u"  <ver>100</ver>", u"  <Typ>1</Typ>", u"  <Format>[Format]</Format>",
                                  u"  <Breite>595</Breite>", u"  <Hoehe></Hoehe>", u"  <Quer>false</Quer>",
                                  u"</Settings>"}));
}

TEST_F(EditorEventTest, CancelReturnsTheSettingsAsGiven) {
    auto changeEverything = [](FakeUiWindow &window) {
        window.Type("tb_rot", u"9");
        window.Click("cb_fill");
        window.Choose("cb_aktion", 0);
    };
    const std::u16string reordered = u"<Settings> <Typ>2</Typ><ver>100</ver><Fuellen>0</Fuellen></Settings>";
    EXPECT_EQ(Show(reordered,
                   [&](FakeUiWindow &window) {
                       changeEverything(window);
                       window.Click("button_abbruch");
                       EXPECT_TRUE(window.Closed());
                   }),
              reordered);
    EXPECT_EQ(ZavorPlugin::EinstClass::Settings_gb, 0);
    // The close box: the script ends without a button.
    EXPECT_EQ(Show(kColourRecord, changeEverything), kColourRecord);
    EXPECT_EQ(Show(u"", changeEverything), u"");
}

TEST_F(EditorEventTest, TypedCharactersAlwaysGoToTheEnd) {
    Show(u"", [](FakeUiWindow &window) {
        window.Type("tb_rot", u"25");
        EXPECT_EQ(window.Text("tb_rot"), u"25");
        window.SetText("tb_gruen", u"1");
        window.PlaceCaret("tb_gruen", 0);
        window.Type("tb_gruen", u"25");
        EXPECT_EQ(window.Text("tb_gruen"), u"125");
        EXPECT_EQ(window.Control("tb_gruen").caret, 3u);
        // Boxes outside the colour panel insert at the caret as usual.
        window.SetText("tb_breite", u"1");
        window.PlaceCaret("tb_breite", 0);
        window.Type("tb_breite", u"25");
        EXPECT_EQ(window.Text("tb_breite"), u"251");
    });
}

TEST_F(EditorEventTest, PreviewShowsTheTypedColourOrBlack) {
    Show(u"", [](FakeUiWindow &window) {
        window.Choose("cb_aktion", 2);
        window.Type("tb_alpha", u"255");
        window.Type("tb_rot", u"300");
        window.Type("tb_gruen", u"16");
        EXPECT_EQ(window.Control("grid_vorschau").background, (UiColour{255, 0, 0, 0}));  // blue still empty
        window.Type("tb_blau", u"-2");
        EXPECT_EQ(window.Control("grid_vorschau").background, (UiColour{255, 44, 16, 254}));
        window.Type("tb_blau", u"x");
        EXPECT_EQ(window.Text("tb_blau"), u"-2x");
        EXPECT_EQ(window.Control("grid_vorschau").background, (UiColour{255, 0, 0, 0}));
        // Deleting is no typing; leaving the alpha box refreshes.
        window.SetText("tb_blau", u"7");
        window.LeaveFocus("tb_alpha");
        EXPECT_EQ(window.Control("grid_vorschau").background, (UiColour{255, 44, 16, 7}));
    });
}

TEST_F(EditorEventTest, FileDialogFillsTheTargetFile) {
    Show(u"", [](FakeUiWindow &window) {
        window.Choose("cb_aktion", 3);
        window.Type("tb_filename", u"alt.pdf");
        window.saveFileAnswer = u"/home/anna/neu.pdf";
        window.Click("button_dirsel");
        EXPECT_EQ(window.Text("tb_filename"), u"/home/anna/neu.pdf");
        window.saveFileAnswer.reset();
        window.Click("button_dirsel");
        EXPECT_EQ(window.Text("tb_filename"), u"/home/anna/neu.pdf");

        ASSERT_EQ(window.saveFileRequests.size(), 2u);
        const ZavorPlatform::UiSaveFileRequest &request = window.saveFileRequests[0];
        EXPECT_EQ(request.title, u"Bitte Zielname der PDF w\u00E4hlen!");
        EXPECT_EQ(request.filters, (std::vector<UiFileFilter>{{u"PDF Dateien (*.pdf)", u"*.pdf"},
                                                              {u"Alle Dateien (*.*)", u"*.*"}}));
        EXPECT_EQ(request.initialName, u"alt.pdf");
        EXPECT_TRUE(request.confirmOverwrite);
        EXPECT_EQ(window.saveFileRequests[1].initialName, u"/home/anna/neu.pdf");
    });
}

TEST_F(EditorEventTest, CreditsCoverTheWindowUntilAMouseButtonIsReleased) {
    const char *const mainControls[] = {"grid_mitte", "grid_aktion", "button_ok", "button_abbruch", "button_credits"};
    Show(kColourRecord, [&](FakeUiWindow &window) {
        window.ReleaseMouse();  // nothing to end yet
        EXPECT_FALSE(window.Visible("grid_credits"));
        window.Click("button_credits");
        EXPECT_TRUE(window.Visible("grid_credits"));
        for (const char *control : mainControls) EXPECT_FALSE(window.Visible(control)) << control;
        EXPECT_FALSE(window.Visible("grid_farbe"));
        EXPECT_EQ(window.Control("grid_haupt").styleClasses, (std::set<std::string>{"hintergrund-schwarz"}));
        EXPECT_TRUE(window.Control("label_credits").styleClasses.contains("abspann-laeuft"));

        window.ReleaseMouse();
        EXPECT_FALSE(window.Visible("grid_credits"));
        for (const char *control : mainControls) EXPECT_TRUE(window.Visible(control)) << control;
        EXPECT_TRUE(window.Visible("grid_farbe"));
        EXPECT_FALSE(window.Visible("grid_neueseite"));
        EXPECT_EQ(window.Control("grid_haupt").styleClasses, (std::set<std::string>{"hintergrund-drehend"}));
        EXPECT_FALSE(window.Control("label_credits").styleClasses.contains("abspann-laeuft"));
        window.Click("button_ok");
    });
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(EditorEventTest, EnterConfirmsUnlessAnotherButtonHasTheFocus) {
    struct Case {
        const char *focused;
        bool confirmed;
    };
    // The window opens with the focus on the action list.
    const Case cases[] = {{"cb_aktion", true},       {"tb_rot", true},          {"cb_vorlage", true},
                          {"cb_fill", true},         {"button_ok", true},       {"button_abbruch", false},
                          {"button_credits", false}};
    for (const Case &c : cases) {
        std::u16string result = Show(kColourRecord, [&](FakeUiWindow &window) {
            window.Choose("cb_aktion", 0);
            window.PressEnter(c.focused);
            if (!window.Closed()) window.Click("button_abbruch");
        });
        EXPECT_EQ(result, c.confirmed ? ZavorTest::kNewDocumentRecord : kColourRecord) << c.focused;
    }
    // Not while the credits hide the buttons.
    std::u16string result = Show(kColourRecord, [](FakeUiWindow &window) {
        window.Click("button_credits");
        window.PressEnter("grid_credits");
        EXPECT_FALSE(window.Closed());
    });
    EXPECT_EQ(result, kColourRecord);
}

TEST_F(EditorEventTest, TextARecordCannotHoldKeepsTheWindowOpen) {
    std::u16string result = Show(u"", [](FakeUiWindow &window) {
        window.Choose("cb_aktion", 3);
        window.Type("tb_filename", u"\u20AC.pdf");
        window.Click("button_ok");
        EXPECT_TRUE(window.Running());
        window.SetText("tb_filename", u"EUR.pdf");
        window.Click("button_ok");
        EXPECT_FALSE(window.Running());
    });
    EXPECT_EQ(boxes.Messages(), (std::vector<MessageBoxMessage>{{u"Das Zeichen \"\u20AC\" kann nicht gespeichert werden.",
                                                                 u"ZAVOR", MessageBoxIcon::Warning}}));
    EXPECT_EQ(result, RecordText({u"<Settings>", u"  <ver>100</ver>", u"  <Typ>3</Typ>", u"  <PDFDatei>EUR.pdf</PDFDatei>",
                                  u"  <PDFstarten>false</PDFstarten>", u"</Settings>"}));
}

TEST_F(EditorEventTest, EachShowStartsWithAFreshWindow) {
    Show(u"", [](FakeUiWindow &window) { window.Type("tb_rot", u"5"); });
    Show(u"", [](FakeUiWindow &window) { EXPECT_EQ(window.Text("tb_rot"), u""); });
    EXPECT_EQ(windows.WindowsBuilt(), 2);
    EXPECT_NE(windows.LastCss().find(".hintergrund-drehend"), std::string::npos);
}

}  // namespace
