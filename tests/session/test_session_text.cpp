// Text through the variables: the font from the script's settings, the
// fallback to the previous font, the two alignments and text as an effect's
// clip.
#include "session/session_test_support.h"

#include "drawing/x_text_formatter.h"

namespace {

using ZavorPdf::Drawing::XLineAlignment;
using ZavorPdf::Drawing::XParagraphAlignment;
using ZavorPdf::Drawing::XStringAlignment;
using ZavorTest::RaisedEvent;

const std::u16string kFontMessage = u"Die Schriftart konnte wegen fehlerhafter Werte nicht erzeugt werden.";
const std::u16string kTextMessage = u"Der Text konnte wegen fehlerhafter Werte nicht erstellt werden.";

class SessionText : public ZavorTest::SessionTest {};

TEST_F(SessionText, TextWithoutSizeKeepsThePreviousFont) {
    Set("Schriftart", "Arial");
    Set("TextHinzufuegen", "Hallo");
    EXPECT_EQ(Events(), (std::vector<RaisedEvent>{{"ZAVOR_ObjektFehler", kFontMessage}}));
    std::string content = Content(0);
    EXPECT_TRUE(Contains(content, " -12 Tf\n")) << content;
    EXPECT_TRUE(Contains(content, "0 0 1 rg\n")) << content;  // the blue text brush of a new session
    EXPECT_TRUE(Contains(content, "BT\n")) << content;
}

TEST_F(SessionText, TextUsesTheFontAndColourOfItsMoment) {
    Set("Schriftart", "Arial");
    Set("Schriftgroesse", "24");
    Set("FarbeAlpha", "255");
    Set("FarbeRot", "255");
    Set("FarbeGruen", "0");
    Set("FarbeBlau", "0");
    Set("TextHinzufuegen", "Hallo Welt");
    EXPECT_TRUE(Events().empty());
    std::string content = Content(0);
    EXPECT_TRUE(Contains(content, " -24 Tf\n")) << content;
    EXPECT_TRUE(Contains(content, "1 0 0 rg\n")) << content;
}

TEST_F(SessionText, BadColourFailsTheTextToo) {
    Set("Schriftgroesse", "12");
    Set("FarbeRot", "300");
    Set("TextHinzufuegen", "Hallo");
    EXPECT_EQ(Events(),
              (std::vector<RaisedEvent>{
                  {"ZAVOR_ObjektFehler", u"Die Farbe konnte wegen fehlerhafter Werte nicht erstellt werden. (0-255 !!!!!!!)"},
                  {"ZAVOR_ObjektFehler", kTextMessage}}));
    EXPECT_FALSE(Contains(Content(0), "BT\n"));
}

TEST_F(SessionText, AlignmentCodes) {
    struct Case {
        const char *name;
        const char *value;
        XStringAlignment horizontal;
        XLineAlignment line;
        XParagraphAlignment paragraph;
    };
    // Each row starts from Center/Near and a left-aligned formatter.
    const Case cases[] = {
        {"TextVAusrichtung", "1", XStringAlignment::Near, XLineAlignment::Near, XParagraphAlignment::Left},
        {"TextVAusrichtung", "2", XStringAlignment::Center, XLineAlignment::Near, XParagraphAlignment::Center},
        {"TextVAusrichtung", "3", XStringAlignment::Far, XLineAlignment::Near, XParagraphAlignment::Right},
        {"TextVAusrichtung", "4", XStringAlignment::Center, XLineAlignment::Near, XParagraphAlignment::Justify},
        {"TextVAusrichtung", "5", XStringAlignment::Center, XLineAlignment::Near, XParagraphAlignment::Left},
        {"TextVAusrichtung", "0", XStringAlignment::Center, XLineAlignment::Near, XParagraphAlignment::Left},
        {"TextHAusrichtung", "1", XStringAlignment::Center, XLineAlignment::Near, XParagraphAlignment::Left},
        {"TextHAusrichtung", "2", XStringAlignment::Center, XLineAlignment::Center, XParagraphAlignment::Left},
        {"TextHAusrichtung", "3", XStringAlignment::Center, XLineAlignment::Far, XParagraphAlignment::Left},
        {"TextHAusrichtung", "4", XStringAlignment::Center, XLineAlignment::Near, XParagraphAlignment::Left},
        {"texthausrichtung", "2147483647", XStringAlignment::Center, XLineAlignment::Near, XParagraphAlignment::Left},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(std::string(test.name) + " " + test.value);
        SetUp();
        Set(test.name, test.value);
        EXPECT_EQ(Session().format.Alignment(), test.horizontal);
        EXPECT_EQ(Session().format.LineAlignment(), test.line);
        EXPECT_EQ(Session().tf->Alignment(), test.paragraph);
    }
}

TEST_F(SessionText, NewPageResetsTheParagraphButNotTheFormat) {
    Set("TextVAusrichtung", "3");
    Set("NeueSeite", "");
    EXPECT_EQ(Session().tf->Alignment(), XParagraphAlignment::Left);
    EXPECT_EQ(Session().format.Alignment(), XStringAlignment::Far);
}

TEST_F(SessionText, EffectShowsThroughTheGlyphs) {
    Set("Schriftgroesse", "40");
    Set("EffektTemplate_Horizontal", "4;5");
    Set("TextHinzufuegen", "ABC");
    EXPECT_TRUE(Events().empty());
    std::string content = Content(0);
    EXPECT_FALSE(Contains(content, "BT\n")) << content;
    EXPECT_TRUE(Contains(content, "W* n\n")) << content;
    EXPECT_EQ(CountOf(content, " l\nS\n"), 50u);
}

}  // namespace
