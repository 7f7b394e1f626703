// Placing pictures and page forms on the page.
#include "drawing/x_graphics.h"
#include "drawing/x_image.h"
#include "pdf/errors.h"
#include "pdf/pdf_number_format.h"

namespace ZavorPdf::Drawing {
namespace {

constexpr int kImageDecimals = 4;

void AppendNumbers(std::string &out, std::initializer_list<double> numbers) {
    for (double number : numbers) {
        Pdf::AppendReal(out, number, kImageDecimals);
        out += ' ';
    }
}

}  // namespace

void XGraphics::DrawImage(const XImage *image, double x, double y) {
    if (image == nullptr) throw ArgumentNullException("image");
    // The picture's size is in points; other page units see it converted.
    double unitsPerPoint = pageSize_.Width() / pageSizePoints_.Width();
    DrawImage(image, x, y, image->PointWidth() * unitsPerPoint, image->PointHeight() * unitsPerPoint);
}

void XGraphics::DrawImage(const XImage *image, double x, double y, double width, double height) {
    if (image == nullptr) throw ArgumentNullException("image");
    XGraphicsPdfRenderer &renderer = Renderer();
    double sx = width, sy = height;
    if (image->IsPageForm()) {
        sx = width / image->PointWidth();
        sy = height / image->PointHeight();
        if (sx == 0 || sy == 0) return;
    }
    // The resource first: a picture that cannot be made leaves the page's
    // content as it was.
    std::string name = image->ResourceName(*page_);
    renderer.Realize(nullptr, nullptr);
    std::string &out = renderer.Content();
    out += "q ";
    // On a y-down page the unit square is turned upside down around the
    // bottom edge, so the picture stands upright in the flipped system.
    if (pageDirection_ == XPageDirection::Downwards)
        AppendNumbers(out, {sx, 0, 0, -sy, x, y + height});
    else
        AppendNumbers(out, {sx, 0, 0, sy, x, y});
    out += "cm ";
    // Page forms carry text of their own; the mirrored horizontal scaling
    // of the y-down page must not reach it.
    if (image->IsPageForm() && pageDirection_ == XPageDirection::Downwards) out += "100 Tz ";
    out += name;
    out += " Do Q\n";
}

}  // namespace ZavorPdf::Drawing
