// The session's document lifecycle driven through the exports: defaults,
// page sizes, the implicit first page, selecting pages, saving and Kill.
#include "session/session_test_support.h"

#include "drawing/fonts/x_font.h"
#include "drawing/x_solid_brush.h"
#include "pdf/page_size.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {

using ZavorPdf::Pdf::PageOrientation;
using ZavorPdf::Pdf::PageSize;
using ZavorPlugin::PDF;
using ZavorTest::RaisedEvent;

class SessionLifecycle : public ZavorTest::SessionTest {};

TEST_F(SessionLifecycle, NewDocumentCommandRestoresEveryDefault) {
    Set("FarbeRot", "7");
    Set("Zielbox_X", "99");
    Set("Schriftart", "Courier");
    Set("Schriftgroesse", "30");
    Set("ObjektFuellen", "1");
    Set("EffektTemplate_Horizontal", "5;2");
    Set("AktiveSeiteFestlegen", "9");
    ASSERT_FALSE(Session().fehlertext.empty());
    Execute("<Settings><ver>100</ver><Typ>0</Typ></Settings>");

    PDF &s = Session();
    EXPECT_EQ(s.document->PageCount(), 0);
    EXPECT_EQ(s.page, nullptr);
    EXPECT_EQ(s.gfx, nullptr);
    EXPECT_EQ(s.tf, nullptr);
    EXPECT_EQ((std::vector<int>{s.ColA, s.ColR, s.ColG, s.ColB}), (std::vector<int>{50, 50, 50, 50}));
    EXPECT_EQ((std::vector<int>{s.BoxX, s.BoxY, s.BoxB, s.BoxH}), (std::vector<int>{10, 10, 400, 200}));
    EXPECT_EQ(s.fehlertext, u"");
    EXPECT_EQ(s.fontname, u"");
    EXPECT_EQ(s.fontsize, 0);
    EXPECT_FALSE(s.brushme);
    EXPECT_EQ(s.effect_typ, 0);
    EXPECT_EQ(s.effect_mod1, 0);
    EXPECT_EQ(s.effect_mod2, 0);
    EXPECT_EQ(s.Dstyle, ZavorPdf::Drawing::XDashStyle::Dash);
    EXPECT_EQ(s.format.Alignment(), ZavorPdf::Drawing::XStringAlignment::Center);
    EXPECT_EQ(s.format.LineAlignment(), ZavorPdf::Drawing::XLineAlignment::Near);
    ASSERT_NE(s.TextFont(), nullptr);
    EXPECT_EQ(s.TextFont()->RequestedFamilyName(), u"Arial");
    EXPECT_EQ(s.TextFont()->Size(), 12);
    auto *brush = dynamic_cast<ZavorPdf::Drawing::XSolidBrush *>(s.fontcolor.get());
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ((std::vector<int>{brush->Color().R(), brush->Color().G(), brush->Color().B()}),
              (std::vector<int>{0, 0, 255}));
}

TEST_F(SessionLifecycle, PageSizeNames) {
    struct Case {
        const char16_t *name;
        PageSize size;
    };
    const Case cases[] = {
        {u"a4", PageSize::A4},        {u"A3", PageSize::A3},         {u"A6", PageSize::RA0},
        {u"A12", PageSize::B0},       {u"A17", PageSize::B5},        {u"A18", PageSize::A4},
        {u"B5", PageSize::B5},        {u"b0", PageSize::B0},         {u"B6", PageSize::A4},
        {u"X1", PageSize::Quarto},    {u"X5", PageSize::Letter},     {u"X18", PageSize::STMT},
        {u"X19", PageSize::Folio},    {u"X21", PageSize::Size10x14}, {u"X22", PageSize::A4},
        {u"X0", PageSize::A4},        {u"Letter", PageSize::A4},     {u"A4x", PageSize::A4},
        {u"A-1", PageSize::A4},       {u"", PageSize::A4},           {u"A 2", PageSize::A2},
        {u"A2147483647", PageSize::A4},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(ZavorPlatform::Utf16ToUtf8(test.name));
        Session().vpage->SetSize(PageSize::A0);
        Session().GetConst(test.name, 0);
        EXPECT_EQ(Session().vpage->Size(), test.size);
    }
    EXPECT_TRUE(Events().empty());
}

TEST_F(SessionLifecycle, TemplateAppliesToTheNextPageOnly) {
    const double defaultWidth = Session().vpage->Width();
    const double defaultHeight = Session().vpage->Height();
    EXPECT_EQ(Set("Seite_Breite", "300"), 1);
    EXPECT_EQ(Set("Seite_Hoehe", "200"), 1);
    EXPECT_EQ(Set("AusrichtungSeite", "1"), 1);
    EXPECT_EQ(Session().document->PageCount(), 0);  // no implicit page for these
    EXPECT_EQ(Set("NeueSeite", ""), 1);
    EXPECT_EQ(Set("NeueSeite", " "), 1);
    EXPECT_EQ(Set("NeueSeite", "a5"), 1);

    auto &pages = Session().document->Pages();
    ASSERT_EQ(pages.Count(), 3);
    EXPECT_EQ(pages.PageAt(0).Orientation(), PageOrientation::Landscape);
    EXPECT_EQ(pages.PageAt(0).MediaBox().Width(), 300);
    EXPECT_EQ(pages.PageAt(0).MediaBox().Height(), 200);
    EXPECT_EQ(pages.PageAt(1).Orientation(), PageOrientation::Portrait);
    EXPECT_EQ(pages.PageAt(1).Width(), defaultWidth);
    EXPECT_EQ(pages.PageAt(1).Height(), defaultHeight);
    EXPECT_EQ(pages.PageAt(2).Size(), PageSize::A5);
    EXPECT_EQ(Session().page, &pages.PageAt(2));
}

TEST_F(SessionLifecycle, FirstDrawingVariableAddsThePageButOtherGroupsDoNot) {
    const char *noPage[] = {"Info_Titel", "Info_Autor", "Info_Keywords", "PDFSpeichern"};
    for (const char *name : noPage) EXPECT_EQ(Set(name, ""), 1) << name;
    EXPECT_EQ(Set("Seite_Hoehe", "842"), 1);
    EXPECT_EQ(Session().document->PageCount(), 0);
    EXPECT_EQ(Set("Unbekannt", "x"), 1);
    EXPECT_EQ(Session().document->PageCount(), 1);
    EXPECT_EQ(Set("schriftart", "Arial"), 1);
    EXPECT_EQ(Session().document->PageCount(), 1);
}

TEST_F(SessionLifecycle, SelectingAMissingPageLeavesNothingToDrawOn) {
    for (int i = 0; i < 3; ++i) Set("NeueSeite", "A4");
    ZavorPdf::Pdf::PdfPage *before = Session().page;
    Set("AktiveSeiteFestlegen", "5");
    const std::u16string selectMessage =
        u"Die Seite \"4\" konnte nicht ausgew\u00e4hlt werden. Es sind aktuell 3 Seiten vorhanden!";
    EXPECT_EQ(Events(), (std::vector<RaisedEvent>{{"ZAVOR_ObjektFehler", selectMessage}}));
    EXPECT_EQ(Session().page, before);

    // Drawing fails visibly instead of landing anywhere, and no page is added.
    Set("RechteckHinzufuegen", "1");
    Set("Drehung", "10");
    EXPECT_EQ(Events().size(), 3u);
    EXPECT_EQ(Events()[1].fehlertext, u"Das Rechteck konnte wegen fehlerhafter Werte nicht erstellt werden.");
    EXPECT_EQ(Events()[2].fehlertext, u"Rotation konnte nicht durchgef\u00fchrt werden.");
    EXPECT_EQ(Session().document->PageCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Contains(Content(i), " re\n")) << i;

    Set("AktiveSeiteFestlegen", "0");
    EXPECT_EQ(Session().fehlertext,
              u"Die Seite \"-1\" konnte nicht ausgew\u00e4hlt werden. Es sind aktuell 3 Seiten vorhanden!");
    Set("AktiveSeiteFestlegen", "1");
    Set("RechteckHinzufuegen", "1");
    EXPECT_EQ(Session().page, &Session().document->Pages().PageAt(0));
    EXPECT_TRUE(Contains(Content(0), "10 10 400 200 re\nS\n"));
    EXPECT_FALSE(Contains(Content(2), " re\n"));
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(SessionLifecycle, SavingReportsWhatCannotBeWritten) {
    const std::string noPages = ZavorTest::OutputPath("session_no_pages.pdf").string();
    std::filesystem::remove(noPages);
    Set("PDFSpeichern", noPages);
    const std::string badFolder = ZavorTest::OutputPath("missing-folder").string() + "/x.pdf";
    Set("NeueSeite", "");
    Set("PDFSpeichern", badFolder);
    auto message = [](const std::string &name) {
        return u"Die PDF-Datei \"" + ZavorPlatform::Utf8ToUtf16(name) + u"\" konnte nicht gespeichert werden.";
    };
    EXPECT_EQ(Events(), (std::vector<RaisedEvent>{{"ZAVOR_DateiFehler", message(noPages)},
                                                  {"ZAVOR_DateiFehler", message(badFolder)}}));
    EXPECT_FALSE(std::filesystem::exists(noPages));
}

// Targets that a save must not replace are reported like any file that
// cannot be written, and stay as they were.
TEST_F(SessionLifecycle, SavingRefusesTargetsThatAreNotWritableFiles) {
    ZAVOR_SKIP_ON_WINDOWS("named pipes and read-only permissions");
    const std::filesystem::path folder = ZavorTest::OutputPath("session_refused_targets");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::filesystem::path fifo = folder / "kanal.pdf", locked = folder / "gesperrt.pdf";
    ASSERT_TRUE(ZavorTest::MakeFifo(fifo));
    ZavorTest::PublishFile(locked, "alt");
    std::filesystem::permissions(locked, std::filesystem::perms(0444));
    Set("RechteckHinzufuegen", "1");
    Set("PDFSpeichern", fifo.string());
    Set("PDFSpeichern", locked.string());
    auto message = [](const std::filesystem::path &name) {
        return u"Die PDF-Datei \"" + ZavorPlatform::Utf8ToUtf16(name.string()) + u"\" konnte nicht gespeichert werden.";
    };
    EXPECT_EQ(Events(), (std::vector<RaisedEvent>{{"ZAVOR_DateiFehler", message(fifo)},
                                                  {"ZAVOR_DateiFehler", message(locked)}}));
    EXPECT_EQ(std::filesystem::status(fifo).type(), std::filesystem::file_type::fifo);
    EXPECT_EQ(std::filesystem::file_size(locked), 3u);
    // Neither is a PDF for the suite's final check of every written file.
    std::filesystem::remove_all(folder);
}

TEST_F(SessionLifecycle, SavingKeepsTheSessionGoing) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    const std::filesystem::path file = ZavorTest::OutputPath("session_saved_twice.pdf");
    Set("Info_Titel", "Zwei Seiten");
    Set("RechteckHinzufuegen", "1");
    Set("PDFSpeichern", file.string());
    std::string info = ZavorTest::PdfInfo(file);
    EXPECT_TRUE(Contains(info, "Pages:           1\n")) << info;
    EXPECT_TRUE(Contains(info, "Title:           Zwei Seiten\n")) << info;

    Set("NeueSeite", "A5");
    Set("LinieHinzufuegen", "3");
    Set("PDFSpeichern", file.string());
    info = ZavorTest::PdfInfo(file);
    EXPECT_TRUE(Contains(info, "Pages:           2\n")) << info;
    EXPECT_TRUE(Events().empty());
    EXPECT_TRUE(Contains(Content(0), "10 10 400 200 re\nS\n"));
    EXPECT_TRUE(Contains(Content(1), "10 10 m\n410 210 l\nS\n"));
}

TEST_F(SessionLifecycle, StopDropsTheSessionWithoutSaving) {
    const std::filesystem::path file = ZavorTest::OutputPath("session_never_written.pdf");
    std::filesystem::remove(file);
    Set("RechteckHinzufuegen", "1");
    QnD_Stop();
    EXPECT_FALSE(PDF::HasInstance());
    EXPECT_FALSE(std::filesystem::exists(file));
    QnD_Initialize2(reinterpret_cast<intptr_t>(&ZavorTest::ScriptHost::Callback));
    EXPECT_TRUE(PDF::HasInstance());
    // The callback outlives the run: the next run still reports.
    Execute("<Settings><ver>100</ver><Typ>0</Typ></Settings>");
    Set("AktiveSeiteFestlegen", "2");
    ASSERT_EQ(Events().size(), 1u);
    EXPECT_EQ(Events()[0].name, "ZAVOR_ObjektFehler");
}

TEST_F(SessionLifecycle, TextFieldsLeaveTheDocumentAsItWas) {
    Set("TextfeldHinzufuegen", "egal");
    EXPECT_EQ(boxes.Messages(),
              (std::vector<ZavorPlatform::MessageBoxMessage>{
                  {u"The resource \"pdf_template.pdf\" is not embedded in the plug-in.", u"",
                   ZavorPlatform::MessageBoxIcon::None}}));
    EXPECT_EQ(Session().document->PageCount(), 1);
    EXPECT_FALSE(Contains(Content(0), " re\n"));
}

}  // namespace
