// An image XObject of a document: "/Type /XObject /Subtype /Image" with its
// samples, made from an XImage the first time the document draws it. Its
// palette, stencil mask and soft mask are further indirect objects that it
// refers to.
#pragma once

#include <memory>
#include <string>

#include "drawing/pdf_image_readers.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"

namespace ZavorPdf::Pdf::Advanced {

class PdfImage final : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Type = "/Type";
        static constexpr const char *Subtype = "/Subtype";
        static constexpr const char *Width = "/Width";
        static constexpr const char *Height = "/Height";
        static constexpr const char *BitsPerComponent = "/BitsPerComponent";
        static constexpr const char *ColorSpace = "/ColorSpace";
        static constexpr const char *Decode = "/Decode";
        static constexpr const char *Filter = "/Filter";
        static constexpr const char *ImageMask = "/ImageMask";
        static constexpr const char *Mask = "/Mask";
        static constexpr const char *SMask = "/SMask";
        static constexpr const char *Interpolate = "/Interpolate";
    };

    // Adds the helper objects of the plan to the document's table at once;
    // the image itself is made indirect by the caller, after them.
    PdfImage(PdfDocument &document, std::string selector, const ImagePlan &plan);
    PdfImage(const PdfImage &other);
    ~PdfImage() override;

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfImage>(*this); }

    // The key of the picture it was made from.
    const std::string &Selector() const { return selector_; }

private:
    void AddHelpers(PdfDocument &document, const ImagePlan &plan);
    void SetSampleEntries(const ImagePlan &plan);

    std::string selector_;
    // The indexed colour space, made with the palette and stored last.
    std::unique_ptr<PdfArray> paletteSpace_;
    // Only the object made by the table is known to it; copies are not.
    bool registered_ = true;
};

}  // namespace ZavorPdf::Pdf::Advanced
