#include "drawing/fonts/cmap_info.h"

#include <algorithm>

namespace ZavorPdf::Pdf::Advanced {

int CMapInfo::GlyphOf(char16_t ch) const {
    char16_t offset = descriptor_->IsSymbolFont() ? descriptor_->SymbolOffset() : u'\0';
    return descriptor_->CharCodeToGlyphIndex(static_cast<char16_t>(ch + offset));
}

void CMapInfo::AddChars(std::u16string_view text) {
    for (char16_t ch : text) {
        if (charToGlyph_.contains(ch)) continue;
        int glyph = GlyphOf(ch);
        charToGlyph_.emplace(ch, glyph);
        glyphs_.insert(glyph);
        minChar_ = std::min(minChar_, ch);
        maxChar_ = std::max(maxChar_, ch);
    }
}

}  // namespace ZavorPdf::Pdf::Advanced
