#include "drawing/fonts/pdf_cid_font.h"

#include "pdf/pdf_literal.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_string.h"

namespace ZavorPdf::Pdf::Advanced {

PdfCIDFont::PdfCIDFont(PdfDocument *document, const std::string &baseFont, const PdfDictionary &fontDescriptor)
    : PdfDictionary(document) {
    DictionaryElements &e = Elements();
    e.SetName("/Type", "/Font");
    e.SetName("/Subtype", "/CIDFontType2");
    e.SetName("/BaseFont", baseFont);
    auto info = std::make_unique<PdfDictionary>();
    info->Elements().SetValue("/Ordering", std::make_unique<PdfString>(u"Identity"));
    info->Elements().SetValue("/Registry", std::make_unique<PdfString>(u"Adobe"));
    info->Elements().SetInteger("/Supplement", 0);
    e.SetValue("/CIDSystemInfo", std::move(info));
    e.SetReference("/FontDescriptor", fontDescriptor);
}

std::string PdfCIDFont::FormatWidths(const CMapInfo &cmapInfo, const Fonts::OpenType::OpenTypeDescriptor &descriptor) {
    std::string text = "[";
    for (int glyph : cmapInfo.GlyphIndices())
        text += std::to_string(glyph) + "[" + std::to_string(descriptor.GlyphIndexToPdfWidth(glyph)) + "]";
    return text + "]";
}

void PdfCIDFont::WriteWidths(const CMapInfo &cmapInfo, const Fonts::OpenType::OpenTypeDescriptor &descriptor) {
    Elements().SetValue("/W", std::make_unique<PdfLiteral>(FormatWidths(cmapInfo, descriptor)));
}

}  // namespace ZavorPdf::Pdf::Advanced
