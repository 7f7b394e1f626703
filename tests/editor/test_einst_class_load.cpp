// Records into the editor's controls, and the refusals of records it cannot
// load.
#include <string>
#include <vector>

#include "editor_test_support.h"

namespace {

using ZavorPlatform::FakeUiWindow;
using ZavorPlatform::MessageBoxIcon;
using ZavorPlatform::MessageBoxMessage;
using ZavorPlatform::UiColour;
using ZavorTest::RecordText;

const MessageBoxMessage kDamagedBox{
    u"KRITISCH: Daten wurden besch\u00E4digt, der Befehl muss erneut erstellt werden\n\n"
    u"Um dieses Problem zu analysieren/beheben zu k\u00F6nnen, schicken Sie bitte das Skript an "
    u"support@zavor.example, Danke.",
    u"Daten zerst\u00F6rt!", MessageBoxIcon::Error};
const MessageBoxMessage kVersionBox{
    u"Einstellungen k\u00F6nnen nicht geladen werden, da das Format inkompatibel ist. "
    u"Bitte die aktuellste Version des Plugins nutzen.",
    u"Versionskonflikt!", MessageBoxIcon::None};

class EditorLoadTest : public ZavorTest::EditorTest {};

TEST_F(EditorLoadTest, EmptySettingsOpenOnNewDocumentWithNoActionPanel) {
    std::u16string result = Show(u"", [](FakeUiWindow &window) {
        EXPECT_EQ(window.SelectedIndex("cb_aktion"), 0);
        for (const char *panel : {"grid_farbe", "grid_neueseite", "grid_pdfspeichern", "grid_credits"}) {
            EXPECT_FALSE(window.Visible(panel)) << panel;
        }
        EXPECT_TRUE(window.Visible("grid_mitte"));
        window.Click("button_ok");
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(result, ZavorTest::kNewDocumentRecord);
    EXPECT_EQ(ZavorPlugin::EinstClass::Settings_gb, 1);
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(EditorLoadTest, EachActionShowsItsOwnPanel) {
    struct Case {
        int action;
        bool farbe, neueseite, pdfspeichern;
    };
    const Case cases[] = {{1, false, true, false}, {2, true, false, false}, {3, false, false, true}, {0, false, false, false}};
    Show(u"", [&](FakeUiWindow &window) {
        for (const Case &test : cases) {
            window.Choose("cb_aktion", test.action);
            EXPECT_EQ(window.Visible("grid_farbe"), test.farbe) << test.action;
            EXPECT_EQ(window.Visible("grid_neueseite"), test.neueseite) << test.action;
            EXPECT_EQ(window.Visible("grid_pdfspeichern"), test.pdfspeichern) << test.action;
        }
    });
}

TEST_F(EditorLoadTest, RecordsComeBackByteForByteAfterOk) {
    const std::u16string records[] = {
        ZavorTest::kNewDocumentRecord,
        RecordText({u"<Settings>", u"  <ver>100</ver>", u"  <Typ>1</Typ>", u"  <Format>X21</Format>",
                    u"  <Breite>[B]</Breite>", u"  <Hoehe>842</Hoehe>", u"  <Quer>true</Quer>", u"</Settings>"}),
        RecordText({u"<Settings>", u"  <ver>100</ver>", u"  <Typ>1</Typ>", u"  <Format>[Vorlage]</Format>",
                    u"  <Breite></Breite>", u"  <Hoehe></Hoehe>", u"  <Quer>false</Quer>", u"</Settings>"}),
        RecordText({u"<Settings>", u"  <ver>100</ver>", u"  <Typ>2</Typ>", u"  <Alpha>255</Alpha>", u"  <Rot>1</Rot>",
                    u"  <Gruen>[G]</Gruen>", u"  <Blau></Blau>", u"  <Fuellen>true</Fuellen>", u"</Settings>"}),
        RecordText({u"<Settings>", u"  <ver>100</ver>", u"  <Typ>3</Typ>",
                    u"  <PDFDatei>C:\\Daten &amp; Co\\&lt;Bericht&gt; \u00E4\u00FF.pdf</PDFDatei>",
                    u"  <PDFstarten>true</PDFstarten>", u"</Settings>"}),
    };
    for (const std::u16string &record : records) {
        EXPECT_EQ(ShowAndConfirm(record), record);
    }
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(EditorLoadTest, FieldsLandInTheirControls) {
    const std::u16string page = u"<Settings><Typ> 1 </Typ>x<ver>100</ver><Quer>TRUE</Quer><Hoehe>20</Hoehe>"
                                u"<Breite>10</Breite><Format>x2</Format></Settings>";
    Show(page, [](FakeUiWindow &window) {
        EXPECT_EQ(window.SelectedIndex("cb_aktion"), 1);
        EXPECT_EQ(window.SelectedIndex("cb_vorlage"), 13);
        EXPECT_EQ(window.Text("cb_vorlage"), u"Kanzleipapier");
        EXPECT_EQ(window.Text("tb_breite"), u"10");
        EXPECT_EQ(window.Text("tb_hoehe"), u"20");
        EXPECT_TRUE(window.Checked("cb_quer"));
    });
    const std::u16string colour = u"<Settings><ver>100</ver><Typ>2</Typ><Alpha>128</Alpha><Rot>256</Rot>"
                                  u"<Gruen>-1</Gruen><Blau> +16 </Blau><Fuellen>1</Fuellen></Settings>";
    Show(colour, [](FakeUiWindow &window) {
        EXPECT_TRUE(window.Visible("grid_farbe"));
        EXPECT_EQ(window.Text("tb_blau"), u" +16 ");
        EXPECT_TRUE(window.Checked("cb_fill"));
        EXPECT_EQ(window.Control("grid_vorschau").background, (UiColour{128, 0, 255, 16}));
    });
    const std::u16string save = u"<Settings><ver>100</ver><Typ>3</Typ><PDFstarten>false</PDFstarten></Settings>";
    Show(save, [](FakeUiWindow &window) {
        EXPECT_TRUE(window.Visible("grid_pdfspeichern"));
        EXPECT_EQ(window.Text("tb_filename"), u"");
        EXPECT_FALSE(window.Checked("cb_anzeigen"));
    });
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(EditorLoadTest, PageTemplateIsStoredAsItsIdentifier) {
    const std::u16string lowerCase = u"<Settings><ver>100</ver><Typ>1</Typ><Format>x2</Format><Quer>0</Quer></Settings>";
    EXPECT_EQ(ShowAndConfirm(lowerCase),
              RecordText({u"<Settings>", u"  <ver>100</ver>", u"  <Typ>1</Typ>", u"  <Format>X2</Format>",
                          u"  <Breite></Breite>", u"  <Hoehe></Hoehe>", u"  <Quer>false</Quer>", u"</Settings>"}));
    // A caption is no identifier: it stays free text.
    Show(u"<Settings><ver>100</ver><Typ>1</Typ><Format>Letter</Format><Quer>0</Quer></Settings>",
         [](FakeUiWindow &window) {
             EXPECT_EQ(window.SelectedIndex("cb_vorlage"), -1);
             EXPECT_EQ(window.Text("cb_vorlage"), u"Letter");
         });
}

TEST_F(EditorLoadTest, UnreadablePageFieldIsReportedAndTheWindowOpens) {
    const std::u16string record = u"<Settings><ver>100</ver><Typ>1</Typ><Format>A4</Format><Breite>10</Breite>"
                                  u"<Hoehe>20</Hoehe><Quer>vielleicht</Quer></Settings>";
    std::u16string result = ShowAndConfirm(record);
    EXPECT_TRUE(ran);
    EXPECT_EQ(boxes.Messages(), (std::vector<MessageBoxMessage>{
                                    {u"Hoppla, da stimmt was nicht: \nDas Element \"Quer\" enth\u00E4lt keinen "
                                     u"Wahrheitswert: \"vielleicht\"",
                                     u"Where is the Guru?", MessageBoxIcon::None}}));
    EXPECT_EQ(result, RecordText({u"<Settings>", u"  <ver>100</ver>", u"  <Typ>1</Typ>", u"  <Format>A4</Format>",
                                  u"  <Breite>10</Breite>", u"  <Hoehe>20</Hoehe>", u"  <Quer>false</Quer>",
                                  u"</Settings>"}));
}

TEST_F(EditorLoadTest, DamagedRecordsAreRefusedUnchangedWithoutWindow) {
    const std::u16string damaged[] = {
        u"<Settings><ver>100</ver>",
        u"<Einstellungen><ver>100</ver><Typ>0</Typ></Einstellungen>",
        u"<Settings><Typ>0</Typ></Settings>",
        u"<Settings><ver>100</ver></Settings>",
        u"<Settings><ver>100</ver><Typ>eins</Typ></Settings>",
        u"<Settings><ver>100</ver><Typ>4</Typ></Settings>",
        u"<Settings><ver>100</ver><Typ>-1</Typ></Settings>",
        u"<Settings><ver>100</ver><Typ>2</Typ><Alpha>1</Alpha></Settings>",
        u"<Settings><ver>100</ver><Typ>3</Typ><PDFstarten>ja</PDFstarten></Settings>",
    };
    for (const std::u16string &record : damaged) {
        boxes.Clear();
        EXPECT_EQ(ShowAndConfirm(record), record);
        EXPECT_FALSE(ran);
        EXPECT_EQ(boxes.Messages(), std::vector<MessageBoxMessage>{kDamagedBox});
        EXPECT_EQ(ZavorPlugin::EinstClass::Settings_gb, 0);
    }
}

TEST_F(EditorLoadTest, OtherVersionIsRefusedEvenWhenTheRestIsValid) {
    const std::u16string record = u"<Settings><ver>101</ver><Typ>0</Typ></Settings>";
    EXPECT_EQ(ShowAndConfirm(record), record);
    EXPECT_FALSE(ran);
    EXPECT_EQ(boxes.Messages(), std::vector<MessageBoxMessage>{kVersionBox});
}

TEST_F(EditorLoadTest, WindowThatCannotBeBuiltLeavesTheRecord) {
    windows.failure = "Layout: kaputt";
    EXPECT_EQ(ShowAndConfirm(ZavorTest::kNewDocumentRecord), ZavorTest::kNewDocumentRecord);
    EXPECT_EQ(boxes.Messages(),
              (std::vector<MessageBoxMessage>{{u"Hoppla, das h\u00E4tte nicht passieren d\u00FCrfen!\n\nLayout: kaputt",
                                               u"Where is the Guru?", MessageBoxIcon::Error}}));
}

TEST_F(EditorLoadTest, WithoutDisplayEverythingStaysAsItWas) {
    windows.noDisplay = true;
    for (const std::u16string &record : {std::u16string(), std::u16string(u"<kaputt"), ZavorTest::kNewDocumentRecord}) {
        EXPECT_EQ(ShowAndConfirm(record), record);
    }
    EXPECT_EQ(windows.WindowsBuilt(), 0);
    EXPECT_TRUE(boxes.Messages().empty());
}

}  // namespace
