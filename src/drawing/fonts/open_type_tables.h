// The tables of an OpenType/TrueType font file that the engine reads, each
// parsed from its bytes in the file. All numbers in the file are big-endian.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ZavorPdf::Fonts::OpenType {

struct OffsetTable {
    std::uint32_t Version = 0;
    std::uint16_t TableCount = 0;
    std::uint16_t SearchRange = 0;
    std::uint16_t EntrySelector = 0;
    std::uint16_t RangeShift = 0;
};

struct TableDirectoryEntry {
    std::string Tag;
    std::uint32_t CheckSum = 0;
    std::uint32_t Offset = 0;
    std::uint32_t Length = 0;
    // Tables are stored 4-byte aligned.
    std::uint32_t PaddedLength() const { return (Length + 3) & ~3u; }
};

struct FontHeaderTable {
    std::uint32_t version = 0;
    std::uint32_t fontRevision = 0;
    std::uint32_t checkSumAdjustment = 0;
    std::uint32_t magicNumber = 0;
    std::uint16_t flags = 0;
    std::uint16_t unitsPerEm = 0;
    std::int64_t created = 0;
    std::int64_t modified = 0;
    std::int16_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::uint16_t macStyle = 0;
    std::uint16_t lowestRecPPEM = 0;
    std::int16_t fontDirectionHint = 0;
    std::int16_t indexToLocFormat = 0;
    std::int16_t glyphDataFormat = 0;
};

struct HorizontalHeaderTable {
    std::uint32_t version = 0;
    std::int16_t ascender = 0, descender = 0, lineGap = 0;
    std::uint16_t advanceWidthMax = 0;
    std::int16_t minLeftSideBearing = 0, minRightSideBearing = 0, xMaxExtent = 0;
    std::int16_t caretSlopeRise = 0, caretSlopeRun = 0, caretOffset = 0;
    std::int16_t metricDataFormat = 0;
    std::uint16_t numberOfHMetrics = 0;
};

struct HorizontalMetrics {
    std::uint16_t advanceWidth = 0;
    std::int16_t lsb = 0;
};

struct OS2Table {
    std::uint16_t version = 0;
    std::uint16_t usWinAscent = 0, usWinDescent = 0;
    std::int16_t sTypoAscender = 0, sTypoDescender = 0, sTypoLineGap = 0;
    std::int16_t yStrikeoutSize = 0, yStrikeoutPosition = 0;
    std::uint16_t usFirstCharIndex = 0;
    std::int16_t sxHeight = 0, sCapHeight = 0;
};

struct PostScriptTable {
    std::uint32_t formatType = 0;
    double italicAngle = 0;
    std::int16_t underlinePosition = 0, underlineThickness = 0;
    std::uint32_t isFixedPitch = 0;
};

// Format-4 character map: segments of consecutive characters.
struct CMap4 {
    std::uint16_t format = 0, length = 0, language = 0;
    std::uint16_t segCountX2 = 0, searchRange = 0, entrySelector = 0, rangeShift = 0;
    std::vector<std::uint16_t> endCount, startCount, idRangeOffset;
    std::vector<std::int16_t> idDelta;
    std::vector<std::uint16_t> glyphIdArray;

    // 0, the missing glyph, for characters the map lacks.
    std::uint16_t GlyphIndex(char16_t ch) const;
};

struct CMapTable {
    bool symbol = false;  // the Windows symbol encoding was chosen
    CMap4 cmap4;
};

// Parsers of the tables' bytes (exactly the table, as the directory gives
// it). A table shorter than its fields fails with a typed exception.
FontHeaderTable ParseHead(std::span<const std::uint8_t> table);
HorizontalHeaderTable ParseHhea(std::span<const std::uint8_t> table);
std::vector<HorizontalMetrics> ParseHmtx(std::span<const std::uint8_t> table, int numberOfHMetrics);
std::uint16_t ParseMaxpGlyphCount(std::span<const std::uint8_t> table);
OS2Table ParseOS2(std::span<const std::uint8_t> table);
PostScriptTable ParsePost(std::span<const std::uint8_t> table);
// Glyph offsets into glyf, count = table length / 2 (short) or / 4 (long).
std::vector<std::uint32_t> ParseLoca(std::span<const std::uint8_t> table, bool shortFormat);
CMapTable ParseCmap(std::span<const std::uint8_t> table);

}  // namespace ZavorPdf::Fonts::OpenType
