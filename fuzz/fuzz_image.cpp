// The picture decoders on arbitrary bytes, followed by everything that runs
// on a decoded picture: the PDF image readers and the placement on a page.
// Contract: for any input nothing worse happens than an ImageError from
// decoding; a picture that decoded always becomes an image object.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

#include "drawing/pdf_image_readers.h"
#include "drawing/x_graphics.h"
#include "drawing/x_image.h"
#include "pdf/errors.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "platform/image_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace ZavorPdf;
    ZavorPlatform::DecodedImage decoded;
    try {
        decoded = ZavorPlatform::DecodeImage(std::span(data, size));
    } catch (const ZavorPlatform::ImageError &) {
        return 0;
    }
    if (decoded.width <= 0 || decoded.height <= 0 ||
        static_cast<std::uint64_t>(decoded.width) * static_cast<std::uint64_t>(decoded.height) > ZavorPlatform::MaxPixels)
        std::abort();
    if (decoded.jpegData.empty() && decoded.pixels.size() != decoded.Stride() * static_cast<std::size_t>(decoded.height))
        std::abort();
    // Keep the page work small: very large pictures have made their point.
    if (static_cast<std::uint64_t>(decoded.width) * static_cast<std::uint64_t>(decoded.height) > 4'000'000) return 0;
    auto image = Drawing::XImage::FromDecoded(std::move(decoded));
    Pdf::PdfDocument document;
    Pdf::PdfPage &page = document.AddPage();
    auto gfx = Drawing::XGraphics::FromPdfPage(&page);
    try {
        gfx->DrawImage(*image, 10, 10, 100, 100);
    } catch (const ZavorPdfException &) {
        std::abort();
    }
    gfx->Dispose();
    return 0;
}
