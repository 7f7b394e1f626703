// The run-length coding of 8- and 4-bit bitmaps. The data is a series of
// byte pairs: a count and a value repeat the value (4 bits: the value's two
// nibbles by turns); a zero count starts an escape: 0 ends the row, 1 ends
// the picture, 2 moves right and up by the next two bytes, and any larger
// number is that many pixels given literally, padded to an even number of
// bytes. Pixels that no run reaches keep index 0.
#include <algorithm>

#include "platform/image_formats.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "BMP";

class RunWriter {
public:
    RunWriter(DecodedImage &image, bool topDown) : image_(image), topDown_(topDown), bits_(image.BitsPerPixel()) {}

    bool Done() const { return line_ >= image_.height; }
    // Pixels beyond the row's end are dropped, as other readers do.
    void Put(unsigned index) {
        if (x_ < image_.width && !Done()) {
            std::uint8_t *row = topDown_ ? RowFromTop(image_, line_) : RowFromTop(image_, image_.height - 1 - line_);
            if (bits_ == 8)
                row[x_] = static_cast<std::uint8_t>(index);
            else
                row[x_ / 2] |= static_cast<std::uint8_t>(x_ % 2 == 0 ? index << 4 : index);
        }
        if (x_ < image_.width) ++x_;
    }
    void EndLine() {
        x_ = 0;
        ++line_;
    }
    void Move(int right, int up) {
        x_ = std::min(image_.width, x_ + right);
        line_ = std::min(image_.height, line_ + up);
    }

private:
    DecodedImage &image_;
    bool topDown_;
    int bits_;
    int x_ = 0;
    int line_ = 0;  // rows in file order
};

}  // namespace

void DecodeBmpRuns(std::span<const std::uint8_t> coded, bool topDown, DecodedImage &image) {
    RunWriter out(image, topDown);
    const bool nibbles = image.BitsPerPixel() == 4;
    std::size_t at = 0;
    auto need = [&](std::size_t count) {
        if (count > coded.size() - at) Damaged(kFormat, "the file is cut short");
    };
    while (!out.Done()) {
        need(2);
        const unsigned count = coded[at], value = coded[at + 1];
        at += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i) out.Put(!nibbles ? value : i % 2 == 0 ? value >> 4 : value & 0x0F);
            continue;
        }
        switch (value) {
            case 0: out.EndLine(); break;
            case 1: return;
            case 2:
                need(2);
                out.Move(coded[at], coded[at + 1]);
                at += 2;
                break;
            default: {
                const std::size_t size = nibbles ? (value + 1) / 2 : value;
                need(size);
                for (unsigned i = 0; i < value; ++i) {
                    unsigned byte = coded[at + (nibbles ? i / 2 : i)];
                    out.Put(!nibbles ? byte : i % 2 == 0 ? byte >> 4 : byte & 0x0F);
                }
                // The padding byte may be missing at the very end.
                at = std::min(coded.size(), at + size + size % 2);
            }
        }
    }
}

}  // namespace ZavorPlatform::ImageFormats
