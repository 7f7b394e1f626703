#include "drawing/fonts/pdf_font.h"

#include "drawing/fonts/pdf_to_unicode_map.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_encoders.h"
#include "platform/code_page.h"
#include "platform/random_id.h"

namespace ZavorPdf::Pdf::Advanced {

PdfFont::PdfFont(PdfDocument *document, const Drawing::XFont &font)
    : PdfDictionary(document),
      descriptor_(&font.Descriptor()),
      encoding_(font.PdfOptions().FontEncoding()),
      embedding_(font.PdfOptions().FontEmbedding()),
      cmapInfo_(font.Descriptor()) {}

void PdfFont::CreateFontDescriptor(const std::string &fontName) {
    auto descriptor = std::make_unique<PdfFontDescriptor>(Owner(), *descriptor_, fontName);
    fontDescriptor_ = descriptor.get();
    Owner()->ReferenceTable().Add(std::move(descriptor));
    Elements().SetReference(Keys::FontDescriptor, *fontDescriptor_);
}

void PdfFont::CreateToUnicode() {
    auto map = std::make_unique<PdfToUnicodeMap>(Owner(), cmapInfo_);
    toUnicode_ = map.get();
    Owner()->ReferenceTable().Add(std::move(map));
    Elements().SetReference(Keys::ToUnicode, *toUnicode_);
}

void PdfFont::AddChars(std::u16string_view text) {
    // Text repeats the characters met before: only new ones are looked up
    // and, for simple fonts, taken through the code page. Surrogates always
    // go, so that the halves of a pair stay together.
    std::u16string fresh;
    for (char16_t ch : text) {
        if (ch < seenLatin_.size()) {
            if (seenLatin_[ch] != 0)
                continue;
            seenLatin_[ch] = 1;
            knownPlain_[ch] = !IsUnicode() && Internal::PdfEncoders::IsPlainUnit(ch);
            fresh += ch;
            continue;
        }
        bool surrogate = ch >= 0xD800 && ch <= 0xDFFF;
        if (!surrogate && seen_[ch])
            continue;
        if (!surrogate)
            seen_[ch] = true;
        fresh += ch;
    }
    if (fresh.empty())
        return;
    if (IsUnicode())
        cmapInfo_.AddChars(fresh);
    else
        cmapInfo_.AddChars(ZavorPlatform::Windows1252ToUnicode(ZavorPlatform::UnicodeToWindows1252(fresh)));
}

bool PdfFont::TryAppendKnownLiteral(std::string &out, std::u16string_view text) const {
    return Internal::PdfEncoders::TryAppendLiteralOf(out, text, knownPlain_);
}

std::vector<std::uint8_t> PdfFont::EncodeText(std::u16string_view text) const {
    std::string bytes;
    EncodeText(text, bytes);
    return {bytes.begin(), bytes.end()};
}

void PdfFont::EncodeText(std::u16string_view text, std::string &bytes) const {
    bytes.clear();
    if (!IsUnicode()) {
        ZavorPlatform::AppendUnicodeToWindows1252(text, bytes);
        return;
    }
    bytes.reserve(text.size() * 2);
    for (char16_t ch : text) {
        int glyph = cmapInfo_.GlyphOf(ch);
        bytes.push_back(static_cast<char>(glyph >> 8));
        bytes.push_back(static_cast<char>(glyph));
    }
}

std::string PdfFont::CreateEmbeddedFontSubsetName(std::string_view name) {
    std::array<std::uint8_t, 16> id = ZavorPlatform::NewGuid();
    std::string tag;
    for (int i = 0; i < 6; ++i) tag += static_cast<char>('A' + id[i] % 26);
    if (!name.empty() && name.front() == '/') name.remove_prefix(1);
    return tag + "+" + std::string(name);
}

std::string PdfFont::BaseFontName(const Drawing::XFont &font) {
    std::string name;
    for (char c : ZavorPlatform::Utf16ToUtf8(font.Name()))
        if (c != ' ') name += c;
    using Drawing::XFontStyle;
    XFontStyle style = font.AvailableStyle();
    if (HasStyle(style, XFontStyle::BoldItalic))
        name += ",BoldItalic";
    else if (HasStyle(style, XFontStyle::Bold))
        name += ",Bold";
    else if (HasStyle(style, XFontStyle::Italic))
        name += ",Italic";
    return name;
}

std::vector<std::uint8_t> PdfFont::SubsetFontProgram(bool cidFont) const {
    return descriptor_->Data().CreateFontSubSet(cmapInfo_.GlyphIndices(), cidFont)->Data();
}

bool PdfFont::CompressFontProgram() const { return !Owner()->Options().NoCompression(); }

}  // namespace ZavorPdf::Pdf::Advanced
