// FontData::CreateFontSubSet: the glyph closure and the cut-down file.
#include <algorithm>

#include "drawing/fonts/font_data.h"
#include "drawing/fonts/font_file_writer.h"
#include "drawing/fonts/font_reader.h"
#include "pdf/errors.h"

namespace ZavorPdf::Fonts::OpenType {

namespace {

constexpr std::uint16_t ArgsAreWords = 0x0001;
constexpr std::uint16_t HaveScale = 0x0008;
constexpr std::uint16_t MoreComponents = 0x0020;
constexpr std::uint16_t HaveXYScale = 0x0040;
constexpr std::uint16_t HaveTwoByTwo = 0x0080;

// Adds the direct components of a composite glyph record. A record that
// ends inside a component keeps the components read before the damage.
void AddComponents(std::span<const std::uint8_t> record, int glyphCount, std::set<int> &out) {
    if (record.size() < 10) return;
    FontReader r(record);
    if (r.ReadShort() >= 0) return;
    r.Seek(10);
    try {
        std::uint16_t flags = 0;
        do {
            flags = r.ReadUShort();
            int component = r.ReadUShort();
            if (component < glyphCount) out.insert(component);
            r.Skip((flags & ArgsAreWords) ? 4 : 2);
            if (flags & HaveScale)
                r.Skip(2);
            else if (flags & HaveXYScale)
                r.Skip(4);
            else if (flags & HaveTwoByTwo)
                r.Skip(8);
        } while (flags & MoreComponents);
    } catch (const ZavorPdfException &) {
    }
}

void AppendUShort(std::vector<std::uint8_t> &out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

}  // namespace

std::unique_ptr<FontData> FontData::CreateFontSubSet(const std::set<int> &glyphs, bool cidFont) const {
    // Without glyph locations (PostScript outlines) the font goes whole.
    if (!HasGlyphTables()) return std::make_unique<FontData>(data_);

    std::set<int> kept{0};
    for (int g : glyphs) {
        if (g < 0 || g >= glyphCount_) continue;
        kept.insert(g);
        // Only the requested glyphs are opened: components of components
        // are not followed.
        AddComponents(GlyphRecord(g), glyphCount_, kept);
    }

    std::vector<std::uint8_t> glyf;
    std::vector<std::uint32_t> loca(static_cast<std::size_t>(glyphCount_) + 1);
    for (int g = 0; g < glyphCount_; ++g) {
        loca[g] = static_cast<std::uint32_t>(glyf.size());
        if (!kept.contains(g)) continue;
        std::span<const std::uint8_t> record = GlyphRecord(g);
        glyf.insert(glyf.end(), record.begin(), record.end());
    }
    loca[glyphCount_] = static_cast<std::uint32_t>(glyf.size());

    std::vector<std::uint8_t> locaBytes;
    const bool shortFormat = head_.indexToLocFormat == 0;
    for (std::uint32_t offset : loca) {
        if (shortFormat) {
            AppendUShort(locaBytes, offset / 2);
        } else {
            AppendUShort(locaBytes, offset >> 16);
            AppendUShort(locaBytes, offset & 0xFFFF);
        }
    }

    FontFileWriter writer;
    for (const char *tag : {"cmap", "cvt ", "fpgm", "head", "hhea", "hmtx", "maxp", "prep"}) {
        const TableDirectoryEntry *e = Entry(tag);
        if (!e || (cidFont && e->Tag == "cmap")) continue;
        std::span<const std::uint8_t> bytes = TableBytes(tag);
        writer.AddTable({e->Tag, e->CheckSum, {bytes.begin(), bytes.end()}});
    }
    std::uint32_t glyfSum = CalcTableChecksum(glyf);
    std::uint32_t locaSum = CalcTableChecksum(locaBytes);
    writer.AddTable({"glyf", glyfSum, std::move(glyf)});
    writer.AddTable({"loca", locaSum, std::move(locaBytes)});
    return std::make_unique<FontData>(writer.Compile());
}

}  // namespace ZavorPdf::Fonts::OpenType
