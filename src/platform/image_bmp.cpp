// Windows bitmaps, read by us: the core (12-byte) and the 40- to 124-byte
// information headers, 1, 4, 8, 24 and 32 bits per pixel, uncompressed or
// with the standard 32-bit bit fields. Every offset is checked against the
// buffer before it is read.
#include <cstring>

#include "platform/image_formats.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "BMP";

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint32_t U32(std::size_t at) const {
        Need(at, 4);
        return bytes_[at] | bytes_[at + 1] << 8 | bytes_[at + 2] << 16 | static_cast<std::uint32_t>(bytes_[at + 3]) << 24;
    }
    std::uint16_t U16(std::size_t at) const {
        Need(at, 2);
        return static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
    }
    void Need(std::size_t at, std::size_t count) const {
        if (at > bytes_.size() || count > bytes_.size() - at) Damaged(kFormat, "the file is cut short");
    }
    const std::uint8_t *At(std::size_t at) const { return bytes_.data() + at; }

private:
    std::span<const std::uint8_t> bytes_;
};

struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: top row first
    int bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::uint32_t alphaMask = 0;
    double dpiX = 96, dpiY = 96;
    std::size_t paletteEntrySize = 4;
};

Header ReadHeader(const Reader &in, std::uint32_t headerSize) {
    Header h;
    if (headerSize == 12) {
        h.width = in.U16(18);
        h.height = in.U16(20);
        h.bitCount = in.U16(24);
        h.paletteEntrySize = 3;
        return h;
    }
    if (headerSize < 40 || headerSize > 124) Damaged(kFormat, "unknown header size");
    h.width = static_cast<std::int32_t>(in.U32(18));
    h.height = static_cast<std::int32_t>(in.U32(22));
    if (in.U16(26) != 1) Damaged(kFormat, "the plane count is not 1");
    h.bitCount = in.U16(28);
    h.compression = in.U32(30);
    // Dots per metre; 0 means the file states no resolution.
    if (std::uint32_t x = in.U32(38), y = in.U32(42); x != 0 && y != 0) {
        h.dpiX = x * 0.0254;
        h.dpiY = y * 0.0254;
    }
    h.colorsUsed = in.U32(46);
    if (h.compression == 3) {
        // The masks follow the 40-byte header (or sit inside a larger one).
        if (h.bitCount != 32 || in.U32(54) != 0xFF0000 || in.U32(58) != 0xFF00 || in.U32(62) != 0xFF)
            throw ImageError(ImageError::Kind::Unsupported, "BMP: unsupported bit fields");
        if (headerSize >= 56) h.alphaMask = in.U32(66);
    } else if (h.compression != 0) {
        throw ImageError(ImageError::Kind::Unsupported, "BMP: compressed bitmaps are not supported");
    }
    return h;
}

ImagePixelFormat PixelFormatOf(const Header &h) {
    switch (h.bitCount) {
    case 1: return ImagePixelFormat::Indexed1;
    case 4: return ImagePixelFormat::Indexed4;
    case 8: return ImagePixelFormat::Indexed8;
    case 24: return ImagePixelFormat::Rgb24;
    case 32: return h.alphaMask == 0xFF000000 ? ImagePixelFormat::Argb32 : ImagePixelFormat::Rgb32;
    default: throw ImageError(ImageError::Kind::Unsupported, "BMP: unsupported bit count");
    }
}

void ReadPalette(const Reader &in, const Header &h, std::size_t at, DecodedImage &image) {
    if (h.bitCount > 8) return;
    std::uint32_t count = h.colorsUsed == 0 ? 1u << h.bitCount : h.colorsUsed;
    if (count > (1u << h.bitCount)) Damaged(kFormat, "the palette is too long");
    in.Need(at, count * h.paletteEntrySize);
    image.palette.resize(count * 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::memcpy(&image.palette[i * 4], in.At(at + i * h.paletteEntrySize), 3);
        // The fourth byte of a bitmap palette is reserved, not an alpha.
        image.palette[i * 4 + 3] = 255;
    }
}

}  // namespace

DecodedImage DecodeBmp(std::span<const std::uint8_t> bytes) {
    Reader in(bytes);
    std::uint32_t pixelOffset = in.U32(10);
    std::uint32_t headerSize = in.U32(14);
    Header h = ReadHeader(in, headerSize);
    std::int64_t height = h.height < 0 ? -h.height : h.height;
    CheckDimensions(h.width, height, kFormat);
    DecodedImage image = MakeBitmap(static_cast<int>(h.width), static_cast<int>(height), PixelFormatOf(h));
    image.format = ImageFileFormat::Bmp;
    image.horizontalResolution = h.dpiX;
    image.verticalResolution = h.dpiY;
    ReadPalette(in, h, 14 + headerSize, image);
    std::size_t stride = image.Stride();
    in.Need(pixelOffset, stride * static_cast<std::size_t>(height));
    if (h.height > 0) {
        std::memcpy(image.pixels.data(), in.At(pixelOffset), image.pixels.size());
    } else {
        for (int y = 0; y < image.height; ++y)
            std::memcpy(RowFromTop(image, y), in.At(pixelOffset + y * stride), stride);
    }
    return image;
}

}  // namespace ZavorPlatform::ImageFormats
