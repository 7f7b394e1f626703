// Text laid out in a box: word blocks, line breaking, the four paragraph
// alignments, the height cut, the exact content written, failures, and a
// saved file whose word positions another tool reads back.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "drawing/fonts/pdf_font_tables.h"
#include "drawing/x_graphics.h"
#include "drawing/x_solid_brush.h"
#include "drawing/x_text_formatter.h"
#include "geometry_test_support.h"
#include "pdf/errors.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_graphics_support.h"

using namespace ZavorPdf::Drawing;
using Block = XTextFormatter::Block;
using BlockType = XTextFormatter::BlockType;
using ZavorPdf::Pdf::Advanced::PdfFontTables;
using ZavorTest::kPageEnd;
using ZavorTest::kPageStart;

namespace {

struct TextPage : ZavorTest::GraphicsPage {
    ~TextPage() { PdfFontTables::Release(&document); }
};

const XSolidBrush kBlack(XColor::FromArgb(0, 0, 0));

// "Arial" resolves to Liberation Sans, whose metrics give round numbers at
// 10 points: "a" and "b" 5.56 wide, a no-break space 2.77, ascent
// 9.0527..., descent 2.1191..., line spacing 11.499...
XFont Arial10() { return XFont(u"Arial", 10); }

struct LaidOut {
    std::vector<Block> blocks;
    // Each block's text: the blocks point into the formatter's text, which
    // is gone with the formatter.
    std::vector<std::u16string> texts;
    double lineSpace = 0;
    double spaceWidth = 0;
};

LaidOut LayOut(std::u16string_view text, XParagraphAlignment alignment, const XRect &rect) {
    TextPage page;
    XTextFormatter formatter(*page.gfx);
    formatter.SetText(text);
    XFont font = Arial10();
    formatter.SetFont(font);
    formatter.SetLayoutRectangle(rect);
    formatter.SetAlignment(alignment);
    formatter.PrepareLayout();
    LaidOut layout{formatter.Blocks(), {}, formatter.LineSpace(), formatter.SpaceWidth()};
    for (const Block &block : layout.blocks)
        layout.texts.emplace_back(block.Text);
    return layout;
}

std::string Draw(std::u16string_view text, XParagraphAlignment alignment, const XRect &rect) {
    TextPage page;
    XTextFormatter formatter(*page.gfx);
    formatter.SetAlignment(alignment);
    formatter.DrawString(text, Arial10(), kBlack, rect);
    return page.Finish();
}

std::string TextObject(const std::string &operators) {
    return kPageStart + "BT\n0 0 0 rg\n/F0 -10 Tf\n" + operators + "ET\n" + kPageEnd;
}

using ZavorTest::RunCommand;

}  // namespace

TEST(TextFormatterTest, Blocks) {
    struct Row {
        std::u16string text;
        std::vector<std::u16string> words;  // "|" for a line break
    };
    const Row rows[] = {
        {u"a b", {u"a", u"b"}},
        {u"a  b", {u"a", u"", u"b"}},
        {u"a\tb", {u"a", u"b"}},
        {u"a\nb", {u"a", u"|", u"b"}},
        {u"a\r\nb", {u"a", u"|", u"b"}},
        {u"a\rb", {u"a", u"|", u"b"}},
        {u"a\n\nb", {u"a", u"|", u"|", u"b"}},
        {u"  lead word", {u"  lead", u"word"}},
        {u"a\n  b", {u"a", u"|", u"", u"", u"b"}},
        {u"trailing ", {u"trailing"}},
        {u"10\u00a0kg x", {u"10\u00a0kg", u"x"}},
        {u"\n", {u"|"}},
        // Around the ends of the range that needs no whitespace check.
        {u"a!b~c\u0084d\u0086e", {u"a!b~c\u0084d\u0086e"}},
        {u"a\u0085b", {u"a", u"b"}},
        {u"a\u167fb\u1680c", {u"a\u167fb", u"c"}},
        {u"a\u2007b\u2008c\u3000d", {u"a\u2007b", u"c", u"d"}},
        // Words are measured while they are cut; letters the code page does
        // not hold as they are (the euro sign, a C1 control, a letter it
        // lacks) leave the word to be measured whole.
        {u"\u20acuro \u00e4\u0153uvre x\u4e2dy z\u0090", {u"\u20acuro", u"\u00e4\u0153uvre", u"x\u4e2dy", u"z\u0090"}},
        {u"\tlead\u2003tab", {u"\tlead", u"tab"}},
    };
    for (const Row &row : rows) {
        LaidOut layout = LayOut(row.text, XParagraphAlignment::Left, XRect(0, 0, 500, 500));
        std::vector<std::u16string> words;
        for (std::size_t i = 0; i < layout.blocks.size(); ++i) {
            const Block &block = layout.blocks[i];
            words.push_back(block.Type == BlockType::LineBreak ? u"|" : layout.texts[i]);
            if (block.Type == BlockType::Text) {
                EXPECT_DOUBLE_EQ(block.Width, Arial10().MeasureWidth(layout.texts[i]));
            }
        }
        EXPECT_EQ(words, row.words) << std::string(row.text.begin(), row.text.end());
    }
}

TEST(TextFormatterTest, BlocksPointIntoTheTextUntilItIsSetAgain) {
    TextPage page;
    XTextFormatter formatter(*page.gfx);
    XFont font = Arial10();
    formatter.SetFont(font);
    formatter.SetLayoutRectangle(XRect(0, 0, 500, 500));
    formatter.SetText(u"alpha beta");
    formatter.PrepareLayout();
    ASSERT_EQ(formatter.Blocks().size(), 2u);
    EXPECT_EQ(formatter.Blocks()[1].Text, u"beta");
    EXPECT_EQ(formatter.Blocks()[1].Text.data(), formatter.Text().data() + 6);
    formatter.SetText(u"gamma");
    EXPECT_TRUE(formatter.Blocks().empty());
    formatter.PrepareLayout();
    ASSERT_EQ(formatter.Blocks().size(), 1u);
    EXPECT_EQ(formatter.Blocks()[0].Text, u"gamma");
}

// A session hands the formatter of one page on to the next: rebound, it
// must lay out and write exactly as a new one, whatever the last page set.
TEST(TextFormatterTest, ReboundFormatterStartsOverOnTheNewPage) {
    TextPage first;
    XTextFormatter formatter(*first.gfx);
    formatter.SetAlignment(XParagraphAlignment::Right);
    formatter.DrawString(u"a long first page text\nwith two lines", Arial10(), kBlack, XRect(10, 10, 200, 100));
    TextPage second;
    formatter.Rebind(*second.gfx);
    EXPECT_EQ(formatter.Font(), nullptr);
    EXPECT_EQ(formatter.Alignment(), XParagraphAlignment::Left);
    EXPECT_TRUE(formatter.Text().empty());
    EXPECT_TRUE(formatter.Blocks().empty());
    EXPECT_EQ(formatter.LineSpace(), 0);
    EXPECT_EQ(formatter.SpaceWidth(), 0);
    formatter.DrawString(u"a b", Arial10(), kBlack, XRect(100, 200, 300, 100));
    EXPECT_EQ(second.Finish(), Draw(u"a b", XParagraphAlignment::Left, XRect(100, 200, 300, 100)));
    std::string firstContent = first.Finish();
    EXPECT_NE(firstContent.find("(a long first page text) Tj\n"), std::string::npos) << firstContent;
    // Right-aligned there: the first line does not start at the box's left edge.
    const std::string textStart = "BT\n0 0 0 rg\n/F0 -10 Tf\n";
    std::size_t at = firstContent.find(textStart);
    ASSERT_NE(at, std::string::npos) << firstContent;
    EXPECT_NE(firstContent.compare(at + textStart.size(), 3, "10 "), 0) << firstContent;
}

TEST(TextFormatterTest, LinePositions) {
    const double sw = 2.77;
    const double ls = 10.0 * 2355 / 2048;
    struct Row {
        const char *name;
        std::u16string text;
        XParagraphAlignment alignment;
        double width;
        std::vector<ZavorPdf::Drawing::XPoint> locations;  // text blocks only
    };
    const Row rows[] = {
        {"left", u"a b", XParagraphAlignment::Left, 300, {{0, 0}, {5.56 + sw, 0}}},
        {"right", u"a b", XParagraphAlignment::Right, 300, {{286.11, 0}, {294.44, 0}}},
        {"default is right", u"a b", XParagraphAlignment::Default, 300, {{286.11, 0}, {294.44, 0}}},
        {"center", u"a b", XParagraphAlignment::Center, 300, {{143.055, 0}, {151.385, 0}}},
        {"two blanks", u"a  b", XParagraphAlignment::Left, 300, {{0, 0}, {8.33, 0}, {8.33 + sw, 0}}},
        {"wrap", u"a b c", XParagraphAlignment::Left, 10, {{0, 0}, {0, ls}, {0, 2 * ls}}},
        {"exact fit", u"a b", XParagraphAlignment::Left, 13.89, {{0, 0}, {8.33, 0}}},
        {"wide word alone", u"abababababab a", XParagraphAlignment::Right, 20,
         {{0, 0}, {20 - 5.56, ls}}},
        {"line feed", u"a\nb", XParagraphAlignment::Left, 300, {{0, 0}, {0, ls}}},
        {"empty line", u"a\n\nb", XParagraphAlignment::Right, 300, {{294.44, 0}, {294.44, 2 * ls}}},
        {"justify wraps", u"a b a b", XParagraphAlignment::Justify, 25,
         {{0, 0}, {(25 - 5.56) / 2, 0}, {25 - 5.56, 0}, {0, ls}}},
        {"justify paragraph end", u"a b a b a\nb", XParagraphAlignment::Justify, 25,
         {{0, 0}, {(25 - 5.56) / 2, 0}, {25 - 5.56, 0}, {0, ls}, {8.33, ls}, {0, 2 * ls}}},
        {"justify wrapped word ends paragraph", u"a b a b\na b", XParagraphAlignment::Justify, 25,
         {{0, 0}, {(25 - 5.56) / 2, 0}, {25 - 5.56, 0}, {0, ls}, {0, 2 * ls}, {8.33, 2 * ls}}},
        {"justify one word", u"abababababab a", XParagraphAlignment::Justify, 20, {{0, 0}, {0, ls}}},
    };
    for (const Row &row : rows) {
        LaidOut layout = LayOut(row.text, row.alignment, XRect(50, 60, row.width, 500));
        std::vector<XPoint> locations;
        for (const Block &block : layout.blocks)
            if (block.Type == BlockType::Text)
                locations.push_back(block.Location);
        ASSERT_EQ(locations.size(), row.locations.size()) << row.name;
        for (std::size_t i = 0; i < locations.size(); ++i) {
            SCOPED_TRACE(std::string(row.name) + " block " + std::to_string(i));
            ZavorTest::ExpectPointNear(locations[i], row.locations[i], 1e-9);
        }
    }
}

TEST(TextFormatterTest, ContentIsExact) {
    // Lines start relative to the last one inside the text object; the
    // first baseline one ascent below the top of the box. The words of a
    // line go out together: a gap as wide as the blank (277 units) as a
    // blank, any other as an offset after the word's advance ("a" and "b"
    // 556 units) in thousandths of the size.
    EXPECT_EQ(Draw(u"a b", XParagraphAlignment::Left, XRect(100, 200, 300, 100)),
              TextObject("100 209.0527 Td (a b) Tj\n"));
    EXPECT_EQ(Draw(u"a b", XParagraphAlignment::Right, XRect(100, 200, 300, 100)),
              TextObject("386.11 209.0527 Td (a b) Tj\n"));
    EXPECT_EQ(Draw(u"a b c", XParagraphAlignment::Left, XRect(100, 200, 10, 100)),
              TextObject("100 209.0527 Td (a) Tj\n0 11.499 Td (b) Tj\n0 11.499 Td (c) Tj\n"));
    EXPECT_EQ(Draw(u"(x)\\ \u00e4", XParagraphAlignment::Left, XRect(0, 0, 300, 100)),
              TextObject("0 9.0527 Td (\\(x\\)\\\\ \xe4) Tj\n"));
    // Justified, 25 points wide: three words of 5.56 points leave two gaps
    // of 4.16 points; the wrapped last word ends the paragraph on the left.
    EXPECT_EQ(Draw(u"a b a b", XParagraphAlignment::Justify, XRect(0, 0, 25, 100)),
              TextObject("0 9.0527 Td [(a)-416(b)-416(a)] TJ\n0 11.499 Td (b) Tj\n"));
    // Lines of letters met before go out as they are; a line with a new
    // letter or one that needs an escape is written as any first line is.
    EXPECT_EQ(Draw(u"ab (a)\nab\u20ac\nab (a)\nab", XParagraphAlignment::Left, XRect(0, 0, 300, 100)),
              TextObject("0 9.0527 Td (ab \\(a\\)) Tj\n0 11.499 Td (ab\x80) Tj\n0 11.499 Td (ab \\(a\\)) Tj\n"
                         "0 11.499 Td (ab) Tj\n"));
    // Two blanks: the second belongs to the next word, whose gap is one blank.
    EXPECT_EQ(Draw(u"a  b", XParagraphAlignment::Left, XRect(0, 0, 300, 100)),
              TextObject("0 9.0527 Td (a  b) Tj\n"));
}

TEST(TextFormatterTest, BoxHeightCutsWrappedLinesOnly) {
    // 20 points leave 8.83 below the first baseline's ascent and descent:
    // less than one line.
    EXPECT_EQ(Draw(u"a b c", XParagraphAlignment::Left, XRect(100, 200, 10, 20)),
              TextObject("100 209.0527 Td (a) Tj\n"));
    EXPECT_EQ(Draw(u"a\nb\nc", XParagraphAlignment::Left, XRect(100, 200, 10, 20)),
              TextObject("100 209.0527 Td (a) Tj\n0 11.499 Td (b) Tj\n0 11.499 Td (c) Tj\n"));
    // Room for exactly two lines: the third wrapped line stops the layout.
    double twoLines = 10.0 * 1854 / 2048 + 10.0 * 434 / 2048 + 10.0 * 2355 / 2048;
    LaidOut layout = LayOut(u"a b c d", XParagraphAlignment::Left, XRect(0, 0, 10, twoLines));
    ASSERT_EQ(layout.blocks.size(), 4u);
    EXPECT_FALSE(layout.blocks[1].Stop);
    EXPECT_TRUE(layout.blocks[2].Stop);
}

TEST(TextFormatterTest, EmptyTextWritesNothing) {
    EXPECT_EQ(Draw(u"", XParagraphAlignment::Justify, XRect(0, 0, 100, 100)), "");
}

TEST(TextFormatterTest, FailuresBeforeAnythingIsWritten) {
    using ZavorPdf::ArgumentException;
    using ZavorPdf::ArgumentNullException;
    TextPage page;
    XTextFormatter formatter(*page.gfx);
    EXPECT_EQ(formatter.Alignment(), XParagraphAlignment::Left);
    EXPECT_EQ(formatter.Font(), nullptr);
    XFont font = Arial10();
    std::u16string text = u"a b";
    XRect rect(0, 0, 100, 100);
    const XStringFormat refused[] = {XStringFormats::Default(), XStringFormats::Center(),
                                     XStringFormats::TopCenter(), XStringFormats::BottomCenter()};
    for (const XStringFormat &format : refused)
        ZavorTest::ExpectFailure<ArgumentException>(
            [&] { formatter.DrawString(text, font, kBlack, rect, format); },
            "Only TopLeft alignment is currently implemented.");
    const XStringFormat topLeft = XStringFormats::TopLeft();
    ZavorTest::ExpectFailure<ArgumentNullException>(
        [&] { formatter.DrawString(nullptr, &font, &kBlack, rect, topLeft); },
        "Value cannot be null. (Parameter 'text')");
    ZavorTest::ExpectFailure<ArgumentNullException>(
        [&] { formatter.DrawString(&text, nullptr, &kBlack, rect, topLeft); },
        "Value cannot be null. (Parameter 'font')");
    ZavorTest::ExpectFailure<ArgumentNullException>(
        [&] { formatter.DrawString(&text, &font, nullptr, rect, topLeft); },
        "Value cannot be null. (Parameter 'brush')");
    ZavorTest::ExpectFailure<ArgumentNullException>([&] { formatter.SetFont(nullptr); },
                                                    "Value cannot be null. (Parameter 'font')");
    ZavorTest::ExpectFailure<ArgumentNullException>([&] { formatter.PrepareLayout(); },
                                                    "Value cannot be null. (Parameter 'font')");
    EXPECT_EQ(page.Finish(), "");
}

namespace {

struct Word {
    double xMin, yMin, xMax;
    std::string text;
};

std::vector<Word> ReadWords(const std::filesystem::path &path) {
    std::string html = RunCommand("pdftotext -bbox '" + path.string() + "' - 2>&1");
    std::regex pattern(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="[0-9.]+">([^<]*)</word>)re");
    std::vector<Word> words;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), pattern); it != std::sregex_iterator(); ++it)
        words.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), (*it)[4]});
    return words;
}

}  // namespace

TEST(TextFormatterTest, SavedBoxesReadBackAtTheirEdges) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext");
    const std::u16string paragraph = u"Lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod";
    std::filesystem::path path = ZavorTest::OutputPath("text_formatter_boxes.pdf");
    {
        ZavorPdf::Pdf::PdfDocument document;
        ZavorPdf::Pdf::PdfPage &page = document.AddPage();
        page.SetSize(ZavorPdf::Pdf::PageSize::A4);
        {
            auto gfx = XGraphics::FromPdfPage(&page);
            XTextFormatter formatter(*gfx);
            XFont font(u"Arial", 12);
            formatter.SetAlignment(XParagraphAlignment::Right);
            formatter.DrawString(paragraph, font, kBlack, XRect(100, 100, 200, 200));
            formatter.SetAlignment(XParagraphAlignment::Justify);
            formatter.DrawString(paragraph, font, kBlack, XRect(100, 400, 200, 200));
        }
        PdfFontTables::PrepareForSave(document);
        document.Save(path);
        PdfFontTables::Release(&document);
    }
    std::vector<Word> words = ReadWords(path);
    ASSERT_EQ(words.size(), 22u);
    // Every line of the right-aligned box ends at x 300; each justified line
    // but the last starts at 100 and ends at 300.
    std::vector<std::vector<Word>> lines;
    for (const Word &word : words) {
        if (lines.empty() || std::abs(lines.back().back().yMin - word.yMin) > 1)
            lines.emplace_back();
        lines.back().push_back(word);
    }
    ASSERT_GE(lines.size(), 6u);
    std::size_t rightLines = 0;
    for (const auto &line : lines)
        rightLines += line.front().yMin < 400 ? 1 : 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i) + " " + lines[i].front().text);
        bool justified = i >= rightLines;
        bool lastLine = i + 1 == lines.size();
        if (!justified || !lastLine) {
            EXPECT_NEAR(lines[i].back().xMax, 300, 0.05);
        }
        if (justified) {
            EXPECT_NEAR(lines[i].front().xMin, 100, 0.05);
        }
        if (justified && lastLine) {
            EXPECT_LT(lines[i].back().xMax, 299);
        }
    }
    EXPECT_EQ(lines.size(), 2 * rightLines);
}
