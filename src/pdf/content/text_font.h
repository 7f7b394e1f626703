// What the text extractor needs of a font: how a shown string splits into
// codes, the Unicode text of each code and how far each one advances.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/content/to_unicode_map.h"

namespace ZavorPdf::Pdf {
class PdfDictionary;
}

namespace ZavorPdf::Pdf::Content {

class TextFont {
public:
    struct Glyph {
        std::u16string text;  // empty for a code that stands for nothing known
        double width;         // the advance in text space for a font size of 1
        bool wordSpace;       // the single-byte code 32, which "Tw" widens
    };

    // The font of a "/Font" resource; null stands for a font the page does
    // not define, read as single bytes in WinAnsiEncoding.
    explicit TextFont(const PdfDictionary *font);

    std::vector<Glyph> Decode(const std::u16string &shown) const;
    // The width of a blank, for telling word gaps from kerning.
    double SpaceWidth() const { return spaceWidth_; }
    // Identity-V and other vertical CMaps advance down the page.
    bool Vertical() const { return vertical_; }

private:
    struct WidthRange {
        std::uint32_t first;
        std::uint32_t last;
        double width;
    };

    void ReadSimple(const PdfDictionary &font);
    void ReadComposite(const PdfDictionary &font);
    void ReadDifferences(const PdfDictionary &encoding);
    void ReadBuiltInEncoding(std::string_view program);
    double CompositeWidth(std::uint32_t code) const;
    std::u16string SimpleText(std::uint8_t code) const;
    // The text of a simple font's code, worked out once per code: a page
    // shows the same few codes thousands of times.
    const std::u16string &ByteText(std::uint8_t code) const;

    bool composite_ = false;
    bool vertical_ = false;
    bool identity_ = false;
    ToUnicodeMap toUnicode_;
    ToUnicodeMap codeSpace_;  // the encoding CMap of a composite font
    char16_t (*baseEncoding_)(std::uint8_t) = nullptr;
    std::map<int, std::u16string> differences_;
    std::map<int, std::u16string> builtIn_;  // from an embedded Type 1 program
    // Simple fonts: one width per code; composite fonts: "/W" ranges.
    std::vector<double> widths_ = std::vector<double>(256, -1);
    std::vector<WidthRange> cidWidths_;
    mutable std::array<std::optional<std::u16string>, 256> byteTexts_;
    double glyphScale_ = 0.001;  // glyph space to text space
    double defaultWidth_ = 0.5;
    double spaceWidth_ = 0.25;
};

}  // namespace ZavorPdf::Pdf::Content
