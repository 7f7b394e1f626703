// Pictures, links, notes and bookmarks as scripts add them through their
// variables, checked on the session's document and in the saved file.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "drawing/x_graphics.h"
#include "drawing/x_graphics_pdf_renderer.h"
#include "pdf/pdf_annotation.h"
#include "pdf/pdf_annotations.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_outline.h"
#include "pdf/pdf_outline_collection.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference_table.h"
#include "platform/code_page.h"
#include "plugin/exports.h"
#include "plugin/recording_host.h"
#include "session/pdf.h"
#include "support/damaged_pictures.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {

using ZavorPdf::Pdf::PdfAnnotation;
using ZavorPdf::Pdf::PdfRectangle;
using ZavorPlugin::PDF;
using ZavorTest::RunCommand;

// A 24-bit uncompressed bitmap, bottom-up rows, every pixel the same.
void WriteBitmap(const std::filesystem::path &path, std::uint32_t width, std::uint32_t height) {
    const std::uint32_t row = (width * 3 + 3) & ~3u;
    const std::uint32_t size = 54 + row * height;
    std::string file(size, '\0');
    auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, size, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, width, 4);
    put(22, height, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, row * height, 4);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) put(54 + y * row + x * 3, 0x2080F0, 3);
    std::ofstream(path, std::ios::binary) << file;
}

void ExpectRectangle(const PdfRectangle &actual, double x1, double y1, double x2, double y2) {
    EXPECT_NEAR(actual.X1(), x1, 1e-9);
    EXPECT_NEAR(actual.Y1(), y1, 1e-9);
    EXPECT_NEAR(actual.X2(), x2, 1e-9);
    EXPECT_NEAR(actual.Y2(), y2, 1e-9);
}

class SessionAttachments : public testing::Test {
protected:
    void SetUp() override {
        host.StartDocument();
        QnD_SetVar("NeueSeite", "A4");  // 595 x 842 points
    }
    PDF &Session() { return PDF::GetInstance(); }
    ZavorPdf::Pdf::PdfAnnotations &Annotations() { return Session().page->Annotations(); }

    ZavorTest::RecordingHost host;
};

TEST_F(SessionAttachments, LinksCoverTheBoxInDefaultPageSpace) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    QnD_SetVar("DokumentlinkHinzufuegen", " 1 ");
    QnD_SetVar("DateilinkHinzufuegen", "bericht.pdf");
    QnD_SetVar("weblinkhinzufuegen", "https://www.vornix.example/");
    ASSERT_EQ(Annotations().Count(), 3);
    for (int i = 0; i < 3; ++i) {
        PdfAnnotation &link = Annotations()[i];
        EXPECT_EQ(link.Elements().GetName("/Subtype"), "/Link");
        ExpectRectangle(link.Rectangle(), 10, 632, 410, 832);
    }
    EXPECT_TRUE(host.Events().empty());

    const std::string saved = ZavorTest::OutputPath("attachments_links.pdf").string();
    host.SaveTo(saved);
    ASSERT_EQ(Session().fehlertext, u"");
    std::string dump = RunCommand("qpdf --qdf --object-streams=disable " + saved + " - 2>/dev/null");
    EXPECT_NE(dump.find("/URI (https://www.vornix.example/)"), std::string::npos);
    EXPECT_NE(dump.find("/S /Launch"), std::string::npos);
    EXPECT_NE(dump.find("/F (bericht.pdf)"), std::string::npos);
}

TEST_F(SessionAttachments, BadLinksAddNothing) {
    QnD_SetVar("DokumentlinkHinzufuegen", "abc");
    EXPECT_EQ(Session().fehlertext, u"Der Link konnte wegen fehlerhafter Werte nicht erstellt werden.");
    EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_ObjektFehler"});
    Session().fehlertext.clear();
    Session().AddLink(u"https://www.vornix.example/", 4);
    EXPECT_EQ(Session().fehlertext, u"");
    EXPECT_EQ(host.Events().size(), 1u);
    EXPECT_EQ(Annotations().Count(), 0);
}

TEST_F(SessionAttachments, LinkFollowsTheTransformationInForce) {
    QnD_SetVar("Zielbox_X", "100");
    QnD_SetVar("Zielbox_Y", "100");
    QnD_SetVar("Zielbox_Breite", "50");
    QnD_SetVar("Zielbox_Hoehe", "20");
    Session().gfx->TranslateTransform(5, 7);
    QnD_SetVar("WeblinkHinzufuegen", "https://www.vornix.example/");
    ASSERT_EQ(Annotations().Count(), 1);
    ExpectRectangle(Annotations()[0].Rectangle(), 105, 842 - 127, 155, 842 - 107);
}

TEST_F(SessionAttachments, NotesTakeTheirFieldsAndTheLargerArea) {
    struct Case {
        const char *value;
        const char *icon;  // "" : no icon name written
        const char16_t *title;
        const char16_t *subject;
        const char16_t *text;
    };
    const Case cases[] = {
        {"3;Titel;Thema;Text; mit Semikolon", "/Insert", u"Titel", u"Thema", u"Text; mit Semikolon"},
        {";Titel;Thema;Text", "/Comment", u"Titel", u"Thema", u"Text"},
        {"7\x02 \x02\t\x02", "/Paragraph", u"", u"", u""},
        {" 0 ;T;S;N", "", u"T", u"S", u"N"},
        {"9;T;S;N", "", u"T", u"S", u"N"},
    };
    QnD_SetVar("FarbeRot", "255");
    QnD_SetVar("FarbeGruen", "0");
    QnD_SetVar("FarbeBlau", "0");
    int count = 0;
    for (const Case &test : cases) {
        SCOPED_TRACE(test.value);
        QnD_SetVar("NotizHinzufuegen", test.value);
        ASSERT_EQ(Annotations().Count(), ++count);
        PdfAnnotation &note = Annotations()[count - 1];
        EXPECT_EQ(note.Elements().GetName("/Subtype"), "/Text");
        EXPECT_EQ(note.Elements().GetName("/Name"), test.icon);
        EXPECT_EQ(note.Title(), test.title);
        EXPECT_EQ(note.Subject(), test.subject);
        EXPECT_EQ(note.Contents(), test.text);
        EXPECT_EQ(note.Color(), ZavorPdf::Pdf::PdfRgbColor(255, 0, 0));
        // (10, 10) with 10 + 400 by 10 + 200 in drawing coordinates.
        ExpectRectangle(note.Rectangle(), 10, 842 - 220, 420, 832);
    }
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_TRUE(host.Events().empty());
    host.SaveTo(ZavorTest::OutputPath("attachments_notes.pdf").string());
    EXPECT_EQ(Session().fehlertext, u"");
}

TEST_F(SessionAttachments, NoteWithABadIconOrColourReachesTheCatchAll) {
    QnD_SetVar("NotizHinzufuegen", "x;Titel;Thema;Text");
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].text, u"Interner Fehler im PDF-Plugin!\n\nInput string was not in a correct format.");
    Session().ColR = 256;
    QnD_SetVar("NotizHinzufuegen", "1;Titel;Thema;Text");
    EXPECT_EQ(host.Boxes().size(), 2u);
    EXPECT_EQ(Annotations().Count(), 0);
    EXPECT_TRUE(host.Events().empty());
}

TEST_F(SessionAttachments, SecondLevelBookmarksGoUnderTheLastTopLevelOne) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    QnD_SetVar("FarbeAlpha", "255");
    QnD_SetVar("FarbeRot", "0");
    QnD_SetVar("FarbeGruen", "128");
    QnD_SetVar("FarbeBlau", "255");
    QnD_SetVar("UnterLesezeichenHinzufuegen", "Verwaist");  // no top level yet: becomes one
    QnD_SetVar("UnterLesezeichenHinzufuegen", "Kind 1");
    QnD_SetVar("NeueSeite", "");
    QnD_SetVar("HauptLesezeichenHinzufuegen", "Kapitel \xC4");
    QnD_SetVar("UnterLesezeichenHinzufuegen", "Kind 2");

    ZavorPdf::Pdf::PdfOutlineCollection &top = Session().document->Outlines();
    ASSERT_EQ(top.Count(), 2);
    const char16_t *titles[] = {u"Verwaist", u"Kapitel \u00C4"};
    const char16_t *children[] = {u"Kind 1", u"Kind 2"};
    for (int i = 0; i < 2; ++i) {
        ZavorPdf::Pdf::PdfOutline &outline = top[i];
        EXPECT_EQ(outline.Title(), titles[i]);
        EXPECT_EQ(outline.Style(), ZavorPdf::Pdf::PdfOutlineStyle::Italic);
        EXPECT_EQ(outline.TextColor(), ZavorPdf::Pdf::PdfRgbColor(0, 128, 255));
        EXPECT_TRUE(outline.Opened());
        EXPECT_EQ(outline.DestinationPage(), &Session().document->Pages().PageAt(i));
        ASSERT_EQ(outline.Outlines().Count(), 1);
        ZavorPdf::Pdf::PdfOutline &child = outline.Outlines()[0];
        EXPECT_EQ(child.Title(), children[i]);
        EXPECT_EQ(child.Style(), ZavorPdf::Pdf::PdfOutlineStyle::Regular);
        EXPECT_TRUE(child.TextColor().IsEmpty());
        EXPECT_EQ(child.DestinationPage(), outline.DestinationPage());
    }
    EXPECT_EQ(Session().outline, &top[1]);

    const std::string saved = ZavorTest::OutputPath("attachments_bookmarks.pdf").string();
    host.SaveTo(saved);
    ASSERT_EQ(Session().fehlertext, u"");
    std::string dump = RunCommand("qpdf --qdf --object-streams=disable " + saved + " - 2>/dev/null");
    EXPECT_NE(dump.find("/Title (Kind 2)"), std::string::npos);
    EXPECT_NE(dump.find("/F 1"), std::string::npos);
}

TEST_F(SessionAttachments, PictureIsStretchedIntoTheBox) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfimages");
    const auto picture = ZavorTest::OutputPath("attachments_picture.bmp");
    WriteBitmap(picture, 100, 50);
    host.StartDocument();
    QnD_SetVar("BildHinzufuegen", picture.string().c_str());  // also makes the first page
    EXPECT_EQ(Session().document->PageCount(), 1);
    EXPECT_EQ(Session().fehlertext, u"");
    const std::string saved = ZavorTest::OutputPath("attachments_picture.pdf").string();
    host.SaveTo(saved);
    ASSERT_EQ(Session().fehlertext, u"");
    // 100 pixels over 400 points and 50 over 200 points: 18 pixels per inch
    // both ways, whatever the picture's own proportions.
    std::string list = RunCommand("pdfimages -list " + saved);
    EXPECT_NE(list.find("100    50  rgb     3   8"), std::string::npos) << list;
    EXPECT_NE(list.find("    18    18"), std::string::npos) << list;
}

TEST_F(SessionAttachments, MissingPictureIsReportedAndDrawsNothing) {
    const std::string missing = ZavorTest::OutputPath("fehlt.png").string();
    QnD_SetVar("BildHinzufuegen", missing.c_str());
    EXPECT_EQ(Session().fehlertext, u"Das Bild \"" + std::u16string(missing.begin(), missing.end()) +
                                         u"\" konnte nicht eingelesen werden.");
    EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_DateiFehler"});
    const std::string saved = ZavorTest::OutputPath("attachments_no_picture.pdf").string();
    host.SaveTo(saved);
    std::string list = RunCommand("pdfimages -list " + saved);
    EXPECT_EQ(list.find("image"), list.rfind("image"));  // only the heading names it
}

// After a failed page selection the old page is still known, but the script
// did not ask for it: every page operation fails with its own text and the
// object event, and nothing lands anywhere.
TEST_F(SessionAttachments, PageOperationsAfterAFailedSelectionFailVisibly) {
    const auto picture = ZavorTest::OutputPath("attachments_unselected.bmp");
    WriteBitmap(picture, 4, 4);
    QnD_SetVar("AktiveSeiteFestlegen", "7");
    ASSERT_EQ(host.Events().size(), 1u);
    const std::u16string link = u"Der Link konnte wegen fehlerhafter Werte nicht erstellt werden.";
    const std::u16string bookmark = u"Das Lesezeichen konnte wegen fehlerhafter Werte nicht erstellt werden.";
    struct Row {
        const char *name;
        std::string value;
        std::u16string message;
    };
    const Row rows[] = {
        {"WeblinkHinzufuegen", "https://example.org", link},
        {"DokumentlinkHinzufuegen", "1", link},
        {"DateilinkHinzufuegen", "a.pdf", link},
        {"NotizHinzufuegen", "1;Titel;Betreff;Text", u"Die Notiz konnte wegen fehlerhafter Werte nicht erstellt werden."},
        {"HauptLesezeichenHinzufuegen", "Kapitel", bookmark},
        {"UnterLesezeichenHinzufuegen", "Abschnitt", bookmark},
        {"BildHinzufuegen", picture.string(),
         u"Das Bild \"" + ZavorPlatform::Utf8ToUtf16(picture.string()) +
             u"\" konnte wegen fehlerhafter Werte nicht eingef\u00fcgt werden."},
        {"Schubeffekt", "10;0", u"Der Schubeffekt konnte nicht durchgef\u00fchrt werden."},
        {"Skalieren", "50;50", u"Die Skalierung konnte nicht durchgef\u00fchrt werden."},
    };
    for (const Row &row : rows) {
        std::size_t before = host.Events().size();
        QnD_SetVar(row.name, row.value.c_str());
        ASSERT_EQ(host.Events().size(), before + 1) << row.name;
        EXPECT_EQ(host.Events().back(), "ZAVOR_ObjektFehler") << row.name;
        EXPECT_EQ(Session().fehlertext, row.message) << row.name;
    }
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_EQ(Session().document->PageCount(), 1);
    EXPECT_EQ(Annotations().Count(), 0);
    EXPECT_EQ(Session().document->Outlines().Count(), 0);
    const std::string saved = ZavorTest::OutputPath("attachments_unselected.pdf").string();
    host.SaveTo(saved);
    EXPECT_EQ(RunCommand("pdfimages -list " + saved).find("rgb"), std::string::npos);
}

// Omega never gets past code page 1252 from a host; the session is asked
// directly.
TEST_F(SessionAttachments, PasswordOutsidePdfDocEncodingIsRefusedAndTheEarlierOneStays) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfimages, qpdf");
    Session().AddPassword(u"chef", 1);
    Session().AddPassword(u"\u03A9mega", 2);
    EXPECT_EQ(Session().fehlertext, u"Das Passwort konnte wegen fehlerhafter Werte nicht gesetzt werden.");
    EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_ObjektFehler"});
    Session().fehlertext.clear();
    Session().AddPassword(u"\u03A9mega", 3);  // no such kind: nothing to refuse
    EXPECT_EQ(Session().fehlertext, u"");

    const std::string saved = ZavorTest::OutputPath("attachments_refused_user_password.pdf").string();
    host.SaveTo(saved);
    ASSERT_EQ(Session().fehlertext, u"");
    // Encrypted with the owner password alone: it opens without one.
    EXPECT_EQ(RunCommand("qpdf --requires-password " + saved + " >/dev/null 2>&1; echo $?"), "3\n");
    std::string shown = RunCommand("qpdf --show-encryption --password=chef " + saved + " 2>&1");
    EXPECT_NE(shown.find("Supplied password is owner password"), std::string::npos) << shown;
}

// A cut or badly coded picture used to be placed with its missing rows
// grey or black; now nothing of it reaches the page or the document.
TEST_F(SessionAttachments, DamagedPicturesAreReportedAndPlaceNothing) {
    for (const ZavorTest::NamedPicture &picture : ZavorTest::DamagedPictures()) {
        SCOPED_TRACE(picture.name);
        const std::string path = ZavorTest::WriteNamedPicture(picture, "damaged_").string();
        const std::string drawn = Session().gfx->Renderer().Content();
        const int objects = Session().document->ReferenceTable().Count();
        std::vector<std::string> events = host.Events();
        events.push_back("ZAVOR_DateiFehler");
        QnD_SetVar("BildHinzufuegen", path.c_str());
        EXPECT_EQ(Session().fehlertext,
                  u"Das Bild \"" + std::u16string(path.begin(), path.end()) + u"\" konnte nicht eingelesen werden.");
        EXPECT_EQ(host.Events(), events);
        EXPECT_EQ(Session().gfx->Renderer().Content(), drawn);
        EXPECT_EQ(Session().document->ReferenceTable().Count(), objects);
        Session().fehlertext.clear();
    }
    const std::string saved = ZavorTest::OutputPath("attachments_damaged_pictures.pdf").string();
    host.SaveTo(saved);
    ASSERT_EQ(Session().fehlertext, u"");
    std::string list = RunCommand("pdfimages -list " + saved);
    EXPECT_EQ(list.find("image"), list.rfind("image")) << list;  // only the heading names it
}

TEST_F(SessionAttachments, IntactPictureOfEveryKindIsPlaced) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfimages");
    const std::vector<ZavorTest::NamedPicture> pictures = ZavorTest::ValidPictures();
    for (const ZavorTest::NamedPicture &picture : pictures) {
        SCOPED_TRACE(picture.name);
        const int objects = Session().document->ReferenceTable().Count();
        QnD_SetVar("BildHinzufuegen", ZavorTest::WriteNamedPicture(picture, "intact_").string().c_str());
        EXPECT_EQ(Session().fehlertext, u"");
        EXPECT_GT(Session().document->ReferenceTable().Count(), objects);
    }
    EXPECT_TRUE(host.Events().empty());
    const std::string saved = ZavorTest::OutputPath("attachments_intact_pictures.pdf").string();
    host.SaveTo(saved);
    ASSERT_EQ(Session().fehlertext, u"");
    std::string list = RunCommand("pdfimages -list " + saved);
    // Every one 64 x 48; the JPEG files go in as JPEG, the arithmetic-coded
    // one with Huffman codes.
    std::size_t placed = 0, passedThrough = 0;
    std::istringstream lines(list);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("   64    48 ") == std::string::npos) continue;
        ++placed;
        if (line.find(" jpeg ") != std::string::npos) ++passedThrough;
    }
    EXPECT_EQ(placed, pictures.size()) << list;
    EXPECT_EQ(passedThrough, 4u) << list;
}

}  // namespace
