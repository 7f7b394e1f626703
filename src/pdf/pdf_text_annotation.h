// A note ("/Subtype /Text"): an icon on the page that opens a pop-up text.
#pragma once

#include "pdf/pdf_annotation.h"

namespace ZavorPdf::Pdf {

enum class PdfTextAnnotationIcon {
    NoIcon = 0,
    Comment = 1,
    Help = 2,
    Insert = 3,
    Key = 4,
    NewParagraph = 5,
    Note = 6,
    Paragraph = 7,
};

class PdfTextAnnotation final : public PdfAnnotation {
public:
    struct Keys : PdfAnnotation::Keys {
        static constexpr const char *Open = "/Open";
        static constexpr const char *Name = "/Name";
        static const DictionaryMeta &Meta();
    };

    // A new note shows the Comment icon.
    explicit PdfTextAnnotation(PdfDocument *document = nullptr);
    explicit PdfTextAnnotation(PdfDictionary &&dictionary) : PdfAnnotation(std::move(dictionary)) {}

    const DictionaryMeta *Meta() const override { return &Keys::Meta(); }
    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfTextAnnotation>(*this); }

    bool Open() const { return Elements().GetBoolean(Keys::Open); }
    void SetOpen(bool value);
    // NoIcon, or a number that names no icon, removes "/Name".
    PdfTextAnnotationIcon Icon() const;
    void SetIcon(PdfTextAnnotationIcon value);
};

}  // namespace ZavorPdf::Pdf
