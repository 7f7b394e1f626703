// Small hand-built font files for tests that need exact control over the
// tables: five glyphs, 'A'..'D' mapped to glyphs 1..4, glyph 3 a composite
// of glyph 1 and glyph 4 a composite of glyph 3.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "drawing/fonts/font_data.h"
#include "drawing/fonts/font_file_writer.h"

namespace ZavorTest {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes &out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}
inline void PutU32(Bytes &out, std::uint32_t value) {
    PutU16(out, value >> 16);
    PutU16(out, value & 0xFFFF);
}

inline Bytes GlyphHeader(int contours) {
    Bytes g;
    PutU16(g, static_cast<std::uint16_t>(contours));
    for (int i = 0; i < 4; ++i) PutU16(g, 0);  // bounding box
    return g;
}

// A composite record with one component and byte arguments.
inline Bytes CompositeGlyph(int component) {
    Bytes g = GlyphHeader(-1);
    PutU16(g, 0);  // flags: byte arguments, no scale, last component
    PutU16(g, static_cast<unsigned>(component));
    PutU16(g, 0);  // x and y offsets
    return g;
}

struct TestFontTables {
    Bytes head, hhea, maxp, hmtx, cmap, loca, glyf, os2;
};

inline TestFontTables MakeTestFontTables() {
    constexpr int glyphCount = 5;
    TestFontTables t;
    PutU32(t.head, 0x00010000);
    PutU32(t.head, 0x00010000);
    PutU32(t.head, 0);  // checkSumAdjustment
    PutU32(t.head, 0x5F0F3CF5);
    PutU16(t.head, 0);     // flags
    PutU16(t.head, 1000);  // unitsPerEm
    for (int i = 0; i < 4; ++i) PutU32(t.head, 0);  // created, modified
    for (int v : {-50, -200, 950, 800}) PutU16(t.head, static_cast<std::uint16_t>(v));
    PutU16(t.head, 0);  // macStyle
    PutU16(t.head, 8);
    PutU16(t.head, 2);
    PutU16(t.head, 1);  // long loca
    PutU16(t.head, 0);

    PutU32(t.hhea, 0x00010000);
    for (int v : {800, -200, 100}) PutU16(t.hhea, static_cast<std::uint16_t>(v));
    for (int i = 0; i < 12; ++i) PutU16(t.hhea, 0);
    PutU16(t.hhea, glyphCount);

    PutU32(t.maxp, 0x00005000);
    PutU16(t.maxp, glyphCount);

    for (int g = 0; g < glyphCount; ++g) {
        PutU16(t.hmtx, 500 + 100 * static_cast<unsigned>(g));
        PutU16(t.hmtx, 0);
    }

    PutU16(t.cmap, 0);
    PutU16(t.cmap, 1);
    PutU16(t.cmap, 3);
    PutU16(t.cmap, 1);
    PutU32(t.cmap, 12);
    for (unsigned v : {4u, 32u, 0u, 4u, 4u, 1u, 0u}) PutU16(t.cmap, v);
    for (unsigned v : {0x44u, 0xFFFFu, 0u, 0x41u, 0xFFFFu, 0x10000u - 0x40u, 1u, 0u, 0u}) PutU16(t.cmap, v & 0xFFFF);

    std::vector<Bytes> glyphs = {GlyphHeader(0), GlyphHeader(1), GlyphHeader(1), CompositeGlyph(1), CompositeGlyph(3)};
    for (const Bytes &g : glyphs) {
        PutU32(t.loca, static_cast<std::uint32_t>(t.glyf.size()));
        t.glyf.insert(t.glyf.end(), g.begin(), g.end());
    }
    PutU32(t.loca, static_cast<std::uint32_t>(t.glyf.size()));
    return t;
}

inline Bytes CompileTestFont(const TestFontTables &t) {
    using namespace ZavorPdf::Fonts::OpenType;
    FontFileWriter writer;
    auto add = [&writer](const char *tag, const Bytes &bytes) {
        if (!bytes.empty()) writer.AddTable({tag, CalcTableChecksum(bytes), bytes});
    };
    add("head", t.head);
    add("hhea", t.hhea);
    add("maxp", t.maxp);
    add("hmtx", t.hmtx);
    add("cmap", t.cmap);
    add("loca", t.loca);
    add("glyf", t.glyf);
    add("OS/2", t.os2);
    return writer.Compile();
}

// A version 0 OS/2 table: Windows ascent 900, descent 250, typographic
// values set, first character 0xF020 (a symbol font's block).
inline Bytes MakeTestOS2Table() {
    Bytes os2(78, 0);
    auto put = [&os2](std::size_t at, int value) {
        os2[at] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
        os2[at + 1] = static_cast<std::uint8_t>(value & 0xFF);
    };
    put(26, 50);      // yStrikeoutSize
    put(28, 250);     // yStrikeoutPosition
    put(64, 0xF020);  // usFirstCharIndex
    put(68, 700);     // sTypoAscender
    put(70, -150);    // sTypoDescender
    put(74, 900);     // usWinAscent
    put(76, 250);     // usWinDescent
    return os2;
}

// Turns the character map into a Windows symbol map of 0xF041..0xF044.
inline void MakeSymbolCMap(TestFontTables &t) {
    t.cmap[7] = 0;  // encoding 0: symbol
    const std::size_t sub = 12;
    t.cmap[sub + 14] = 0xF0;  // endCount[0] = 0xF044
    t.cmap[sub + 20] = 0xF0;  // startCount[0] = 0xF041
    t.cmap[sub + 24] = 0x0F;  // idDelta[0] = 1 - 0xF041 = 0x0FC0
    t.cmap[sub + 25] = 0xC0;
}

inline Bytes MakeTestFont() { return CompileTestFont(MakeTestFontTables()); }

// Big-endian 32-bit value at an offset of a font image.
inline std::uint32_t ReadU32(const Bytes &bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) | (std::uint32_t{bytes[at + 2]} << 8) |
           bytes[at + 3];
}

inline const char *LiberationSansPath() { return "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"; }

}  // namespace ZavorTest
