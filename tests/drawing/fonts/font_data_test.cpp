// Font file parsing, lookups, subsetting and the refusal of damaged files.
#include <gtest/gtest.h>

#include <exception>
#include <functional>

#include "drawing/fonts/font_data.h"
#include "drawing/fonts/font_data_stock.h"
#include "drawing/fonts/font_test_support.h"
#include "drawing/fonts/open_type_descriptor.h"
#include "pdf/errors.h"
#include "platform/font_outline.h"
#include "platform/font_resolver.h"

namespace {

using namespace ZavorPdf::Fonts::OpenType;
using ZavorTest::Bytes;

Bytes LiberationBytes() {
    Bytes bytes = ZavorPlatform::ReadFontFile(ZavorTest::LiberationSansPath());
    EXPECT_FALSE(bytes.empty());
    return bytes;
}

const FontData &Liberation() {
    static FontData data(LiberationBytes());
    return data;
}

// The message of a parse failure and of the cause nested in it.
std::pair<std::string, std::string> ParseFailure(Bytes bytes) {
    try {
        FontData data(std::move(bytes));
    } catch (const ZavorPdf::ZavorPdfException &e) {
        std::string cause;
        try {
            std::rethrow_if_nested(e);
        } catch (const ZavorPdf::ZavorPdfException &inner) {
            cause = inner.what();
        }
        return {e.what(), cause};
    }
    return {"no failure", ""};
}

TEST(FontDataTest, LiberationSansTablesAndDescriptorValues) {
    const FontData &font = Liberation();
    EXPECT_EQ(font.Technology(), FontTechnology::TrueTypeOutlines);
    EXPECT_EQ(font.Offsets().TableCount, font.Directory().size());
    EXPECT_EQ(font.Head().unitsPerEm, 2048);
    EXPECT_EQ(font.Head().magicNumber, 0x5F0F3CF5u);
    EXPECT_EQ(font.GlyphCount(), 2620);
    EXPECT_EQ(font.Hhea().ascender, 1854);
    EXPECT_EQ(font.Hhea().descender, -434);
    EXPECT_EQ(font.Hhea().lineGap, 67);
    ASSERT_TRUE(font.OS2());
    EXPECT_EQ(font.OS2()->usWinAscent, 1854);
    EXPECT_EQ(font.OS2()->sCapHeight, 1409);
    EXPECT_FALSE(font.IsSymbolFont());

    OpenTypeDescriptor d("LiberationSans", font);
    EXPECT_EQ(d.Ascender(), 1854);
    EXPECT_EQ(d.Descender(), -434);
    EXPECT_EQ(d.Leading(), 67);
    EXPECT_EQ(d.CapHeight(), 1409);
    EXPECT_EQ(d.XHeight(), 1082);
    EXPECT_EQ(d.UnderlinePosition(), -67);
    EXPECT_EQ(d.UnderlineThickness(), 150);
    EXPECT_EQ(d.StrikeoutPosition(), 530);
    EXPECT_EQ(d.StrikeoutSize(), 102);
    EXPECT_DOUBLE_EQ(d.ItalicAngle(), 0);
    EXPECT_EQ(d.XMin(), -1114);
    EXPECT_EQ(d.YMax(), 2007);
    // The platform's cell metrics: the whole line gap lies outside the cell.
    EXPECT_EQ(d.CellAscent(), 1854);
    EXPECT_EQ(d.CellDescent(), 434);
    EXPECT_EQ(d.LineSpacing(), 2355);
    EXPECT_EQ(d.DesignUnitsToPdf(1409), 688);
    EXPECT_EQ(d.DesignUnitsToPdf(-434), -212);
}

TEST(FontDataTest, WinAnsiWidthsAndGlyphLookup) {
    OpenTypeDescriptor d("LiberationSans", Liberation());
    struct Row {
        int code;
        char16_t ch;
        int glyph;
        int width;
    };
    // Widths are truncated, not rounded: 1366 * 1000 / 2048 = 666.99.
    for (Row row : {Row{0x20, u' ', 3, 277}, Row{0x41, u'A', 36, 666}, Row{0x61, u'a', 68, 556},
                    Row{0x57, u'W', 58, 943}, Row{0x80, u'\u20AC', 2088, 556}, Row{0xC4, u'\u00C4', 134, 666}}) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(d.CharCodeToGlyphIndex(row.ch), row.glyph);
        EXPECT_EQ(d.Widths()[row.code], row.width);
    }
    // Codes that code page 1252 leaves empty and characters without a
    // glyph show the missing glyph.
    EXPECT_EQ(d.CharCodeToGlyphIndex(u'\uFFFE'), 0);
    EXPECT_EQ(d.Widths()[0x81], d.GlyphIndexToPdfWidth(0));
    // Past the metrics the last width repeats; negative indices clamp to 0.
    EXPECT_EQ(d.GlyphIndexToPdfWidth(100000), d.GlyphIndexToPdfWidth(2619));
    EXPECT_EQ(d.GlyphIndexToPdfWidth(-5), d.GlyphIndexToPdfWidth(0));
}

TEST(FontDataTest, SubsetKeepsGlyphIndicesAndLoadsInFreeType) {
    const FontData &full = Liberation();
    // 'H', 'a' and the composite 'Ä' (components 'A' and the dieresis).
    std::unique_ptr<FontData> subset = full.CreateFontSubSet({43, 68, 134}, false);
    EXPECT_LT(subset->Data().size(), full.Data().size() / 4);
    EXPECT_EQ(subset->GlyphCount(), full.GlyphCount());
    for (int glyph = 0; glyph < full.GlyphCount(); ++glyph) {
        bool kept = glyph == 0 || glyph == 43 || glyph == 68 || glyph == 134 || glyph == 36 || glyph == 2338;
        auto record = subset->GlyphRecord(glyph);
        ASSERT_EQ(record.size(), kept ? full.GlyphRecord(glyph).size() : 0u) << glyph;
        if (kept) {
            EXPECT_TRUE(std::equal(record.begin(), record.end(), full.GlyphRecord(glyph).begin()));
        }
    }
    std::vector<std::string> tags;
    for (const auto &[tag, entry] : subset->Directory()) tags.push_back(tag);
    EXPECT_EQ(tags, (std::vector<std::string>{"cmap", "cvt ", "fpgm", "glyf", "head", "hhea", "hmtx", "loca", "maxp", "prep"}));
    // Copied tables keep the source checksums; the new ones get their own.
    EXPECT_EQ(subset->Entry("head")->CheckSum, full.Entry("head")->CheckSum);
    EXPECT_EQ(subset->Entry("glyf")->CheckSum, CalcTableChecksum(subset->TableBytes("glyf")));
    EXPECT_EQ(subset->Entry("loca")->CheckSum, CalcTableChecksum(subset->TableBytes("loca")));
    EXPECT_EQ(subset->Offsets().SearchRange, 128);
    EXPECT_EQ(subset->Offsets().EntrySelector, 3);
    EXPECT_EQ(subset->Offsets().RangeShift, 32);

    ZavorPlatform::FontOutlineFace face(subset->Data());
    EXPECT_EQ(face.GlyphCount(), full.GlyphCount());
    EXPECT_EQ(face.FamilyName(), "");  // the name table is dropped
    EXPECT_EQ(face.GlyphAdvance(134), 1366);
    EXPECT_FALSE(face.GlyphOutline(134, 12).empty());
    EXPECT_TRUE(face.GlyphOutline(44, 12).empty());  // not in the subset
}

TEST(FontDataTest, CompositeFontSubsetHasNoCharacterMap) {
    std::unique_ptr<FontData> subset = Liberation().CreateFontSubSet({68}, true);
    EXPECT_EQ(subset->Entry("cmap"), nullptr);
    EXPECT_EQ(subset->Cmap().cmap4.GlyphIndex(u'a'), 0);
    ZavorPlatform::FontOutlineFace face(subset->Data());
    EXPECT_EQ(face.GlyphAdvance(68), 1139);
}

TEST(FontDataTest, CompositeClosureFollowsFirstLevelOnly) {
    FontData font(ZavorTest::MakeTestFont());
    EXPECT_EQ(font.Cmap().cmap4.GlyphIndex(u'C'), 3);
    struct Row {
        std::set<int> requested;
        std::set<int> kept;
    };
    for (const Row &row : {Row{{4}, {0, 3, 4}}, Row{{3}, {0, 1, 3}}, Row{{2, 99, -1}, {0, 2}}, Row{{}, {0}}}) {
        auto subset = font.CreateFontSubSet(row.requested, false);
        std::set<int> kept;
        for (int g = 0; g < subset->GlyphCount(); ++g)
            if (!subset->GlyphRecord(g).empty()) kept.insert(g);
        EXPECT_EQ(kept, row.kept);
    }
}

TEST(FontDataTest, SymbolFontWidthsAndOldOS2Fallbacks) {
    ZavorTest::TestFontTables t = ZavorTest::MakeTestFontTables();
    t.os2 = ZavorTest::MakeTestOS2Table();
    ZavorTest::MakeSymbolCMap(t);
    FontData font(ZavorTest::CompileTestFont(t));
    ASSERT_TRUE(font.IsSymbolFont());
    OpenTypeDescriptor d("Symbolic", font);
    // Codes are looked up in the symbol block: 0x41 is 0xF041, glyph 1.
    EXPECT_EQ(d.SymbolOffset(), u'\xF000');
    EXPECT_EQ(d.Widths()[0x41], 600);
    EXPECT_EQ(d.Widths()[0x44], 900);
    EXPECT_EQ(d.Widths()[0x20], 500);
    EXPECT_EQ(d.CharCodeToGlyphIndex(u'A'), 0);
    // Windows ascent and descent once typographic values exist; an OS/2
    // table before version 2 has neither cap height nor x-height.
    EXPECT_EQ(d.Ascender(), 900);
    EXPECT_EQ(d.Descender(), -250);
    EXPECT_EQ(d.CapHeight(), 800);
    EXPECT_EQ(d.XHeight(), 594);
    EXPECT_EQ(d.StrikeoutPosition(), 250);
    EXPECT_EQ(d.StrikeoutSize(), 50);
    // The Windows cell (1150) is already taller than the line of hhea
    // (800 + 200 + 100), so the gap adds nothing.
    EXPECT_EQ(d.LineSpacing(), 1150);
}

TEST(FontDataTest, DamagedFontsFailWithTypedErrors) {
    using Mutation = std::function<void(ZavorTest::TestFontTables &, Bytes &)>;
    const std::string parse = "Error while parsing an OpenType font.";
    struct Row {
        const char *name;
        Mutation mutate;
        std::string cause;
    };
    auto file = [](std::function<void(Bytes &)> f) { return [f](ZavorTest::TestFontTables &, Bytes &b) { f(b); }; };
    auto tables = [](std::function<void(ZavorTest::TestFontTables &)> f) {
        return [f](ZavorTest::TestFontTables &t, Bytes &b) {
            f(t);
            b = ZavorTest::CompileTestFont(t);
        };
    };
    std::vector<Row> rows = {
        {"empty", file([](Bytes &b) { b.clear(); }), "The font data ends inside a table."},
        {"truncated directory", file([](Bytes &b) { b.resize(20); }), "The font data ends inside a table."},
        {"truncated tables", file([](Bytes &b) { b.resize(b.size() - 20); }), "A font table lies outside the font data."},
        {"offset past the end", file([](Bytes &b) { b[12 + 8] = 0x7F; }), "A font table lies outside the font data."},
        {"collection", file([](Bytes &b) { b[0] = 't', b[1] = 't', b[2] = 'c', b[3] = 'f'; }),
         "TrueType collection fonts are not supported by ZavorPdf."},
        {"bitmap font", file([](Bytes &b) { std::copy_n("bhed", 4, b.begin() + 12); }),
         "Bitmap fonts are not supported by ZavorPdf."},
        {"short head", tables([](auto &t) { t.head.resize(40); }), "The font data ends inside a table."},
        {"no units per em", tables([](auto &t) { t.head[18] = t.head[19] = 0; }), "The font has no units per em."},
        {"no metrics", tables([](auto &t) { t.hhea[34] = t.hhea[35] = 0; }), "The font has no horizontal metrics."},
        {"no glyphs", tables([](auto &t) { t.maxp[4] = t.maxp[5] = 0; }), "The font has no glyphs."},
        {"missing maxp", tables([](auto &t) { t.maxp.clear(); }), "A required font table is missing."},
        {"loca beyond glyf", tables([](auto &t) { t.loca[t.loca.size() - 1] += 4; }),
         "The glyph locations do not fit the glyph data."},
        {"loca backwards", tables([](auto &t) { t.loca[7] = 0x40; }), "The glyph locations do not fit the glyph data."},
        {"loca too short", tables([](auto &t) { t.loca.resize(8); }), "The glyph locations do not fit the glyph data."},
        {"cmap subtable outside", tables([](auto &t) { t.cmap[11] = 0xF0; }), "The font data ends inside a table."},
        {"no Windows cmap", tables([](auto &t) { t.cmap[5] = 1; }),
         "Font has no usable platform or encoding ID. It cannot be used with ZavorPdf."},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ZavorTest::TestFontTables t = ZavorTest::MakeTestFontTables();
        Bytes bytes = ZavorTest::CompileTestFont(t);
        row.mutate(t, bytes);
        EXPECT_EQ(ParseFailure(bytes), std::make_pair(parse, row.cause));
    }
}

TEST(FontDataTest, CMapReadsNoFurtherThanItsTable) {
    // A glyph array that the stated length promises but the table lacks
    // reads as missing glyphs.
    ZavorTest::TestFontTables t = ZavorTest::MakeTestFontTables();
    t.cmap[12 + 3] = 200;            // length
    t.cmap[12 + 14 + 4 + 2 + 4 + 4 + 1] = 8;  // idRangeOffset of the first segment
    FontData font(ZavorTest::CompileTestFont(t));
    EXPECT_EQ(font.Cmap().cmap4.glyphIdArray.size(), 0u);
    EXPECT_EQ(font.Cmap().cmap4.GlyphIndex(u'A'), 0);
}

TEST(FontDataTest, CollectionFaceBecomesStandaloneFont) {
    Bytes single = ZavorTest::MakeTestFont();
    Bytes collection = {'t', 't', 'c', 'f', 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 16};
    // Table offsets inside a collection count from the collection's start.
    Bytes face = single;
    for (std::size_t i = 0; i < 7; ++i) {
        std::size_t at = 12 + 16 * i + 8;
        std::uint32_t offset = ZavorTest::ReadU32(face, at) + 16;
        for (int k = 0; k < 4; ++k) face[at + k] = static_cast<std::uint8_t>(offset >> (24 - 8 * k));
    }
    collection.insert(collection.end(), face.begin(), face.end());
    EXPECT_EQ(ExtractCollectionFace(collection, 0), single);
    EXPECT_THROW(ExtractCollectionFace(collection, 1), ZavorPdf::ZavorPdfException);
    EXPECT_EQ(ExtractCollectionFace(single, 0), single);
}

TEST(FontDataTest, DataStockKeysByChecksum) {
    EXPECT_EQ(ZavorPdf::Fonts::FontDataStock::CalcChecksum(Bytes{}), 0u);
    EXPECT_EQ(ZavorPdf::Fonts::FontDataStock::Key(Bytes{'a', 'b', 'c'}), "??24A0126");
    // Past one block of 3800 bytes both sums are reduced: 4000 * 255 = 1020000.
    Bytes big(4000, 0xFF);
    std::uint32_t s1 = (3800 * 255 % 65521 + 200 * 255) % 65521;
    EXPECT_EQ(ZavorPdf::Fonts::FontDataStock::CalcChecksum(big) & 0xFFFF, s1);
    auto &stock = ZavorPdf::Fonts::FontDataStock::Global();
    EXPECT_EQ(&stock.GetOrAdd(ZavorTest::MakeTestFont()), &stock.GetOrAdd(ZavorTest::MakeTestFont()));
}

TEST(FontDataTest, FileWriterRefusesChangesOnceCompiled) {
    FontFileWriter writer;
    writer.AddTable({"test", 0, {1, 2, 3}});
    Bytes image = writer.Compile();
    ASSERT_EQ(image.size(), 12u + 16 + 4);
    EXPECT_EQ(image[12 + 15], 3);  // unpadded length in the directory
    EXPECT_EQ(image.back(), 0);    // padding
    try {
        writer.AddTable({"more", 0, {}});
        FAIL();
    } catch (const ZavorPdf::InvalidOperationException &e) {
        EXPECT_STREQ(e.what(), "Font image cannot be modified.");
    }
}

}  // namespace
