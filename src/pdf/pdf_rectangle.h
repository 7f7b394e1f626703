// A rectangle given by two corners, as a media box or an annotation's area
// is stored: "[x1 y1 x2 y2]".
#pragma once

#include "pdf/pdf_item.h"

namespace ZavorPdf::Pdf {

class PdfRectangle final : public PdfItem {
public:
    PdfRectangle() = default;
    PdfRectangle(double x1, double y1, double x2, double y2) : x1_(x1), y1_(y1), x2_(x2), y2_(y2) {}

    double X1() const { return x1_; }
    double Y1() const { return y1_; }
    double X2() const { return x2_; }
    double Y2() const { return y2_; }
    double Width() const { return x2_ - x1_; }
    double Height() const { return y2_ - y1_; }
    bool IsEmpty() const { return x1_ == 0 && y1_ == 0 && x2_ == 0 && y2_ == 0; }

    bool operator==(const PdfRectangle &other) const {
        return x1_ == other.x1_ && y1_ == other.y1_ && x2_ == other.x2_ && y2_ == other.y2_;
    }

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfRectangle>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override;

private:
    double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

}  // namespace ZavorPdf::Pdf
