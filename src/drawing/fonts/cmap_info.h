// The characters one PDF font has drawn and the glyphs they map to.
#pragma once

#include <map>
#include <set>
#include <string_view>

#include "drawing/fonts/open_type_descriptor.h"

namespace ZavorPdf::Pdf::Advanced {

class CMapInfo {
public:
    // `descriptor` is not owned (process lifetime).
    explicit CMapInfo(const Fonts::OpenType::OpenTypeDescriptor &descriptor) : descriptor_(&descriptor) {}

    // Records every character not seen before with its glyph; symbol fonts
    // look the character up at its position in the font's symbol block.
    void AddChars(std::u16string_view text);
    // The glyph a character maps to, recorded or not.
    int GlyphOf(char16_t ch) const;

    const std::map<char16_t, int> &CharacterToGlyphIndex() const { return charToGlyph_; }
    const std::set<int> &GlyphIndices() const { return glyphs_; }
    char16_t MinChar() const { return minChar_; }
    char16_t MaxChar() const { return maxChar_; }

private:
    const Fonts::OpenType::OpenTypeDescriptor *descriptor_;  // non-owning
    std::map<char16_t, int> charToGlyph_;
    std::set<int> glyphs_;
    char16_t minChar_ = u'\xFFFF';
    char16_t maxChar_ = 0;
};

}  // namespace ZavorPdf::Pdf::Advanced
