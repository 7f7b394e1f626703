#include "drawing/fonts/pdf_type0_font.h"

#include "drawing/fonts/pdf_to_unicode_map.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_document.h"

namespace ZavorPdf::Pdf::Advanced {

PdfType0Font::PdfType0Font(PdfDocument *document, const Drawing::XFont &font) : PdfFont(document, font) {
    std::string baseFont = CreateEmbeddedFontSubsetName(BaseFontName(font));
    DictionaryElements &e = Elements();
    e.SetName(Keys::Type, "/Font");
    e.SetName(Keys::Subtype, "/Type0");
    e.SetName(Keys::Encoding, font.IsVertical() ? "/Identity-V" : "/Identity-H");
    e.SetName(Keys::BaseFont, baseFont);
    CreateFontDescriptor(baseFont);
    // The descriptor belongs to the descendant; the composite font itself
    // has none.
    e.Remove(Keys::FontDescriptor);
    auto descendant = std::make_unique<PdfCIDFont>(document, baseFont, FontDescriptor());
    descendantFont_ = descendant.get();
    document->ReferenceTable().Add(std::move(descendant));
    auto descendants = std::make_unique<PdfArray>();
    descendants->Elements().AddReference(*descendantFont_);
    e.SetValue(Keys::DescendantFonts, std::move(descendants));
    CreateToUnicode();
}

void PdfType0Font::PrepareForSave() {
    descendantFont_->WriteWidths(CMap(), Descriptor());
    // Whatever the embedding option says: glyph-index strings are
    // meaningless without the program they index.
    FontDescriptor().SetFontProgram(SubsetFontProgram(true), CompressFontProgram());
    const PdfDocumentOptions &options = Owner()->Options();
    ToUnicode()->PrepareForSave(options.CompressContentStreams() && !options.NoCompression());
}

}  // namespace ZavorPdf::Pdf::Advanced
