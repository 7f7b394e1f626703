#include "drawing/fonts/pdf_font_table.h"

#include <set>

#include "drawing/fonts/pdf_true_type_font.h"
#include "drawing/fonts/pdf_type0_font.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_trailer.h"

namespace ZavorPdf::Pdf::Advanced {

namespace {

int StyleOf(const Drawing::XFont &font) { return static_cast<int>(font.AvailableStyle()); }
FontType TypeOf(const Drawing::XFont &font) { return font.Unicode() ? FontType::Type0 : FontType::TrueType; }

}  // namespace

FontSelector::FontSelector(const Drawing::XFont &font) : name(font.Name()), style(StyleOf(font)), type(TypeOf(font)) {}

bool FontSelector::Selects(const Drawing::XFont &font) const {
    return style == StyleOf(font) && type == TypeOf(font) && name == font.Name();
}

PdfFont &PdfFontTable::GetFont(const Drawing::XFont &font) {
    if (last_ != fonts_.end() && last_->first.Selects(font)) return *last_->second;
    FontSelector selector(font);
    auto it = fonts_.find(selector);
    if (it != fonts_.end()) {
        last_ = it;
        return *it->second;
    }
    std::unique_ptr<PdfFont> created;
    if (selector.type == FontType::Type0)
        created = std::make_unique<PdfType0Font>(document_, font);
    else
        created = std::make_unique<PdfTrueTypeFont>(document_, font);
    PdfFont *pdfFont = created.get();
    document_->ReferenceTable().Add(std::move(created));
    last_ = fonts_.emplace(selector, pdfFont).first;
    return *pdfFont;
}

void PdfFontTable::PrepareForSave() {
    ForgetUnreachableFonts();
    for (auto &[selector, font] : fonts_) font->PrepareForSave();
}

void PdfFontTable::ForgetUnreachableFonts() {
    // Saving frees every object that the trailer does not reach; a font
    // that nothing refers to goes that way, and must be forgotten while
    // its address still means it.
    std::set<const PdfObject *> reachable;
    for (PdfReference *reference : document_->ReferenceTable().TransitiveClosure(document_->Trailer()))
        reachable.insert(reference->Value());
    last_ = fonts_.end();
    std::erase_if(fonts_, [&reachable](const auto &entry) { return !reachable.contains(entry.second); });
}

}  // namespace ZavorPdf::Pdf::Advanced
