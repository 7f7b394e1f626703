#include "platform/jpeg_markers.h"

#include <algorithm>
#include <string_view>

#include "platform/image_formats.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "JPEG";

// Whether the segment starts with `tag` and holds at least `size` bytes.
bool Tagged(std::span<const std::uint8_t> segment, std::string_view tag, std::size_t size) {
    return segment.size() >= std::max(size, tag.size()) &&
           std::equal(tag.begin(), tag.end(), segment.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

}  // namespace

std::uint8_t JpegSegments::Next(std::span<const std::uint8_t> &segment) {
    while (at_ + 1 < bytes_.size() && (bytes_[at_] != 0xFF || bytes_[at_ + 1] == 0xFF)) ++at_;
    if (at_ + 1 >= bytes_.size()) Damaged(kFormat, "the file is cut short");
    const std::uint8_t marker = bytes_[at_ + 1];
    at_ += 2;
    segment = {};
    if (marker == 0xD9) return marker;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) Damaged(kFormat, "a marker is out of place");
    if (bytes_.size() - at_ < 2) Damaged(kFormat, "the file is cut short");
    const std::size_t length = static_cast<std::size_t>(bytes_[at_] << 8 | bytes_[at_ + 1]);
    if (length < 2 || bytes_.size() - at_ < length) Damaged(kFormat, "the file is cut short");
    segment = bytes_.subspan(at_ + 2, length - 2);
    at_ += length;
    return marker;
}

bool JpegColourMarkers::Read(std::uint8_t marker, std::span<const std::uint8_t> segment) {
    if (marker == 0xEE) {
        if (Tagged(segment, "Adobe", 12)) adobeTransform = segment[11];
        return true;
    }
    if (marker != 0xE0) return false;
    if (!Tagged(segment, std::string_view("JFIF", 5), 5)) return true;
    jfif = true;
    // The density counts only in inches or centimetres.
    if (segment.size() < 12) return true;
    const int unit = segment[7];
    const unsigned x = segment[8] << 8 | segment[9], y = segment[10] << 8 | segment[11];
    if (x == 0 || y == 0 || (unit != 1 && unit != 2)) return true;
    const double perInch = unit == 1 ? 1.0 : 2.54;
    horizontalResolution = x * perInch;
    verticalResolution = y * perInch;
    return true;
}

void JpegColourMarkers::SetResolution(DecodedImage &image) const {
    if (horizontalResolution <= 0) return;
    image.horizontalResolution = horizontalResolution;
    image.verticalResolution = verticalResolution;
}

void CheckCodedSize(std::uint64_t units, std::uint64_t samplesPerUnit, std::uint64_t remaining, bool arithmetic) {
    constexpr std::uint64_t freeSamples = std::uint64_t{1} << 24, samplesPerByte = 4096;
    if (!arithmetic && units > 8 * remaining) Damaged(kFormat, "the file is cut short");
    if (arithmetic && units * samplesPerUnit > std::max(freeSamples, samplesPerByte * remaining))
        Unsupported(kFormat, "a picture this large from so little arithmetic-coded data is not supported");
}

void ConvertYCbCr(DecodedImage &image) {
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t *p = RowFromTop(image, y);
        for (int x = 0; x < image.width; ++x, p += 3) {
            const double luma = p[2], cb = p[1] - 128.0, cr = p[0] - 128.0;
            auto level = [](double v) { return static_cast<std::uint8_t>(std::clamp(v + 0.5, 0.0, 255.0)); };
            p[2] = level(luma + 1.402 * cr);
            p[1] = level(luma - 0.344136 * cb - 0.714136 * cr);
            p[0] = level(luma + 1.772 * cb);
        }
    }
}

}  // namespace ZavorPlatform::ImageFormats
