#include "drawing/fonts/open_type_tables.h"

#include <algorithm>
#include <type_traits>

#include "drawing/fonts/font_reader.h"
#include "drawing/fonts/font_messages.h"
#include "pdf/errors.h"

namespace ZavorPdf::Fonts::OpenType {

std::uint16_t CMap4::GlyphIndex(char16_t ch) const {
    const std::size_t segCount = endCount.size();
    for (std::size_t i = 0; i < segCount; ++i) {
        if (endCount[i] < ch) continue;
        if (ch < startCount[i]) return 0;
        if (idRangeOffset[i] == 0) return static_cast<std::uint16_t>((ch + idDelta[i]) & 0xFFFF);
        // idRangeOffset counts bytes from the entry itself to the glyph, so
        // the entries still ahead in idRangeOffset are subtracted.
        std::int64_t index = static_cast<std::int64_t>(idRangeOffset[i] / 2) + (ch - startCount[i]) -
                             static_cast<std::int64_t>(segCount - i);
        if (index < 0 || index >= static_cast<std::int64_t>(glyphIdArray.size())) return 0;
        std::uint16_t value = glyphIdArray[static_cast<std::size_t>(index)];
        if (value == 0) return 0;
        return static_cast<std::uint16_t>((value + idDelta[i]) & 0xFFFF);
    }
    return 0;
}

FontHeaderTable ParseHead(std::span<const std::uint8_t> table) {
    FontReader r(table);
    FontHeaderTable t;
    t.version = r.ReadULong();
    t.fontRevision = r.ReadULong();
    t.checkSumAdjustment = r.ReadULong();
    t.magicNumber = r.ReadULong();
    t.flags = r.ReadUShort();
    t.unitsPerEm = r.ReadUShort();
    t.created = r.ReadLongDateTime();
    t.modified = r.ReadLongDateTime();
    t.xMin = r.ReadShort();
    t.yMin = r.ReadShort();
    t.xMax = r.ReadShort();
    t.yMax = r.ReadShort();
    t.macStyle = r.ReadUShort();
    t.lowestRecPPEM = r.ReadUShort();
    t.fontDirectionHint = r.ReadShort();
    t.indexToLocFormat = r.ReadShort();
    t.glyphDataFormat = r.ReadShort();
    // Every width and every metric is divided by it.
    if (t.unitsPerEm == 0) throw ZavorPdfException(FontMessages::ZeroUnitsPerEm);
    return t;
}

HorizontalHeaderTable ParseHhea(std::span<const std::uint8_t> table) {
    FontReader r(table);
    HorizontalHeaderTable t;
    t.version = r.ReadULong();
    t.ascender = r.ReadShort();
    t.descender = r.ReadShort();
    t.lineGap = r.ReadShort();
    t.advanceWidthMax = r.ReadUShort();
    t.minLeftSideBearing = r.ReadShort();
    t.minRightSideBearing = r.ReadShort();
    t.xMaxExtent = r.ReadShort();
    t.caretSlopeRise = r.ReadShort();
    t.caretSlopeRun = r.ReadShort();
    t.caretOffset = r.ReadShort();
    r.Skip(8);  // reserved
    t.metricDataFormat = r.ReadShort();
    t.numberOfHMetrics = r.ReadUShort();
    return t;
}

std::vector<HorizontalMetrics> ParseHmtx(std::span<const std::uint8_t> table, int numberOfHMetrics) {
    // Widths of later glyphs repeat the last entry, so there must be one.
    if (numberOfHMetrics < 1) throw ZavorPdfException(FontMessages::NoHorizontalMetrics);
    FontReader r(table);
    std::vector<HorizontalMetrics> metrics(static_cast<std::size_t>(numberOfHMetrics));
    for (HorizontalMetrics &m : metrics) {
        m.advanceWidth = r.ReadUShort();
        m.lsb = r.ReadShort();
    }
    return metrics;
}

std::uint16_t ParseMaxpGlyphCount(std::span<const std::uint8_t> table) {
    FontReader r(table);
    r.Skip(4);  // version
    return r.ReadUShort();
}

OS2Table ParseOS2(std::span<const std::uint8_t> table) {
    FontReader r(table);
    OS2Table t;
    t.version = r.ReadUShort();
    r.Skip(2 * 8);  // xAvgCharWidth .. ySubscriptYOffset
    r.Skip(2 * 4);  // superscript size and offset
    t.yStrikeoutSize = r.ReadShort();
    t.yStrikeoutPosition = r.ReadShort();
    r.Skip(2 + 10 + 16 + 4 + 2);  // family class, panose, ranges, vendor, selection
    t.usFirstCharIndex = r.ReadUShort();
    r.Skip(2);  // usLastCharIndex
    t.sTypoAscender = r.ReadShort();
    t.sTypoDescender = r.ReadShort();
    t.sTypoLineGap = r.ReadShort();
    t.usWinAscent = r.ReadUShort();
    t.usWinDescent = r.ReadUShort();
    if (t.version >= 2) {
        r.Skip(8);  // code page ranges
        t.sxHeight = r.ReadShort();
        t.sCapHeight = r.ReadShort();
    }
    return t;
}

PostScriptTable ParsePost(std::span<const std::uint8_t> table) {
    FontReader r(table);
    PostScriptTable t;
    t.formatType = r.ReadULong();
    t.italicAngle = r.ReadLong() / 65536.0;
    t.underlinePosition = r.ReadShort();
    t.underlineThickness = r.ReadShort();
    t.isFixedPitch = r.ReadULong();
    return t;
}

std::vector<std::uint32_t> ParseLoca(std::span<const std::uint8_t> table, bool shortFormat) {
    FontReader r(table);
    std::size_t count = table.size() / (shortFormat ? 2 : 4);
    std::vector<std::uint32_t> offsets(count);
    for (std::uint32_t &offset : offsets) offset = shortFormat ? r.ReadUShort() * 2u : r.ReadULong();
    return offsets;
}

namespace {

CMap4 ReadCMap4(FontReader &r, std::size_t tableSize) {
    std::size_t start = r.Position();
    CMap4 m;
    m.format = r.ReadUShort();
    m.length = r.ReadUShort();
    m.language = r.ReadUShort();
    m.segCountX2 = r.ReadUShort();
    m.searchRange = r.ReadUShort();
    m.entrySelector = r.ReadUShort();
    m.rangeShift = r.ReadUShort();
    const std::size_t segCount = m.segCountX2 / 2;
    auto readAll = [&r, segCount](auto &values) {
        values.resize(segCount);
        for (auto &v : values) v = static_cast<std::remove_reference_t<decltype(v)>>(r.ReadUShort());
    };
    readAll(m.endCount);
    r.Skip(2);  // reserved pad
    readAll(m.startCount);
    readAll(m.idDelta);
    readAll(m.idRangeOffset);
    // The stated length may overstate the table; what lies beyond the cmap
    // table is not read.
    std::size_t length = std::min<std::size_t>(m.length, tableSize - start);
    std::size_t used = 16 + 8 * segCount;
    std::size_t glyphCount = length > used ? (length - used) / 2 : 0;
    m.glyphIdArray.resize(glyphCount);
    for (std::uint16_t &g : m.glyphIdArray) g = r.ReadUShort();
    return m;
}

}  // namespace

CMapTable ParseCmap(std::span<const std::uint8_t> table) {
    FontReader r(table);
    r.Skip(2);  // version
    std::uint16_t count = r.ReadUShort();
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint16_t platformId = r.ReadUShort();
        std::uint16_t encodingId = r.ReadUShort();
        std::uint32_t offset = r.ReadULong();
        if (platformId != 3 || (encodingId != 0 && encodingId != 1)) continue;
        CMapTable result;
        result.symbol = encodingId == 0;
        FontReader sub(table, offset);
        result.cmap4 = ReadCMap4(sub, table.size());
        return result;
    }
    throw NotSupportedException(FontMessages::NoUsableCMap);
}

}  // namespace ZavorPdf::Fonts::OpenType
