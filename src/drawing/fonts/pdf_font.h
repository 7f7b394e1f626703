// Base of the PDF font resources: one per font and document, collecting
// the characters drawn with it until the document is saved.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/fonts/cmap_info.h"
#include "drawing/fonts/pdf_font_descriptor.h"
#include "drawing/fonts/x_font.h"
#include "pdf/pdf_dictionary.h"

namespace ZavorPdf::Pdf::Advanced {

class PdfToUnicodeMap;

class PdfFont : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Type = "/Type";
        static constexpr const char *Subtype = "/Subtype";
        static constexpr const char *BaseFont = "/BaseFont";
        static constexpr const char *FontDescriptor = "/FontDescriptor";
        static constexpr const char *Encoding = "/Encoding";
        static constexpr const char *FirstChar = "/FirstChar";
        static constexpr const char *LastChar = "/LastChar";
        static constexpr const char *Widths = "/Widths";
        static constexpr const char *DescendantFonts = "/DescendantFonts";
        static constexpr const char *ToUnicode = "/ToUnicode";
        static constexpr const char *W = "/W";
    };

    PdfFontEncoding FontEncoding() const { return encoding_; }
    PdfFontEmbedding FontEmbedding() const { return embedding_; }
    bool IsUnicode() const { return encoding_ == PdfFontEncoding::Unicode; }
    const CMapInfo &CMap() const { return cmapInfo_; }
    PdfFontDescriptor &FontDescriptor() const { return *fontDescriptor_; }
    // Null for simple fonts.
    PdfToUnicodeMap *ToUnicode() const { return toUnicode_; }

    // Records the characters of a text drawn with this font. Simple fonts
    // record the text as code page 1252 gives it back, since that is what
    // their strings can hold.
    void AddChars(std::u16string_view text);
    // Appends the text as a literal string when this is a simple font that
    // has recorded every character of it already and none needs an escape:
    // most lines repeat the letters of the lines before. Otherwise leaves
    // `out` as it was and returns false.
    bool TryAppendKnownLiteral(std::string &out, std::u16string_view text) const;
    // The bytes of a text's string operand: big-endian glyph indices for
    // Unicode fonts, code page 1252 bytes otherwise.
    std::vector<std::uint8_t> EncodeText(std::u16string_view text) const;
    // The same bytes in place of what `bytes` held, keeping its room.
    void EncodeText(std::u16string_view text, std::string &bytes) const;

    // Writes what depends on the characters drawn: widths, the embedded
    // font program and the ToUnicode map. May run again for a later save.
    virtual void PrepareForSave() = 0;

    // "ABCDEF+" from a fresh random identifier, then the name without a
    // leading "/".
    static std::string CreateEmbeddedFontSubsetName(std::string_view name);
    // The family without blanks, plus ",Bold", ",Italic" or ",BoldItalic".
    static std::string BaseFontName(const Drawing::XFont &font);

protected:
    PdfFont(PdfDocument *document, const Drawing::XFont &font);
    // Makes the descriptor indirect and refers to it from this dictionary.
    void CreateFontDescriptor(const std::string &fontName);
    void CreateToUnicode();
    // The subset of the glyphs drawn so far, as a font file.
    std::vector<std::uint8_t> SubsetFontProgram(bool cidFont) const;
    bool CompressFontProgram() const;
    const Fonts::OpenType::OpenTypeDescriptor &Descriptor() const { return *descriptor_; }

private:
    const Fonts::OpenType::OpenTypeDescriptor *descriptor_;  // non-owning, process lifetime
    PdfFontEncoding encoding_;
    PdfFontEmbedding embedding_;
    CMapInfo cmapInfo_;
    PdfFontDescriptor *fontDescriptor_ = nullptr;  // non-owning, in the reference table
    PdfToUnicodeMap *toUnicode_ = nullptr;         // non-owning, in the reference table
    // The UTF-16 units AddChars has recorded already. Every character of
    // every line is looked up here: those below 0x100, nearly all of a
    // Western text, a byte each, which costs fewer steps than a bit; the
    // rest a bit each, which keeps a font's share of memory small.
    std::array<std::uint8_t, 0x100> seenLatin_{};
    // Of those, the ones a simple font's literal takes as they are.
    std::array<bool, 0x100> knownPlain_{};
    std::vector<bool> seen_ = std::vector<bool>(0x10000);
};

}  // namespace ZavorPdf::Pdf::Advanced
