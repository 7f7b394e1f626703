#include "drawing/fonts/pdf_true_type_font.h"

#include "pdf/pdf_array.h"
#include "pdf/pdf_number.h"

namespace ZavorPdf::Pdf::Advanced {

PdfTrueTypeFont::PdfTrueTypeFont(PdfDocument *document, const Drawing::XFont &font) : PdfFont(document, font) {
    std::string baseFont = BaseFontName(font);
    if (FontEmbedding() == PdfFontEmbedding::Always) baseFont = CreateEmbeddedFontSubsetName(baseFont);
    DictionaryElements &e = Elements();
    e.SetName(Keys::Type, "/Font");
    e.SetName(Keys::Subtype, "/TrueType");
    e.SetName(Keys::BaseFont, baseFont);
    CreateFontDescriptor(baseFont);
    if (!FontDescriptor().IsSymbolFont()) e.SetName(Keys::Encoding, "/WinAnsiEncoding");
    // The widths do not depend on the text drawn, so a document saved
    // without the font table's help still has them.
    WriteWidths();
}

void PdfTrueTypeFont::WriteWidths() {
    DictionaryElements &e = Elements();
    e.SetInteger(Keys::FirstChar, 0);
    e.SetInteger(Keys::LastChar, 255);
    auto widths = std::make_unique<PdfArray>();
    for (int width : Descriptor().Widths()) widths->Elements().Add(std::make_unique<PdfInteger>(width));
    e.SetValue(Keys::Widths, std::move(widths));
}

void PdfTrueTypeFont::PrepareForSave() {
    if (FontEmbedding() == PdfFontEmbedding::Always || FontEmbedding() == PdfFontEmbedding::Automatic)
        FontDescriptor().SetFontProgram(SubsetFontProgram(false), CompressFontProgram());
    WriteWidths();
}

}  // namespace ZavorPdf::Pdf::Advanced
