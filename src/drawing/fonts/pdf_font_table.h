// The fonts of one document: one PDF font per family, available style and
// font type, created on first use and prepared when the document is saved.
#pragma once

#include <map>
#include <string>
#include <tuple>

#include "drawing/fonts/pdf_font.h"
#include "drawing/fonts/x_font.h"

namespace ZavorPdf::Pdf::Advanced {

enum class FontType { TrueType = 1, Type0 = 2 };

struct FontSelector {
    std::u16string name;
    int style = 0;  // only the bold/italic bits the family really has
    FontType type = FontType::TrueType;

    explicit FontSelector(const Drawing::XFont &font);
    // Whether the font would make an equal selector, without copying its name.
    bool Selects(const Drawing::XFont &font) const;
    bool operator<(const FontSelector &other) const {
        return std::tie(name, style, type) < std::tie(other.name, other.style, other.type);
    }
};

class PdfFontTable {
public:
    // `document` is not owned; the table belongs to it.
    explicit PdfFontTable(PdfDocument &document) : document_(&document) {}
    PdfFontTable(const PdfFontTable &) = delete;
    PdfFontTable &operator=(const PdfFontTable &) = delete;

    // The PDF font for the font, an indirect object of the document: a
    // composite font when the font's encoding is Unicode, else a simple
    // TrueType font.
    PdfFont &GetFont(const Drawing::XFont &font);
    int Count() const { return static_cast<int>(fonts_.size()); }
    // Forgets the fonts that saving is about to drop because nothing refers
    // to them, then prepares the others. Must run before the document frees
    // its unreferenced objects.
    void PrepareForSave();

private:
    void ForgetUnreachableFonts();

    PdfDocument *document_;  // non-owning
    std::map<FontSelector, PdfFont *> fonts_;  // objects owned by the reference table
    // The last font asked for: text comes line after line in one font.
    std::map<FontSelector, PdfFont *>::const_iterator last_ = fonts_.end();
};

}  // namespace ZavorPdf::Pdf::Advanced
