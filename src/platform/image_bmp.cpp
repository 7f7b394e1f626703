// Windows bitmaps, read by us: the core (12-byte) and the 40- to 124-byte
// information headers; 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed,
// run-length coded (8 and 4 bits) or with bit fields (16 and 32 bits, any
// contiguous masks). Icons keep the same bitmaps without the file header.
// Every offset is checked against the buffer before it is read.
#include <array>
#include <bit>
#include <cstring>

#include "platform/image_bytes.h"
#include "platform/image_formats.h"

namespace ZavorPlatform::ImageFormats {
namespace {

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: top row first
    int bitCount = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t colorsUsed = 0;
    std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
    double dpiX = 96, dpiY = 96;
    std::size_t paletteEntrySize = 4;
    std::size_t paletteAt = 0;
};

// One colour channel of a bit-field pixel.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;  // the mask's value shifted down

    explicit Channel(std::uint32_t bits) : mask(bits) {
        if (bits == 0) return;
        shift = std::countr_zero(bits);
        max = bits >> shift;
    }
    bool Contiguous() const { return (max & (max + 1)) == 0; }
    // Narrow channels repeat their bits to fill eight (five bits abcde
    // become abcdeabc), which spreads them from 0 to 255 as other readers
    // do; wide ones keep their top eight.
    std::uint8_t Level(std::uint32_t pixel) const {
        if (mask == 0) return 255;
        const std::uint64_t value = (pixel & mask) >> shift;
        const int width = std::bit_width(max);
        if (width >= 8) return static_cast<std::uint8_t>(value >> (width - 8));
        std::uint64_t repeated = 0;
        int filled = 0;
        for (; filled < 8; filled += width) repeated = repeated << width | value;
        return static_cast<std::uint8_t>(repeated >> (filled - 8));
    }
};

constexpr std::array<std::uint32_t, 4> kStandard32{0xFF0000, 0xFF00, 0xFF, 0};

void CheckMasks(const LittleEndianBytes &in, const Header &h) {
    const std::uint64_t limit = std::uint64_t{1} << h.bitCount;
    for (std::size_t i = 0; i < h.masks.size(); ++i) {
        Channel channel(h.masks[i]);
        bool needed = i < 3;
        if ((needed && channel.mask == 0) || !channel.Contiguous() || channel.mask >= limit)
            throw ImageError(ImageError::Kind::Unsupported, std::string(in.Format()) + ": unsupported bit fields");
    }
}

void CheckCompression(const LittleEndianBytes &in, const Header &h) {
    auto needs = [&](bool fits) {
        if (!fits) Damaged(in.Format(), "the compression does not fit the bit count");
    };
    switch (h.compression) {
        case kRgb: return;
        case kRle8: return needs(h.bitCount == 8);
        case kRle4: return needs(h.bitCount == 4);
        case kBitFields:
        case kAlphaBitFields: needs(h.bitCount == 16 || h.bitCount == 32); return CheckMasks(in, h);
        default:
            throw ImageError(ImageError::Kind::Unsupported, std::string(in.Format()) + ": unsupported compression");
    }
}

Header ReadHeader(const LittleEndianBytes &in, std::size_t at) {
    Header h;
    std::uint32_t size = in.U32(at);
    if (size == 12) {
        h.width = in.U16(at + 4);
        h.height = in.U16(at + 6);
        h.bitCount = in.U16(at + 10);
        h.paletteEntrySize = 3;
        h.paletteAt = at + 12;
        return h;
    }
    if (size < 40 || size > 124) Damaged(in.Format(), "unknown header size");
    h.width = static_cast<std::int32_t>(in.U32(at + 4));
    h.height = static_cast<std::int32_t>(in.U32(at + 8));
    if (in.U16(at + 12) != 1) Damaged(in.Format(), "the plane count is not 1");
    h.bitCount = in.U16(at + 14);
    h.compression = in.U32(at + 16);
    // Dots per metre; 0 means the file states no resolution.
    if (std::uint32_t x = in.U32(at + 24), y = in.U32(at + 28); x != 0 && y != 0) {
        h.dpiX = x * 0.0254;
        h.dpiY = y * 0.0254;
    }
    h.colorsUsed = in.U32(at + 32);
    h.paletteAt = at + size;
    if (h.compression == kBitFields || h.compression == kAlphaBitFields) {
        // A 40-byte header is followed by the masks; the larger ones hold them.
        std::size_t count = h.compression == kAlphaBitFields || size >= 56 ? 4 : 3;
        for (std::size_t i = 0; i < count; ++i) h.masks[i] = in.U32(at + 40 + 4 * i);
        if (size == 40) h.paletteAt += 4 * count;
    } else if (h.bitCount == 16) {
        h.masks = {0x7C00, 0x3E0, 0x1F, 0};  // five bits each
    }
    CheckCompression(in, h);
    return h;
}

bool StandardMasks(const Header &h) {
    return h.bitCount == 32 && h.masks[0] == kStandard32[0] && h.masks[1] == kStandard32[1] &&
           h.masks[2] == kStandard32[2] && (h.masks[3] == 0 || h.masks[3] == 0xFF000000);
}

// Bit fields other than the usual 32-bit ones are turned into bytes.
bool Converted(const Header &h) {
    return h.bitCount == 16 || (h.bitCount == 32 && h.masks[0] != 0 && !StandardMasks(h));
}

ImagePixelFormat PixelFormatOf(const LittleEndianBytes &in, const Header &h) {
    if (Converted(h)) return h.masks[3] != 0 ? ImagePixelFormat::Argb32 : ImagePixelFormat::Rgb24;
    switch (h.bitCount) {
        case 1: return ImagePixelFormat::Indexed1;
        case 4: return ImagePixelFormat::Indexed4;
        case 8: return ImagePixelFormat::Indexed8;
        case 24: return ImagePixelFormat::Rgb24;
        case 32: return h.masks[3] == 0xFF000000 ? ImagePixelFormat::Argb32 : ImagePixelFormat::Rgb32;
        default: throw ImageError(ImageError::Kind::Unsupported, std::string(in.Format()) + ": unsupported bit count");
    }
}

// The palette's size in bytes.
std::size_t ReadPalette(const LittleEndianBytes &in, const Header &h, DecodedImage &image) {
    if (h.bitCount > 8) return 0;
    std::uint32_t count = h.colorsUsed == 0 ? 1u << h.bitCount : h.colorsUsed;
    if (count > (1u << h.bitCount)) Damaged(in.Format(), "the palette is too long");
    in.Need(h.paletteAt, count * h.paletteEntrySize);
    image.palette.resize(count * 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::memcpy(&image.palette[i * 4], in.At(h.paletteAt + i * h.paletteEntrySize), 3);
        // The fourth byte of a bitmap palette is reserved, not an alpha.
        image.palette[i * 4 + 3] = 255;
    }
    return count * h.paletteEntrySize;
}

DecodedImage NewImage(const LittleEndianBytes &in, const Header &h) {
    std::int64_t height = h.height < 0 ? -h.height : h.height;
    CheckDimensions(h.width, height, in.Format());
    DecodedImage image = MakeBitmap(static_cast<int>(h.width), static_cast<int>(height), PixelFormatOf(in, h));
    image.horizontalResolution = h.dpiX;
    image.verticalResolution = h.dpiY;
    return image;
}

// The stored row that file row `line` (0 = the first in the file) becomes.
std::uint8_t *RowOfLine(DecodedImage &image, const Header &h, int line) {
    return h.height < 0 ? RowFromTop(image, line) : RowFromTop(image, image.height - 1 - line);
}

void ConvertBitFields(const LittleEndianBytes &in, const Header &h, std::size_t at, std::size_t fileStride,
                      DecodedImage &image) {
    const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]), alpha(h.masks[3]);
    const int step = image.BitsPerPixel() / 8, bytes = h.bitCount / 8;
    for (int line = 0; line < image.height; ++line) {
        const std::uint8_t *source = in.At(at + static_cast<std::size_t>(line) * fileStride);
        std::uint8_t *out = RowOfLine(image, h, line);
        for (int x = 0; x < image.width; ++x, source += bytes, out += step) {
            std::uint32_t pixel = source[0] | source[1] << 8;
            if (bytes == 4)
                pixel |= static_cast<std::uint32_t>(source[2]) << 16 | static_cast<std::uint32_t>(source[3]) << 24;
            out[0] = blue.Level(pixel);
            out[1] = green.Level(pixel);
            out[2] = red.Level(pixel);
            if (step == 4) out[3] = alpha.Level(pixel);
        }
    }
}

// Returns the offset just past the rows.
std::size_t ReadRows(const LittleEndianBytes &in, const Header &h, std::size_t at, DecodedImage &image) {
    if (h.compression == kRle8 || h.compression == kRle4) {
        DecodeBmpRuns(in.From(at), h.height < 0, image);
        return in.Size();
    }
    const std::size_t fileStride = (static_cast<std::size_t>(image.width) * h.bitCount + 31) / 32 * 4;
    in.Need(at, fileStride * static_cast<std::size_t>(image.height));
    if (Converted(h)) {
        ConvertBitFields(in, h, at, fileStride, image);
    } else if (h.height > 0) {
        std::memcpy(image.pixels.data(), in.At(at), image.pixels.size());
    } else {
        for (int line = 0; line < image.height; ++line)
            std::memcpy(RowOfLine(image, h, line), in.At(at + line * fileStride), fileStride);
    }
    return at + fileStride * static_cast<std::size_t>(image.height);
}

}  // namespace

DecodedImage DecodeBmp(std::span<const std::uint8_t> bytes) {
    LittleEndianBytes in(bytes, "BMP");
    std::uint32_t pixelOffset = in.U32(10);
    Header h = ReadHeader(in, 14);
    DecodedImage image = NewImage(in, h);
    image.format = ImageFileFormat::Bmp;
    ReadPalette(in, h, image);
    ReadRows(in, h, pixelOffset, image);
    return image;
}

DecodedImage DecodeIconBitmap(std::span<const std::uint8_t> dib, std::size_t &maskAt) {
    LittleEndianBytes in(dib, "ICO");
    Header h = ReadHeader(in, 0);
    if (h.compression == kRle8 || h.compression == kRle4 || h.height < 0)
        throw ImageError(ImageError::Kind::Unsupported, "ICO: unsupported bitmap");
    // The height counts the rows of the AND mask as well.
    h.height /= 2;
    DecodedImage image = NewImage(in, h);
    image.horizontalResolution = image.verticalResolution = 96;
    std::size_t paletteSize = ReadPalette(in, h, image);
    maskAt = ReadRows(in, h, h.paletteAt + paletteSize, image);
    return image;
}

}  // namespace ZavorPlatform::ImageFormats
