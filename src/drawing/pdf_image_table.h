// The images of each document, shared by selector: drawing the same file
// twice in one document embeds it once. The table knows the images without
// owning them (the document's reference table does); an image that the
// document frees leaves the table by itself.
#pragma once

#include <string>

namespace ZavorPdf::Drawing {
class XImage;
}

namespace ZavorPdf::Pdf {
class PdfDocument;
}

namespace ZavorPdf::Pdf::Advanced {

class PdfImage;

class PdfImageTable {
public:
    // The document's image for the picture, created and made indirect on
    // first use. A failure leaves no object in the document.
    static PdfImage &GetImage(PdfDocument &document, const Drawing::XImage &image);
    // Images of the document known to the table.
    static int Count(const PdfDocument &document);

private:
    friend class PdfImage;
    // Called by an image as it goes.
    static void Forget(const PdfImage &image);
};

}  // namespace ZavorPdf::Pdf::Advanced
