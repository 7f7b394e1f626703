// Page sizes as scripts give them: numbers at the ends of the 32-bit range
// in size names, and sides that no viewer would show, through the page
// command and through the page variables.
#include "session/session_test_support.h"

#include <fstream>
#include <iterator>

#include "pdf/page_size.h"
#include "support/test_output.h"

namespace {

using ZavorPdf::Pdf::PageSize;
using ZavorTest::RaisedEvent;

const RaisedEvent kPageRefused{"ZAVOR_ObjektFehler", u"Die Seite konnte wegen fehlerhafter Werte nicht erstellt werden."};

std::u16string Record(const std::string &fields) {
    return ZavorPlatform::Utf8ToUtf16("<Settings><ver>100</ver><Typ>1</Typ>" + fields + "</Settings>");
}

std::string ReadFile(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class SessionPageSizes : public ZavorTest::SessionTest {};

TEST_F(SessionPageSizes, SizeNumbersAtTheEndOfTheRangeGiveA4) {
    for (const char *name : {"X2147483647", "x2147483547", "A2147483647", "B2147483647", "X-2147483648"}) {
        SCOPED_TRACE(name);
        SetUp();
        Session().vpage->SetSize(PageSize::A0);
        Execute(Record("<Format>" + std::string(name) + "</Format>"));
        Set("NeueSeite", name);
        ASSERT_EQ(Session().document->PageCount(), 2);
        EXPECT_EQ(Session().document->Pages().PageAt(0).Size(), PageSize::A4);
        EXPECT_EQ(Session().document->Pages().PageAt(1).Size(), PageSize::A4);
        EXPECT_TRUE(Events().empty());
        EXPECT_TRUE(boxes.Messages().empty());
    }
}

TEST_F(SessionPageSizes, PageCommandRefusesSidesNoViewerShows) {
    struct Case {
        const char *width, *height, *landscape;
        bool accepted;
    };
    const Case cases[] = {
        {"-100", "-100", "false", false},     {"0", "842", "false", false},
        {"595", "0", "true", false},          {"14401", "842", "false", false},
        {"595", "14401", "true", false},      {"2147483647", "2147483647", "false", false},
        {"-2147483648", "100", "false", false}, {"14400", "14400", "false", true},
        {"1", "14400", "true", true},
    };
    const std::filesystem::path file = ZavorTest::OutputPath("page_sizes_refused.pdf");
    for (const Case &test : cases) {
        SCOPED_TRACE(std::string(test.width) + " x " + test.height + (test.landscape[0] == 't' ? " landscape" : ""));
        SetUp();
        Execute(Record("<Format>A4</Format>"));
        Execute(Record("<Breite>" + std::string(test.width) + "</Breite><Hoehe>" + test.height + "</Hoehe><Quer>" +
                       test.landscape + "</Quer>"));
        EXPECT_TRUE(boxes.Messages().empty());
        if (test.accepted) {
            ASSERT_EQ(Session().document->PageCount(), 2);
            // The media box stays portrait; landscape turns it when written.
            EXPECT_EQ(Session().page->MediaBox().Width(), std::stod(test.width));
            EXPECT_EQ(Session().page->MediaBox().Height(), std::stod(test.height));
            EXPECT_TRUE(Events().empty());
            continue;
        }
        EXPECT_EQ(Events(), std::vector<RaisedEvent>{kPageRefused});
        ASSERT_EQ(Session().document->PageCount(), 1);
        // Nothing the script draws next lands on the page before.
        EXPECT_EQ(Session().gfx, nullptr);
        Set("PDFSpeichern", file.string());
        std::string written = ReadFile(file);
        EXPECT_EQ(CountOf(written, "/MediaBox"), 1u);
        EXPECT_TRUE(Contains(written, "/MediaBox[0 0 595 842]")) << written;
    }
}

TEST_F(SessionPageSizes, PageVariablesRefuseSidesNoViewerShows) {
    const std::u16string rectangleFailed = u"Das Rechteck konnte wegen fehlerhafter Werte nicht erstellt werden.";
    // The implicit first page is refused as well; the figure then fails
    // with its own message instead of drawing anywhere.
    Set("Seite_Hoehe", "-100");
    Set("RechteckHinzufuegen", "1");
    EXPECT_EQ(Events(), (std::vector<RaisedEvent>{kPageRefused, {"ZAVOR_ObjektFehler", rectangleFailed}}));
    EXPECT_EQ(Session().document->PageCount(), 0);

    // A refused template is not kept: the next page has the default size.
    Set("Seite_Breite", "14401");
    Set("NeueSeite", "");
    EXPECT_EQ(Events().size(), 3u);
    EXPECT_EQ(Events().back(), kPageRefused);
    EXPECT_EQ(Session().document->PageCount(), 0);
    Set("NeueSeite", "");
    ASSERT_EQ(Session().document->PageCount(), 1);
    EXPECT_EQ(Session().page->Width(), ZavorPdf::Pdf::PdfPage().Width());
    EXPECT_EQ(Events().size(), 3u);
    EXPECT_TRUE(boxes.Messages().empty());
}

}  // namespace
