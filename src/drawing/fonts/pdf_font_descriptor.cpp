#include "drawing/fonts/pdf_font_descriptor.h"

#include "pdf/pdf_array.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"

namespace ZavorPdf::Pdf::Advanced {

PdfFontDescriptor::PdfFontDescriptor(PdfDocument *document, const Fonts::OpenType::OpenTypeDescriptor &descriptor,
                                     const std::string &fontName)
    : PdfDictionary(document), descriptor_(&descriptor), isSymbolFont_(descriptor.IsSymbolFont()) {
    const auto &d = descriptor;
    DictionaryElements &e = Elements();
    e.SetName(Keys::Type, "/FontDescriptor");
    e.SetInteger(Keys::Ascent, d.DesignUnitsToPdf(d.Ascender()));
    e.SetInteger(Keys::CapHeight, d.DesignUnitsToPdf(d.CapHeight()));
    e.SetInteger(Keys::Descent, d.DesignUnitsToPdf(d.Descender()));
    e.SetInteger(Keys::Flags, isSymbolFont_ ? SymbolicFlag : NonsymbolicFlag);
    auto box = std::make_unique<PdfArray>();
    for (int value : {d.XMin(), d.YMin(), d.XMax(), d.YMax()})
        box->Elements().Add(std::make_unique<PdfInteger>(d.DesignUnitsToPdf(value)));
    e.SetValue(Keys::FontBBox, std::move(box));
    e.SetReal(Keys::ItalicAngle, d.ItalicAngle());
    e.SetInteger(Keys::StemV, d.StemV());
    e.SetInteger(Keys::XHeight, d.DesignUnitsToPdf(d.XHeight()));
    e.SetName(Keys::FontName, fontName);
}

void PdfFontDescriptor::SetFontProgram(std::vector<std::uint8_t> fontFile, bool compress) {
    if (!fontFile_) {
        auto stream = std::make_unique<PdfDictionary>(Owner());
        fontFile_ = stream.get();
        Owner()->ReferenceTable().Add(std::move(stream));
        Elements().SetReference(Keys::FontFile2, *fontFile_);
    }
    std::int32_t length = static_cast<std::int32_t>(fontFile.size());
    // A filter left from an earlier save would make Zip skip the new bytes.
    fontFile_->Elements().Remove("/Filter");
    if (fontFile_->Stream())
        fontFile_->Stream()->SetValue(std::move(fontFile));
    else
        fontFile_->CreateStream(std::move(fontFile));
    fontFile_->Elements().SetInteger("/Length1", length);
    if (compress) fontFile_->Stream()->Zip();
}

}  // namespace ZavorPdf::Pdf::Advanced
