// PDF font objects: their dictionaries, the per-document font table and
// saved files checked with poppler's tools.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>

#include "drawing/fonts/pdf_font_table.h"
#include "drawing/fonts/pdf_font_tables.h"
#include "drawing/fonts/pdf_to_unicode_map.h"
#include "drawing/fonts/pdf_type0_font.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_reference.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {

using namespace ZavorPdf::Pdf;
using namespace ZavorPdf::Pdf::Advanced;
using ZavorPdf::Drawing::XFont;
using ZavorPdf::Drawing::XFontStyle;
using ZavorPdf::Drawing::XPdfFontOptions;

using ZavorTest::RunCommand;

using FontDocument = PdfDocument;

PdfDictionary *Descriptor(const PdfDictionary &font) { return font.Elements().GetDictionary("/FontDescriptor"); }

// One page that shows `operand` (a string already in PDF syntax) with /F1.
void SavePage(PdfDocument &document, PdfFont &font, const std::string &operand, const std::string &name) {
    PdfPage &page = document.AddPage();
    std::string text = "BT /F1 12 Tf 72 700 Td " + operand + " Tj ET\n";
    page.Contents().AppendContent().SetBytes({text.begin(), text.end()});
    auto fonts = std::make_unique<PdfDictionary>();
    fonts->Elements().SetReference("/F1", font);
    auto resources = std::make_unique<PdfDictionary>();
    resources->Elements().SetValue("/Font", std::move(fonts));
    page.Elements().SetValue("/Resources", std::move(resources));
    // The save itself prepares the fonts: subsets, widths, ToUnicode.
    document.Save(ZavorTest::OutputPath(name));
}

std::string HexOperand(const std::vector<std::uint8_t> &bytes) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string hex = "<";
    for (std::uint8_t b : bytes) hex += {Digits[b >> 4], Digits[b & 15]};
    return hex + ">";
}

TEST(PdfFontTest, SimpleFontWithDefaultOptionsEmbedsNothing) {
    ZAVOR_SKIP_ON_WINDOWS("fontconfig's substitutes by name (Windows keeps the family asked for)");
    FontDocument document;
    PdfFont &font = PdfFontTables::Of(document).GetFont(XFont(u"Arial", 12, XFontStyle::Bold));
    font.AddChars(u"Hallo");
    font.PrepareForSave();
    const DictionaryElements &e = font.Elements();
    EXPECT_TRUE(font.IsIndirect());
    EXPECT_EQ(e.GetName("/Type"), "/Font");
    EXPECT_EQ(e.GetName("/Subtype"), "/TrueType");
    EXPECT_EQ(e.GetName("/BaseFont"), "/LiberationSans,Bold");
    EXPECT_EQ(e.GetName("/Encoding"), "/WinAnsiEncoding");
    EXPECT_EQ(e.GetInteger("/FirstChar"), 0);
    EXPECT_EQ(e.GetInteger("/LastChar"), 255);
    ASSERT_EQ(e.GetArray("/Widths")->Elements().Count(), 256);
    EXPECT_EQ(e.GetArray("/Widths")->Elements().GetInteger(0x41), font.FontDescriptor().Descriptor().Widths()[0x41]);
    PdfDictionary *descriptor = Descriptor(font);
    ASSERT_NE(descriptor, nullptr);
    EXPECT_EQ(descriptor->Elements().GetName("/FontName"), "/LiberationSans,Bold");
    EXPECT_FALSE(descriptor->Elements().ContainsKey("/FontFile2"));
}

TEST(PdfFontTest, FontDescriptorValuesInThousandthsOfTheEm) {
    ZAVOR_SKIP_ON_WINDOWS("fontconfig's substitutes by name (Windows keeps the family asked for)");
    FontDocument document;
    PdfFont &font = PdfFontTables::Of(document).GetFont(XFont(u"Arial", 12));
    const DictionaryElements &d = Descriptor(font)->Elements();
    EXPECT_EQ(d.GetName("/Type"), "/FontDescriptor");
    EXPECT_EQ(d.GetInteger("/Ascent"), 905);
    EXPECT_EQ(d.GetInteger("/Descent"), -212);
    EXPECT_EQ(d.GetInteger("/CapHeight"), 688);
    EXPECT_EQ(d.GetInteger("/XHeight"), 528);
    EXPECT_EQ(d.GetInteger("/Flags"), 32);
    EXPECT_EQ(d.GetInteger("/StemV"), 0);
    EXPECT_EQ(d.GetReal("/ItalicAngle"), 0);
    EXPECT_EQ(d.GetArray("/FontBBox")->ToString(), "[-544 -303 1302 980]");
    EXPECT_EQ(d.GetName("/FontName"), "/LiberationSans");
}

TEST(PdfFontTest, TableHandsOutOneFontPerFamilyStyleAndType) {
    ZAVOR_SKIP_ON_WINDOWS("fontconfig's substitutes by name (Windows keeps the family asked for)");
    FontDocument document;
    PdfFontTable &table = PdfFontTables::Of(document);
    PdfFont &regular = table.GetFont(XFont(u"Arial", 12));
    EXPECT_EQ(&table.GetFont(XFont(u"Arial", 30)), &regular);
    EXPECT_EQ(&table.GetFont(XFont(u"Liberation Sans", 9, XFontStyle::Underline)), &regular);
    EXPECT_NE(&table.GetFont(XFont(u"Arial", 12, XFontStyle::Italic)), &regular);
    PdfFont &unicode = table.GetFont(XFont(u"Arial", 12, XFontStyle::Regular, XPdfFontOptions(PdfFontEncoding::Unicode)));
    EXPECT_NE(&unicode, &regular);
    EXPECT_TRUE(dynamic_cast<PdfType0Font *>(&unicode));
    // Bold for a family without a bold face shares the regular font.
    PdfFont &math = table.GetFont(XFont(u"DejaVu Math TeX Gyre", 12));
    EXPECT_EQ(&table.GetFont(XFont(u"DejaVu Math TeX Gyre", 12, XFontStyle::Bold)), &math);
    EXPECT_EQ(table.Count(), 4);
    EXPECT_EQ(&PdfFontTables::Of(document), &table);
}

TEST(PdfFontTest, CompositeFontWritesWidthsAndToUnicodeForDrawnGlyphs) {
    ZAVOR_SKIP_ON_WINDOWS("fontconfig's substitutes by name (Windows keeps the family asked for)");
    FontDocument document;
    auto &font = dynamic_cast<PdfType0Font &>(PdfFontTables::Of(document).GetFont(
        XFont(u"Arial", 12, XFontStyle::Regular, XPdfFontOptions(PdfFontEncoding::Unicode))));
    font.AddChars(u"AB");
    font.AddChars(u"BA");
    EXPECT_EQ(font.EncodeText(u"AB"), (std::vector<std::uint8_t>{0, 36, 0, 37}));
    font.PrepareForSave();
    const DictionaryElements &e = font.Elements();
    EXPECT_EQ(e.GetName("/Subtype"), "/Type0");
    EXPECT_EQ(e.GetName("/Encoding"), "/Identity-H");
    std::string baseFont = e.GetName("/BaseFont");
    EXPECT_TRUE(std::regex_match(baseFont, std::regex("/[A-Z]{6}\\+LiberationSans"))) << baseFont;
    const DictionaryElements &cid = font.DescendantFont().Elements();
    EXPECT_EQ(cid.GetName("/Subtype"), "/CIDFontType2");
    EXPECT_EQ(cid.GetName("/BaseFont"), baseFont);
    EXPECT_EQ(cid.GetDictionary("/CIDSystemInfo")->ToString(), "<</Ordering (Identity) /Registry (Adobe) /Supplement 0 >>");
    EXPECT_EQ(cid["/W"]->ToString(), "[36[666]37[666]]");
    EXPECT_EQ(Descriptor(font.DescendantFont())->Elements().GetName("/FontName"), baseFont);
    EXPECT_FALSE(e.ContainsKey("/FontDescriptor"));
    EXPECT_EQ(font.ToUnicode()->BuildText(),
              "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
              "/CIDSystemInfo << /Registry (Adobe)/Ordering (UCS)/Supplement 0>> def\n"
              "/CMapName /Adobe-Identity-UCS def /CMapType 2 def\n"
              "1 begincodespacerange\n<0024><0025>\nendcodespacerange\n"
              "2 beginbfrange\n<0024><0024><0041>\n<0025><0025><0042>\nendbfrange\n"
              "endcmap CMapName currentdict /CMap defineresource pop end end\n");
    // Composite fonts always embed their program, whatever the option says.
    EXPECT_TRUE(Descriptor(font.DescendantFont())->Elements().ContainsKey("/FontFile2"));
}

TEST(PdfFontTest, ToUnicodeSectionsHoldAtMostOneHundredRanges) {
    FontDocument document;
    PdfFont &font = PdfFontTables::Of(document).GetFont(
        XFont(u"Arial", 12, XFontStyle::Regular, XPdfFontOptions(PdfFontEncoding::Unicode)));
    std::u16string text;
    for (char16_t ch = u'!'; ch <= u'\u00FF'; ++ch) text += ch;
    font.AddChars(text);
    std::string cmap = font.ToUnicode()->BuildText();
    std::size_t glyphs = font.CMap().GlyphIndices().size();
    ASSERT_GT(glyphs, 100u);
    EXPECT_NE(cmap.find("100 beginbfrange\n"), std::string::npos);
    EXPECT_NE(cmap.find("\n" + std::to_string(glyphs - 100) + " beginbfrange\n"), std::string::npos);
}

TEST(PdfFontTest, SubsetTagIsSixCapitalsAndPlus) {
    for (const char *name : {"/Arial", "Arial"}) {
        std::string tagged = PdfFont::CreateEmbeddedFontSubsetName(name);
        EXPECT_TRUE(std::regex_match(tagged, std::regex("[A-Z]{6}\\+Arial"))) << tagged;
    }
}

TEST(PdfFontTest, SavedSimpleFontSubsetIsEmbeddedAndExtractable) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdffonts, pdftotext");
    FontDocument document;
    PdfFont &font = PdfFontTables::Of(document).GetFont(
        XFont(u"Arial", 12, XFontStyle::Regular, XPdfFontOptions(PdfFontEmbedding::Always)));
    font.AddChars(u"Hallo");
    SavePage(document, font, "(Hallo)", "font_simple_subset.pdf");
    PdfDictionary *program = font.FontDescriptor().FontProgram();
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->Elements().GetName("/Filter"), "/FlateDecode");
    EXPECT_GT(program->Elements().GetInteger("/Length1"), program->Elements().GetInteger("/Length"));

    std::string path = ZavorTest::OutputPath("font_simple_subset.pdf").string();
    std::string fonts = RunCommand("pdffonts '" + path + "' 2>&1");
    EXPECT_TRUE(std::regex_search(fonts, std::regex("[A-Z]{6}\\+LiberationSans +TrueType +WinAnsi +yes yes"))) << fonts;
    EXPECT_EQ(RunCommand("pdftotext '" + path + "' - 2>&1"), "Hallo\n\n\f");
}

TEST(PdfFontTest, SavedCompositeFontIsEmbeddedAndExtractable) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdffonts, pdftotext");
    FontDocument document;
    document.Options().SetNoCompression(true);
    PdfFont &font = PdfFontTables::Of(document).GetFont(
        XFont(u"Arial", 12, XFontStyle::Regular, XPdfFontOptions(PdfFontEncoding::Unicode)));
    std::u16string text = u"Hallo \u00C4 \u20AC \u0101";
    font.AddChars(text);
    SavePage(document, font, HexOperand(font.EncodeText(text)), "font_composite_subset.pdf");
    EXPECT_FALSE(font.FontDescriptor().FontProgram()->Elements().ContainsKey("/Filter"));

    std::string path = ZavorTest::OutputPath("font_composite_subset.pdf").string();
    std::string fonts = RunCommand("pdffonts '" + path + "' 2>&1");
    EXPECT_TRUE(std::regex_search(fonts, std::regex("[A-Z]{6}\\+LiberationSans +CID TrueType +Identity-H +yes yes yes")))
        << fonts;
    EXPECT_EQ(RunCommand("pdftotext -enc UTF-8 '" + path + "' - 2>&1"), "Hallo \u00C4 \u20AC \u0101\n\n\f");
}

TEST(PdfFontTest, FontsDroppedBySavingAreForgotten) {
    FontDocument document;
    PdfFontTable &table = PdfFontTables::Of(document);
    // Nothing refers to this font, so saving drops it from the document.
    PdfFont *unused = &table.GetFont(XFont(u"Courier New", 10, XFontStyle::Regular, XPdfFontOptions(PdfFontEncoding::Unicode)));
    unused->AddChars(u"x");
    PdfFont &used = table.GetFont(XFont(u"Arial", 12));
    used.AddChars(u"Hi");
    SavePage(document, used, "(Hi)", "font_dropped_first.pdf");
    EXPECT_EQ(table.Count(), 1);
    PdfFont &again = table.GetFont(XFont(u"Courier New", 10, XFontStyle::Regular, XPdfFontOptions(PdfFontEncoding::Unicode)));
    again.AddChars(u"y");
    EXPECT_EQ(table.Count(), 2);
    PdfFontTables::PrepareForSave(document);
    document.Save(ZavorTest::OutputPath("font_dropped_second.pdf"));
}

TEST(PdfFontTest, RegistryKeepsOneTablePerDocument) {
    PdfDocument first;
    PdfDocument second;
    PdfFontTable &table = PdfFontTables::Of(first);
    EXPECT_NE(&table, &PdfFontTables::Of(second));
    EXPECT_EQ(&table, &PdfFontTables::Of(first));
    table.GetFont(XFont(u"Arial", 12));
    int count = PdfFontTables::Count();
    PdfFontTables::Release(&first);
    EXPECT_EQ(PdfFontTables::Count(), count - 1);
    // Preparing a document without a table creates none.
    PdfFontTables::PrepareForSave(first);
    EXPECT_EQ(PdfFontTables::Count(), count - 1);
    EXPECT_EQ(PdfFontTables::Of(first).Count(), 0);
    PdfFontTables::Release(&first);
    PdfFontTables::Release(&second);
}

TEST(PdfFontTest, ADocumentThatGoesTakesItsFontTableAlong) {
    int before = PdfFontTables::Count();
    {
        PdfDocument document;
        PdfFontTables::Of(document).GetFont(XFont(u"Arial", 10, XFontStyle::Regular));
        EXPECT_EQ(PdfFontTables::Count(), before + 1);
    }
    EXPECT_EQ(PdfFontTables::Count(), before);
}

}  // namespace
