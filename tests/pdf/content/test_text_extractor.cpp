// The text of pages: edge cases of the content syntax, pages made of
// several streams, compressed and undecodable streams, files written by the
// engine and read back, agreement with pdftotext, and every failure giving
// an empty text.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "pdf/content/pdf_text_extractor.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"
#include "pdf/io/pdf_reader.h"
#include "support/hostile_pdfs.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {

using namespace ZavorPdf::Pdf;
using ZavorPdf::Pdf::Content::PdfTextExtractor;

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

PdfReference *AddStream(PdfDocument &document, std::string_view bytes) {
    auto stream = std::make_unique<PdfDictionary>(&document);
    stream->CreateStream(Bytes(bytes));
    return document.ReferenceTable().Add(std::move(stream));
}

// A page whose "/Contents" lists the given streams as they are, without the
// save/restore wrapping that appending through PdfContents adds.
PdfPage &AddPage(PdfDocument &document, const std::vector<std::string_view> &streams) {
    PdfPage &page = document.AddPage();
    auto array = std::make_unique<PdfArray>(&document);
    for (std::string_view stream : streams)
        array->Elements().AddReference(AddStream(document, stream));
    page.Elements().SetObject(PdfPage::Keys::Contents, std::move(array));
    return page;
}

std::u16string TextOf(std::string_view content) {
    PdfDocument document;
    AddPage(document, {content});
    return PdfTextExtractor::GetText(document, 0);
}

struct TextCase {
    std::string_view content;
    std::u16string_view expected;
};

class PageText : public testing::TestWithParam<TextCase> {};

TEST_P(PageText, JoinedPiecesAndLineBreak) { EXPECT_EQ(TextOf(GetParam().content), GetParam().expected); }

using namespace std::string_view_literals;

INSTANTIATE_TEST_SUITE_P(
    Content, PageText,
    testing::Values(
        TextCase{"BT /F1 12 Tf 72 712 Td (Hello) Tj ET\n", u"Hello\r\n"},
        TextCase{"BT /F1 12 Tf 72 712 Td (Hello) Tj ET", u"Hello\r\n"},
        TextCase{"", u"\r\n"},
        TextCase{"BT [(Hel) -120 (lo)] TJ ET", u"Hello\r\n"},
        // The quotation-mark operators move to the next line by the
        // leading: none set, none moved.
        TextCase{"BT (a) Tj (b) ' 1 2 (c) \" ET", u"abc\r\n"},
        TextCase{"BT 14 TL (a) Tj (b) ' 1 2 (c) \" ET", u"a\r\nb\r\nc\r\n"},
        TextCase{"BT (a\\(b\\)c) Tj (x(y)z) Tj (\\101) Tj ET", u"a(b)cx(y)zA\r\n"},
        TextCase{"BT <48 65 6C 6C 6F> Tj ET", u"Hello\r\n"},
        // Control codes stay as they are; the host shows them as blanks.
        TextCase{"BT (a\r\nb) Tj ET", u"a\nb\r\n"},
        // Without a leading T* stays on the line; text objects alone do
        // not separate.
        TextCase{"BT (one) Tj T* (two) Tj ET BT (three) Tj ET", u"onetwothree\r\n"},
        TextCase{"BT 12 TL (one) Tj T* (two) Tj ET BT 0 -24 Td (three) Tj ET", u"one\r\ntwo\r\nthree\r\n"},
        // Strings in a font the page does not define read as WinAnsi,
        // one byte per code.
        TextCase{"BT (\xE4\x80) Tj ET", u"\u00E4\u20AC\r\n"},
        TextCase{"BT /F2 12 Tf <00480065> Tj ET"sv, u"\u0000H\u0000e\r\n"sv},
        TextCase{"BT <FEFF004100C4> Tj (\xFE\xFF\x00\x42) Tj ET"sv, u"A\u00C4B\r\n"},
        TextCase{"BI /W 2 /H 1 /BPC 8 /CS /G ID \x01(EI)\xFF\nEI BT (after) Tj ET", u"after\r\n"},
        TextCase{"/Span <</ActualText (hidden)>> BDC BT (shown) Tj ET EMC", u"shown\r\n"},
        // One bad token anywhere: the page has no text at all.
        TextCase{"BT (Hello) Tj ET BT 1.2.3 Tj ET", u""},
        TextCase{"BT (Hello) Tj 2147483648 Tw ET", u""},
        TextCase{"BT (Hello) Tj ET xyz", u""},
        TextCase{"BT (Hello) Tj ] ET", u""},
        TextCase{"BT <4X> Tj ET", u""},
        TextCase{"BT [[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[["
                 "(x)",
                 u""}));

TEST(PageTextStreams, StreamsJoinWithLineFeeds) {
    PdfDocument document;
    AddPage(document, {"BT (a) Tj", "(b)", "Tj ET"});
    // An operator split from its operand by a stream boundary still gets it.
    EXPECT_EQ(PdfTextExtractor::GetText(document, 0), u"ab\r\n");
    AddPage(document, {"BT (a)Tj", "ET"});
    EXPECT_EQ(PdfTextExtractor::GetText(document, 1), u"a\r\n");
}

TEST(PageTextStreams, SingleStreamWithoutArray) {
    PdfDocument document;
    PdfPage &page = document.AddPage();
    page.Elements().SetReference(PdfPage::Keys::Contents, AddStream(document, "(solo) Tj"));
    EXPECT_EQ(PdfTextExtractor::GetText(document, 0), u"solo\r\n");
    PdfPage &empty = document.AddPage();
    empty.Elements().Remove(PdfPage::Keys::Contents);
    EXPECT_EQ(PdfTextExtractor::GetText(document, 1), u"\r\n");
}

TEST(PageTextStreams, FiltersAreAppliedAndUnknownOnesFail) {
    PdfDocument document;
    PdfPage &page = document.AddPage();
    PdfContent &content = page.Contents().AppendContent();
    content.SetBytes(Bytes("BT (zipped) Tj ET"));
    content.Stream()->Zip();
    ASSERT_TRUE(content.IsFiltered());
    EXPECT_EQ(PdfTextExtractor::GetText(document, 0), u"zipped\r\n");

    AddPage(document, {"BT (image) Tj ET"});
    auto *stream = dynamic_cast<PdfDictionary *>(
        document.Pages().PageAt(1).Elements().GetArray(PdfPage::Keys::Contents)->Elements().GetObject(0));
    ASSERT_NE(stream, nullptr);
    stream->Elements().SetName("/Filter", "/DCTDecode");
    EXPECT_EQ(PdfTextExtractor::GetText(document, 1), u"");
    stream->Elements().SetName("/Filter", "/FlateDecode");  // the bytes are not Flate data
    EXPECT_EQ(PdfTextExtractor::GetText(document, 1), u"");
}

TEST(PageTextIndex, OutsideThePagesGivesEmptyText) {
    PdfDocument document;
    AddPage(document, {"(p0) Tj"});
    AddPage(document, {"(p1) Tj"});
    EXPECT_EQ(PdfTextExtractor::GetText(document, 1), u"p1\r\n");
    EXPECT_EQ(PdfTextExtractor::GetText(document, -1), u"");
    EXPECT_EQ(PdfTextExtractor::GetText(document, 2), u"");
}

TEST(PageTextPieces, DeliveredInContentOrder) {
    PdfDocument document;
    PdfPage &page = AddPage(document, {"[(a) 1 (b)] TJ (c) ' (d) Tj"});
    std::vector<std::u16string> pieces;
    PdfTextExtractor::ExtractText(page, [&pieces](std::u16string_view piece) { pieces.emplace_back(piece); });
    EXPECT_EQ(pieces, (std::vector<std::u16string>{u"a", u"b", u"d"}));
}

// A page with a standard font that viewers and pdftotext can show.
void AddHelveticaPage(PdfDocument &document, std::string_view content) {
    PdfPage &page = AddPage(document, {content});
    auto font = std::make_unique<PdfDictionary>(&document);
    font->Elements().SetName("/Type", "/Font");
    font->Elements().SetName("/Subtype", "/Type1");
    font->Elements().SetName("/BaseFont", "/Helvetica");
    font->Elements().SetName("/Encoding", "/WinAnsiEncoding");
    auto fonts = std::make_unique<PdfDictionary>(&document);
    fonts->Elements().SetObject("/F1", std::move(font));
    auto resources = std::make_unique<PdfDictionary>(&document);
    resources->Elements().SetObject("/Font", std::move(fonts));
    page.Elements().SetObject(PdfPage::Keys::Resources, std::move(resources));
}

using ZavorTest::RunCommand;

TEST(PageTextFiles, SavedFileReadsBackAndAgreesWithPdftotext) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext");
    const std::vector<std::string_view> contents{
        "BT /F1 24 Tf 72 700 Td (Hello) Tj [(Wor) -10 (ld)] TJ ET",
        "BT /F1 24 Tf 72 700 Td (Caf\xE9 \\(1\\)) Tj ET",
    };
    PdfDocument document;
    for (std::string_view content : contents)
        AddHelveticaPage(document, content);
    const auto path = ZavorTest::OutputPath("content_text_pages.pdf");
    document.Save(path);

    const std::u16string expected[] = {u"HelloWorld\r\n", u"Caf\u00E9 (1)\r\n"};
    for (int page = 0; page < 2; ++page) {
        EXPECT_EQ(PdfTextExtractor::GetText(path, page), expected[page]) << page;
        // pdftotext ends the page's one line with two line feeds and a form
        // feed; the characters before are the same.
        std::string tool = RunCommand("pdftotext -enc Latin1 -f " + std::to_string(page + 1) + " -l " +
                                      std::to_string(page + 1) + " '" + path.string() + "' -");
        std::u16string toolText(tool.begin(), tool.end());
        for (char16_t &ch : toolText)
            ch = static_cast<char16_t>(ch & 0xFF);
        EXPECT_EQ(toolText, expected[page].substr(0, expected[page].size() - 2) + u"\n\n\f") << page;
    }
    EXPECT_EQ(PdfTextExtractor::GetText(path, 2), u"");
}

// Two pages written by the drawing layer: DrawString with an embedded
// DejaVu Sans, WinAnsi-encoded on the first page and as a Type0 font
// (Identity-H with a ToUnicode map) on the second.
TEST(PageTextFiles, PagesDrawnByTheEngine) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext");
    const auto path = ZavorTest::SourceDir() / "tests/pdf/content/data/engine_pages.pdf";
    const std::u16string first = u"Hello (World) \u00E4\u00F6\r\nSecond line\r\n";
    EXPECT_EQ(PdfTextExtractor::GetText(path, 0), first);
    std::string tool = RunCommand("pdftotext -enc Latin1 -l 1 '" + path.string() + "' -");
    EXPECT_EQ(tool, "Hello (World) \xE4\xF6\nSecond line\n\n\f");
    // Glyph ids read back through the font's ToUnicode map.
    EXPECT_EQ(PdfTextExtractor::GetText(path, 1), u"Unicode \u0416\u20AC\r\n");
}

// A tree with every kind of kid the walk passes over: a node that hands a
// turn down, a kid the file lacks, the same page twice, the catalog and the
// root itself; its "/Count" is wrong. Pages p1 to p4 are objects 4 to 7.
// Damaged on purpose, so not named .pdf.
std::filesystem::path WalkedTree(const std::string &name, const std::string &thirdPage) {
    auto page = [](int content) {
        return "<< /Type /Page /Contents " + std::to_string(content) + " 0 R >>";
    };
    auto text = [](const std::string &word) {
        const std::string data = "BT (" + word + ") Tj ET";
        return "<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
    };
    const std::vector<std::string> objects{
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /MediaBox [0 0 200 100] /Kids [3 0 R 6 0 R 99 0 R 4 0 R 1 0 R 2 0 R 7 0 R] /Count 9 >>",
        "<< /Type /Pages /Parent 2 0 R /Rotate 90 /Kids [4 0 R 5 0 R 2 0 R] /Count 2 >>",
        page(8), page(9), thirdPage.empty() ? page(10) : thirdPage, page(11),
        text("p1"), text("p2"), text("p3"), text("p4")};
    const auto path = ZavorTest::OutputPath(name);
    std::ofstream(path, std::ios::binary) << ZavorTest::Hostile::WithTable(objects);
    return path;
}

TEST(PageTextFiles, PagesOfAReadTreeAreFoundInAnyOrderAsAWholeWalkFindsThem) {
    const auto path = WalkedTree("text_walked_tree.damaged", "");
    const std::u16string expected[] = {u"p1\r\n", u"p2\r\n", u"p3\r\n", u"p4\r\n", u""};
    // The whole tree walked when the file is opened, as an import does.
    auto whole = IO::PdfReader::Open(path, PdfDocumentOpenMode::Import);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->PageCount(), 4);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(PdfTextExtractor::GetText(*whole, i), expected[i]) << i;
    // A document only read walks as far as each page asked for.
    const std::vector<std::vector<int>> orders{{0, 1, 2, 3, 4}, {3, 0, 4, 1, 2}, {-1, 2, 1}, {1, -1, 0, 3}};
    for (const std::vector<int> &order : orders) {
        auto read = IO::PdfReader::Open(path, PdfDocumentOpenMode::ReadOnly);
        ASSERT_NE(read, nullptr);
        for (int index : order) {
            SCOPED_TRACE(index);
            if (index < 0) {
                EXPECT_EQ(read->PageCount(), 4);  // the count finishes the walk
                EXPECT_FALSE(read->Pages().IsFlattening());
            } else {
                EXPECT_EQ(PdfTextExtractor::GetText(*read, index), expected[index]);
            }
        }
        // Inherited entries come down the path each page was found on.
        PdfPage *first = read->Pages().FindPage(0);
        PdfPage *third = read->Pages().FindPage(2);
        ASSERT_TRUE(first != nullptr && third != nullptr);
        EXPECT_EQ(first->Rotate(), 90);
        EXPECT_EQ(third->Rotate(), 0);
        EXPECT_EQ(third->MediaBox().ToString(), "[0 0 200 100]");
        EXPECT_EQ(read->PageCount(), 4);
        EXPECT_EQ(read->Pages().Count(), 4);
        EXPECT_EQ(&read->Pages()[2], third);
    }
}

TEST(PageTextFiles, ADamagedPageLeavesThePagesBeforeItReadable) {
    // The third page cannot be read: a document that is only read still
    // gives the text of the pages before it, and none from there on; opening
    // the file to import from it fails as before, and so does counting it.
    const auto path = WalkedTree("text_walked_tree_page.damaged", "<< /Type /Page /Contents 10 0 R /Kids (");
    EXPECT_THROW(IO::PdfReader::Open(path, PdfDocumentOpenMode::Import), ZavorPdf::ZavorPdfException);
    auto read = IO::PdfReader::Open(path, PdfDocumentOpenMode::ReadOnly);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(PdfTextExtractor::GetText(*read, 1), u"p2\r\n");
    EXPECT_EQ(PdfTextExtractor::GetText(*read, 0), u"p1\r\n");
    // Asked again, the damaged page fails again: no page behind it moves up.
    for (int index : {2, 3, 2})
        EXPECT_EQ(PdfTextExtractor::GetText(*read, index), u"") << index;
    EXPECT_THROW(read->PageCount(), ZavorPdf::ZavorPdfException);
    EXPECT_EQ(PdfTextExtractor::GetText(*read, 0), u"p1\r\n");
}

TEST(PageTextFiles, UnreadableFilesGiveEmptyText) {
    EXPECT_EQ(PdfTextExtractor::GetText(ZavorTest::OutputPath("no_such_file.pdf"), 0), u"");
    const auto path = ZavorTest::OutputPath("content_not_a_pdf.txt");
    std::ofstream(path) << "just text, no PDF";
    EXPECT_EQ(PdfTextExtractor::GetText(path, 0), u"");
}

}  // namespace
