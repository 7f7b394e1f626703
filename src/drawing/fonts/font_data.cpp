#include "drawing/fonts/font_data.h"

#include <exception>

#include "drawing/fonts/font_file_writer.h"
#include "drawing/fonts/font_messages.h"
#include "drawing/fonts/font_reader.h"
#include "pdf/errors.h"

namespace ZavorPdf::Fonts::OpenType {

namespace {

constexpr std::uint32_t CollectionTag = 0x74746366;  // "ttcf"
constexpr std::uint32_t PostscriptTag = 0x4F54544F;  // "OTTO"

}  // namespace

FontData::FontData(std::vector<std::uint8_t> bytes) : data_(std::move(bytes)) {
    try {
        Read();
    } catch (...) {
        std::throw_with_nested(ZavorPdfException(FontMessages::ParseError));
    }
}

void FontData::Read() {
    FontReader r(data_);
    offsetTable_.Version = r.ReadULong();
    if (offsetTable_.Version == CollectionTag) throw NotSupportedException(FontMessages::CollectionNotSupported);
    if (offsetTable_.Version == PostscriptTag) technology_ = FontTechnology::PostscriptOutlines;
    offsetTable_.TableCount = r.ReadUShort();
    offsetTable_.SearchRange = r.ReadUShort();
    offsetTable_.EntrySelector = r.ReadUShort();
    offsetTable_.RangeShift = r.ReadUShort();
    ReadDirectory();
    if (Entry("bhed")) throw NotSupportedException(FontMessages::BitmapNotSupported);
    ReadTables();
}

void FontData::ReadDirectory() {
    FontReader r(data_, 12);
    for (int i = 0; i < offsetTable_.TableCount; ++i) {
        TableDirectoryEntry e;
        e.Tag = r.ReadTag();
        e.CheckSum = r.ReadULong();
        e.Offset = r.ReadULong();
        e.Length = r.ReadULong();
        if (std::uint64_t{e.Offset} + e.Length > data_.size())
            throw ZavorPdfException(FontMessages::TableOutsideFile);
        directory_.emplace(e.Tag, e);
    }
}

void FontData::ReadTables() {
    for (const char *tag : {"head", "hhea", "maxp", "hmtx"})
        if (!Entry(tag)) throw ZavorPdfException(FontMessages::MissingTable);
    head_ = ParseHead(TableBytes("head"));
    hhea_ = ParseHhea(TableBytes("hhea"));
    glyphCount_ = ParseMaxpGlyphCount(TableBytes("maxp"));
    // Glyph 0, the missing glyph, stands in for every unmapped character.
    if (glyphCount_ == 0) throw ZavorPdfException(FontMessages::NoGlyphs);
    hmtx_ = ParseHmtx(TableBytes("hmtx"), hhea_.numberOfHMetrics);
    // Subsets for composite fonts carry no character map: they are
    // addressed by glyph index.
    if (Entry("cmap")) cmap_ = ParseCmap(TableBytes("cmap"));
    if (Entry("OS/2")) os2_ = ParseOS2(TableBytes("OS/2"));
    if (Entry("post")) post_ = ParsePost(TableBytes("post"));
    if (!Entry("loca")) return;
    if (!Entry("glyf")) throw ZavorPdfException(FontMessages::MissingTable);
    std::vector<std::uint32_t> loca = ParseLoca(TableBytes("loca"), head_.indexToLocFormat == 0);
    // Every glyph needs its start and end, inside glyf and in order;
    // otherwise a glyph record would reach outside the glyph data.
    std::uint32_t glyfLength = Entry("glyf")->Length;
    if (loca.size() < static_cast<std::size_t>(glyphCount_) + 1) throw ZavorPdfException(FontMessages::BadGlyphLocations);
    for (int g = 0; g < glyphCount_; ++g)
        if (loca[g] > loca[g + 1] || loca[g + 1] > glyfLength) throw ZavorPdfException(FontMessages::BadGlyphLocations);
    loca_ = std::move(loca);
}

const TableDirectoryEntry *FontData::Entry(const std::string &tag) const {
    auto it = directory_.find(tag);
    return it == directory_.end() ? nullptr : &it->second;
}

std::span<const std::uint8_t> FontData::TableBytes(const std::string &tag) const {
    const TableDirectoryEntry *e = Entry(tag);
    if (!e) return {};
    return std::span<const std::uint8_t>(data_).subspan(e->Offset, e->Length);
}

std::span<const std::uint8_t> FontData::GlyphRecord(int glyph) const {
    if (loca_.empty() || glyph < 0 || glyph >= glyphCount_) return {};
    return TableBytes("glyf").subspan(loca_[glyph], loca_[glyph + 1] - loca_[glyph]);
}

std::uint32_t CalcTableChecksum(std::span<const std::uint8_t> bytes) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        std::uint32_t word = 0;
        for (std::size_t k = 0; k < 4; ++k) word = (word << 8) | (i + k < bytes.size() ? bytes[i + k] : 0u);
        sum += word;
    }
    return sum;
}

std::vector<std::uint8_t> ExtractCollectionFace(std::span<const std::uint8_t> collection, int faceIndex) {
    try {
        FontReader r(collection);
        if (r.ReadULong() != CollectionTag) return {collection.begin(), collection.end()};
        r.Skip(4);  // version
        std::uint32_t faces = r.ReadULong();
        if (faceIndex < 0 || static_cast<std::uint32_t>(faceIndex) >= faces)
            throw ZavorPdfException(FontMessages::TableOutsideFile);
        r.Skip(4 * static_cast<std::size_t>(faceIndex));
        FontReader face(collection, r.ReadULong());
        face.Skip(4);
        std::uint16_t count = face.ReadUShort();
        face.Skip(6);
        FontFileWriter writer;
        for (int i = 0; i < count; ++i) {
            OutputTable table;
            table.tag = face.ReadTag();
            table.checkSum = face.ReadULong();
            std::uint32_t offset = face.ReadULong();
            std::uint32_t length = face.ReadULong();
            if (std::uint64_t{offset} + length > collection.size()) throw ZavorPdfException(FontMessages::TableOutsideFile);
            table.bytes.assign(collection.begin() + offset, collection.begin() + offset + length);
            writer.AddTable(std::move(table));
        }
        return writer.Compile();
    } catch (...) {
        std::throw_with_nested(ZavorPdfException(FontMessages::ParseError));
    }
}

}  // namespace ZavorPdf::Fonts::OpenType
