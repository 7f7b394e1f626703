// The plug-in command's four actions on the real session, with host
// variables substituted through the test host.
#include "session/session_test_support.h"

#include "pdf/page_size.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {

using ZavorPdf::Pdf::PageOrientation;
using ZavorPlatform::MessageBoxIcon;
using ZavorPlatform::MessageBoxMessage;
using ZavorTest::RaisedEvent;

const MessageBoxMessage kDamagedBox{u"KRITISCH: Daten wurden besch\u00E4digt, der Befehl muss erneut erstellt werden",
                                    u" ZAVOR Plugin - Daten zerst\u00F6rt!", MessageBoxIcon::Error};

std::u16string Record(const std::u16string &fields) { return u"<Settings><ver>100</ver>" + fields + u"</Settings>"; }

class CommandExecution : public ZavorTest::SessionTest {};

TEST_F(CommandExecution, NewPageSizes) {
    struct Case {
        const char16_t *fields;
        double width, height;
        PageOrientation orientation;
    };
    const Case cases[] = {
        {u"<Breite></Breite><Hoehe></Hoehe><Format></Format><Quer>false</Quer>", 595, 842, PageOrientation::Portrait},
        {u"<Breite>300</Breite><Hoehe>200</Hoehe><Format/>", 300, 200, PageOrientation::Portrait},
        {u"<Breite>300</Breite><Hoehe>200</Hoehe><Format>A5</Format>", 420, 595, PageOrientation::Portrait},
        {u"<Breite> [b] </Breite><Hoehe>[h]</Hoehe>", 150, 250, PageOrientation::Portrait},
        {u"<Breite>300</Breite><Hoehe>2x</Hoehe>", 595, 842, PageOrientation::Portrait},
        {u"<Format>[f]</Format><Quer>true</Quer>", 842, 595, PageOrientation::Landscape},
        {u"<Format>A4</Format><Quer>True</Quer>", 595, 842, PageOrientation::Portrait},
        {u"<Format>Brief</Format>", 595, 842, PageOrientation::Portrait},
    };
    ZavorTest::ScriptHost::variables = {{"b", "150"}, {"h", "250"}, {"f", "a4"}};
    int count = 0;
    for (const Case &test : cases) {
        SCOPED_TRACE(ZavorPlatform::Utf16ToUtf8(test.fields));
        Session().vpage->SetSize(ZavorPdf::Pdf::PageSize::A0);
        Execute(Record(u"<Typ>1</Typ>" + std::u16string(test.fields)));
        ASSERT_EQ(Session().document->PageCount(), ++count);
        ZavorPdf::Pdf::PdfPage &page = *Session().page;
        EXPECT_EQ(page.Width(), test.width);
        EXPECT_EQ(page.Height(), test.height);
        EXPECT_EQ(page.Orientation(), test.orientation);
    }
    EXPECT_TRUE(boxes.Messages().empty());
    EXPECT_TRUE(Events().empty());
}

TEST_F(CommandExecution, DrawingColour) {
    struct Case {
        const char16_t *fields;
        std::vector<int> colour;
        bool brushme;
    };
    const Case cases[] = {
        {u"<Alpha>[a]</Alpha><Rot>1</Rot><Gruen>2</Gruen><Blau>3</Blau><Fuellen>true</Fuellen>", {200, 1, 2, 3}, true},
        {u"<Alpha>10</Alpha><Rot></Rot><Gruen>2</Gruen><Blau>3</Blau><Fuellen>false</Fuellen>",
         {255, 250, 150, 150},
         false},
        {u"<Alpha>10</Alpha><Rot>1</Rot><Gruen>2</Gruen><Fuellen>1</Fuellen>", {255, 250, 150, 150}, true},
    };
    ZavorTest::ScriptHost::variables = {{"a", "200"}};
    for (const Case &test : cases) {
        SCOPED_TRACE(ZavorPlatform::Utf16ToUtf8(test.fields));
        Execute(Record(u"<Typ>2</Typ>" + std::u16string(test.fields)));
        ZavorPlugin::PDF &s = Session();
        EXPECT_EQ((std::vector<int>{s.ColA, s.ColR, s.ColG, s.ColB}), test.colour);
        EXPECT_EQ(s.brushme, test.brushme);
    }
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(Session().document->PageCount(), 0);
}

TEST_F(CommandExecution, ColourOutOfRangeIsLeftToTheBrush) {
    Execute(Record(u"<Typ>2</Typ><Alpha>255</Alpha><Rot>300</Rot><Gruen>0</Gruen><Blau>0</Blau><Fuellen>false</Fuellen>"));
    EXPECT_EQ(Session().ColR, 300);
    EXPECT_EQ(Events(), (std::vector<RaisedEvent>{{"ZAVOR_ObjektFehler",
                                                   u"Die Farbe konnte wegen fehlerhafter Werte nicht erstellt werden. "
                                                   u"(0-255 !!!!!!!)"}}));
}

TEST_F(CommandExecution, ColourWithoutFillFlagIsDamagedButKeepsWhatRan) {
    Execute(Record(u"<Typ>2</Typ><Alpha>1</Alpha><Rot>2</Rot><Gruen>3</Gruen><Blau>4</Blau>"));
    EXPECT_EQ(boxes.Messages(), std::vector<MessageBoxMessage>{kDamagedBox});
    EXPECT_EQ((std::vector<int>{Session().ColA, Session().ColR, Session().ColG, Session().ColB}),
              (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(Set("Zielbox_X", "1"), 1);  // still counts as executed
}

TEST_F(CommandExecution, SaveWritesTheSubstitutedPath) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    const std::filesystem::path file = ZavorTest::OutputPath("command_save.pdf");
    std::filesystem::remove(file);
    ZavorTest::ScriptHost::variables = {{"ordner", file.parent_path().string()}};
    Execute(Record(u"<Typ>1</Typ><Format>A5</Format>"));
    Execute(Record(u"<Typ>3</Typ><PDFDatei>[ordner]/command_save.pdf</PDFDatei><PDFstarten>true</PDFstarten>"));
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(launches.Requests(), std::vector<std::u16string>{ZavorPlatform::Utf8ToUtf16(file.string())});
    std::string info = ZavorTest::PdfInfo(file);
    EXPECT_TRUE(Contains(info, "Pages:           1\n")) << info;
    EXPECT_TRUE(Contains(info, "Page size:       420 x 595 pts")) << info;
}

TEST_F(CommandExecution, SaveFailureThenViewerFailureReportBoth) {
    launches.SetResult(false);
    ZavorTest::ScriptHost::variables = {{"ordner", "/nicht/vorhanden"}};
    Execute(Record(u"<Typ>3</Typ><PDFDatei>[ordner]/x.pdf</PDFDatei><PDFstarten>true</PDFstarten>"));
    EXPECT_EQ(launches.Requests(), std::vector<std::u16string>{u"/nicht/vorhanden/x.pdf"});
    EXPECT_EQ(Events(),
              (std::vector<RaisedEvent>{
                  {"ZAVOR_DateiFehler", u"Die PDF-Datei \"/nicht/vorhanden/x.pdf\" konnte nicht gespeichert werden."},
                  {"ZAVOR_DateiFehler", u"Konnte \"/nicht/vorhanden/x.pdf\" nicht starten."}}));
    // The sentence is substituted as a whole, built from the stored path.
    EXPECT_EQ(ZavorTest::ScriptHost::substituted.back(), "Konnte \"[ordner]/x.pdf\" nicht starten.");
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(CommandExecution, SaveWithoutViewerFlagIsDamaged) {
    Execute(Record(u"<Typ>3</Typ><PDFDatei>/nicht/vorhanden/x.pdf</PDFDatei>"));
    EXPECT_EQ(Events().size(), 1u);  // the save itself ran and reported
    EXPECT_EQ(boxes.Messages(), std::vector<MessageBoxMessage>{kDamagedBox});
    EXPECT_TRUE(launches.Requests().empty());
}

TEST_F(CommandExecution, NewDocumentReplacesTheSession) {
    Execute(Record(u"<Typ>1</Typ>"));
    Set("Zielbox_X", "99");
    Execute(Record(u"<Typ>0</Typ>"));
    EXPECT_EQ(Session().document->PageCount(), 0);
    EXPECT_EQ(Session().BoxX, 10);
    Execute(Record(u"<Typ>7</Typ>"));
    EXPECT_EQ(Session().document->PageCount(), 0);
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST(FileLauncher, AMissingFileIsNotOpened) {
    const std::filesystem::path missing = ZavorTest::OutputPath("launcher_missing.pdf");
    std::filesystem::remove(missing);
    EXPECT_FALSE(ZavorPlatform::OpenWithAssociatedProgram(ZavorPlatform::Utf8ToUtf16(missing.string())));
    ZavorPlatform::FileLaunchRecorder recorder(false);
    EXPECT_FALSE(ZavorPlatform::OpenWithAssociatedProgram(u"a.pdf"));
    recorder.SetResult(true);
    EXPECT_TRUE(ZavorPlatform::OpenWithAssociatedProgram(u"b.pdf"));
    EXPECT_EQ(recorder.Requests(), (std::vector<std::u16string>{u"a.pdf", u"b.pdf"}));
}

}  // namespace
