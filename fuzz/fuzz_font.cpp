// The font file parser on arbitrary bytes, followed by everything that
// runs on a parsed font: descriptor values, character lookups, widths and
// a subset that must parse again.
// Contract: for any input nothing worse happens than a ZavorPdfException
// from parsing; a subset of a font that parsed must parse as well.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

#include "drawing/fonts/font_data.h"
#include "drawing/fonts/open_type_descriptor.h"
#include "pdf/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace ZavorPdf::Fonts::OpenType;
    std::vector<std::uint8_t> bytes(data, data + size);
    std::unique_ptr<FontData> font;
    try {
        font = std::make_unique<FontData>(bytes);
    } catch (const ZavorPdf::ZavorPdfException &) {
        return 0;
    }
    OpenTypeDescriptor descriptor("Fuzz", *font);
    std::set<int> glyphs;
    for (char16_t ch : {u'\0', u' ', u'A', u'z', u'\u00C4', u'\u20AC', u'\uFFFF'}) {
        int glyph = descriptor.CharCodeToGlyphIndex(ch);
        if (glyph < 0 || glyph >= font->GlyphCount()) std::abort();
        glyphs.insert(glyph);
        descriptor.GlyphIndexToPdfWidth(glyph);
    }
    for (int glyph = 0; glyph < font->GlyphCount() && glyph < 64; ++glyph) glyphs.insert(glyph);
    for (bool cidFont : {false, true}) {
        try {
            std::unique_ptr<FontData> subset = font->CreateFontSubSet(glyphs, cidFont);
            if (subset->GlyphCount() != font->GlyphCount()) std::abort();
        } catch (const ZavorPdf::ZavorPdfException &) {
            std::abort();
        }
    }
    return 0;
}
