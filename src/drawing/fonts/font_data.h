// An OpenType/TrueType font file in memory: its table directory and the
// tables the engine uses. Parsing checks every offset against the image, so
// a damaged file fails with "Error while parsing an OpenType font." (the
// cause nested inside) instead of reading out of bounds.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "drawing/fonts/open_type_tables.h"

namespace ZavorPdf::Fonts::OpenType {

enum class FontTechnology { PostscriptOutlines, TrueTypeOutlines };

class FontData {
public:
    // Parses the image; see the class comment for failures.
    explicit FontData(std::vector<std::uint8_t> bytes);
    FontData(const FontData &) = delete;
    FontData &operator=(const FontData &) = delete;

    const std::vector<std::uint8_t> &Data() const { return data_; }
    const OffsetTable &Offsets() const { return offsetTable_; }
    // By tag, in ordinal order.
    const std::map<std::string, TableDirectoryEntry> &Directory() const { return directory_; }
    const TableDirectoryEntry *Entry(const std::string &tag) const;
    // The table's bytes (its stated length, not padded); empty when absent.
    std::span<const std::uint8_t> TableBytes(const std::string &tag) const;
    FontTechnology Technology() const { return technology_; }

    // Always present: parsing requires them.
    const FontHeaderTable &Head() const { return head_; }
    const HorizontalHeaderTable &Hhea() const { return hhea_; }
    const std::vector<HorizontalMetrics> &Hmtx() const { return hmtx_; }
    int GlyphCount() const { return glyphCount_; }
    const CMapTable &Cmap() const { return cmap_; }
    bool IsSymbolFont() const { return cmap_.symbol; }
    // Optional tables.
    const std::optional<OS2Table> &OS2() const { return os2_; }
    const std::optional<PostScriptTable> &Post() const { return post_; }
    bool HasGlyphTables() const { return !loca_.empty(); }
    const std::vector<std::uint32_t> &Loca() const { return loca_; }

    // The record of one glyph in glyf (empty for an empty glyph or an index
    // beyond the font).
    std::span<const std::uint8_t> GlyphRecord(int glyph) const;

    // A font file that keeps the glyph indices of this one but carries only
    // the outlines of glyph 0, the given glyphs and the components of
    // composite ones. A character map is kept only for simple fonts
    // (cidFont false); composite fonts address glyphs directly.
    std::unique_ptr<FontData> CreateFontSubSet(const std::set<int> &glyphs, bool cidFont) const;

private:
    void Read();
    void ReadDirectory();
    void ReadTables();

    std::vector<std::uint8_t> data_;
    OffsetTable offsetTable_;
    std::map<std::string, TableDirectoryEntry> directory_;
    FontTechnology technology_ = FontTechnology::TrueTypeOutlines;
    FontHeaderTable head_;
    HorizontalHeaderTable hhea_;
    std::vector<HorizontalMetrics> hmtx_;
    int glyphCount_ = 0;
    CMapTable cmap_;
    std::optional<OS2Table> os2_;
    std::optional<PostScriptTable> post_;
    std::vector<std::uint32_t> loca_;
};

// The table checksum: the sum of the big-endian 32-bit words of the data,
// zero-padded to a multiple of 4, modulo 2^32.
std::uint32_t CalcTableChecksum(std::span<const std::uint8_t> bytes);

// The standalone font file of one face of a TrueType collection ("ttcf"),
// for platforms that hand out collections. Fails like parsing.
std::vector<std::uint8_t> ExtractCollectionFace(std::span<const std::uint8_t> collection, int faceIndex);

}  // namespace ZavorPdf::Fonts::OpenType
