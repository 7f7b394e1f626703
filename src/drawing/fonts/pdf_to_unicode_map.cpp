#include "drawing/fonts/pdf_to_unicode_map.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace ZavorPdf::Pdf::Advanced {

namespace {

// A CMap section may hold at most 100 entries.
constexpr std::size_t MaxRangesPerSection = 100;

void AppendHex4(std::string &out, unsigned value) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    out += '<';
    for (int shift = 12; shift >= 0; shift -= 4) out += Digits[(value >> shift) & 0xF];
    out += '>';
}

}  // namespace

std::string PdfToUnicodeMap::BuildText() const {
    std::map<int, char16_t> glyphToChar;
    for (const auto &[ch, glyph] : cmapInfo_->CharacterToGlyphIndex()) glyphToChar[glyph] = ch;
    std::string text =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe)/Ordering (UCS)/Supplement 0>> def\n"
        "/CMapName /Adobe-Identity-UCS def /CMapType 2 def\n";
    text += "1 begincodespacerange\n";
    AppendHex4(text, glyphToChar.empty() ? 0 : static_cast<unsigned>(glyphToChar.begin()->first));
    AppendHex4(text, glyphToChar.empty() ? 0xFFFF : static_cast<unsigned>(glyphToChar.rbegin()->first));
    text += "\nendcodespacerange\n";
    auto it = glyphToChar.begin();
    while (it != glyphToChar.end()) {
        std::size_t count = std::min<std::size_t>(MaxRangesPerSection, std::distance(it, glyphToChar.end()));
        text += std::to_string(count) + " beginbfrange\n";
        for (std::size_t i = 0; i < count; ++i, ++it) {
            AppendHex4(text, static_cast<unsigned>(it->first));
            AppendHex4(text, static_cast<unsigned>(it->first));
            AppendHex4(text, it->second);
            text += '\n';
        }
        text += "endbfrange\n";
    }
    text += "endcmap CMapName currentdict /CMap defineresource pop end end\n";
    return text;
}

void PdfToUnicodeMap::PrepareForSave(bool compress) {
    std::string text = BuildText();
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    Elements().Remove("/Filter");
    if (Stream())
        Stream()->SetValue(std::move(bytes));
    else
        CreateStream(std::move(bytes));
    if (compress) Stream()->Zip();
}

}  // namespace ZavorPdf::Pdf::Advanced
