// A 1-bit stencil built pixel by pixel: rows of ceil(width / 8) bytes, top
// row first, most significant bit first; bit 1 means transparent.
#pragma once

#include <cstdint>
#include <vector>

namespace ZavorPdf::Pdf::Advanced {

class MonochromeMask {
public:
    MonochromeMask(int width, int height);

    // Rows arrive bottom-up: source row y is stored at height - 1 - y.
    void StartLine(int y);
    // One pixel; transparent when shade < 128. Pixels beyond the width are
    // ignored.
    void AddPel(int shade);
    // Flushes the row's last partial byte into the high bits.
    void EndLine();

    const std::vector<std::uint8_t> &Bits() const { return bits_; }

private:
    int width_;
    int height_;
    std::size_t rowBytes_;
    std::vector<std::uint8_t> bits_;
    std::size_t at_ = 0;
    int x_ = 0;
    int pending_ = 0;
};

}  // namespace ZavorPdf::Pdf::Advanced
