#include "drawing/pdf_image_mask.h"

namespace ZavorPdf::Pdf::Advanced {

MonochromeMask::MonochromeMask(int width, int height)
    : width_(width), height_(height), rowBytes_((static_cast<std::size_t>(width) + 7) / 8),
      bits_(rowBytes_ * static_cast<std::size_t>(height), 0) {}

void MonochromeMask::StartLine(int y) {
    at_ = static_cast<std::size_t>(height_ - 1 - y) * rowBytes_;
    x_ = 0;
    pending_ = 0;
}

void MonochromeMask::AddPel(int shade) {
    if (x_ >= width_) return;
    pending_ = pending_ << 1 | (shade < 128 ? 1 : 0);
    ++x_;
    if (x_ % 8 == 0) {
        bits_[at_++] = static_cast<std::uint8_t>(pending_);
        pending_ = 0;
    }
}

void MonochromeMask::EndLine() {
    if (x_ % 8 != 0) bits_[at_] = static_cast<std::uint8_t>(pending_ << (8 - x_ % 8));
    pending_ = 0;
}

}  // namespace ZavorPdf::Pdf::Advanced
