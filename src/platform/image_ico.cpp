// Windows icons: a directory of pictures of several sizes, each a PNG file
// or a bitmap without file header whose AND mask marks the transparent
// pixels. A page shows one picture, so the largest is read (of equal sizes
// the one with the most colours), with its transparency.
#include <cstring>

#include "platform/image_bytes.h"
#include "platform/image_formats.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "ICO";
constexpr std::size_t kDirectoryEntry = 16;

struct Entry {
    std::uint32_t pixels = 0;  // width times height as the directory states them
    int bitCount = 0;
    std::size_t at = 0, size = 0;
};

Entry LargestEntry(const LittleEndianBytes &in) {
    const std::uint16_t count = in.U16(4);
    if (count == 0) Damaged(kFormat, "the icon holds no picture");
    in.Need(6, count * kDirectoryEntry);
    Entry best;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 6 + i * kDirectoryEntry;
        // A width or height of 0 stands for 256.
        const std::uint32_t width = in.U8(at) == 0 ? 256 : in.U8(at);
        const std::uint32_t height = in.U8(at + 1) == 0 ? 256 : in.U8(at + 1);
        Entry entry{width * height, in.U16(at + 6), in.U32(at + 12), in.U32(at + 8)};
        if (i == 0 || entry.pixels > best.pixels || (entry.pixels == best.pixels && entry.bitCount > best.bitCount))
            best = entry;
    }
    in.Need(best.at, best.size);
    return best;
}

// Blue, green, red and the fourth byte (alpha in 32-bit rows) of a pixel.
const std::uint8_t *ColourAt(const DecodedImage &image, const std::uint8_t *row, int x, std::uint8_t (&scratch)[4]) {
    switch (image.pixelFormat) {
        case ImagePixelFormat::Rgb24:
            std::memcpy(scratch, row + x * 3, 3);
            scratch[3] = 255;
            return scratch;
        case ImagePixelFormat::Rgb32:
        case ImagePixelFormat::Argb32: return row + x * 4;
        default: break;
    }
    const int bits = image.BitsPerPixel();
    unsigned index = bits == 8   ? row[x]
                     : bits == 4 ? (x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F)
                                 : row[x / 8] >> (7 - x % 8) & 1;
    if (index >= static_cast<unsigned>(image.PaletteCount())) Damaged(kFormat, "a pixel lies outside the palette");
    std::memcpy(scratch, &image.palette[index * 4], 4);
    return scratch;
}

// A 32-bit picture whose fourth bytes are not all zero carries its own
// alpha, and the AND mask is not used; every other one is opaque where the
// mask's bit is 0.
DecodedImage WithMask(const DecodedImage &colours, std::span<const std::uint8_t> dib, std::size_t maskAt) {
    const bool ownAlpha = colours.BitsPerPixel() == 32 && [&] {
        for (std::size_t i = 3; i < colours.pixels.size(); i += 4)
            if (colours.pixels[i] != 0) return true;
        return false;
    }();
    const std::size_t maskStride = (static_cast<std::size_t>(colours.width) + 31) / 32 * 4;
    LittleEndianBytes in(dib, kFormat);
    if (!ownAlpha) in.Need(maskAt, maskStride * static_cast<std::size_t>(colours.height));
    DecodedImage image = MakeBitmap(colours.width, colours.height, ImagePixelFormat::Argb32);
    for (int s = 0; s < image.height; ++s) {
        const std::uint8_t *source = colours.pixels.data() + static_cast<std::size_t>(s) * colours.Stride();
        std::uint8_t *out = image.pixels.data() + static_cast<std::size_t>(s) * image.Stride();
        for (int x = 0; x < image.width; ++x, out += 4) {
            std::uint8_t scratch[4];
            std::memcpy(out, ColourAt(colours, source, x, scratch), 4);
            if (ownAlpha) continue;
            const std::uint8_t maskByte = *in.At(maskAt + s * maskStride + x / 8);
            out[3] = (maskByte >> (7 - x % 8) & 1) != 0 ? 0 : 255;
        }
    }
    return image;
}

}  // namespace

DecodedImage DecodeIcon(std::span<const std::uint8_t> bytes) {
    LittleEndianBytes in(bytes, kFormat);
    if (in.U16(0) != 0 || in.U16(2) != 1) Damaged(kFormat, "not an icon");
    const Entry entry = LargestEntry(in);
    std::span<const std::uint8_t> picture = bytes.subspan(entry.at, entry.size);
    DecodedImage image;
    if (picture.size() >= 8 && std::memcmp(picture.data(), "\x89PNG\r\n\x1a\n", 8) == 0) {
        image = DecodePng(picture);
    } else {
        std::size_t maskAt = 0;
        const DecodedImage colours = DecodeIconBitmap(picture, maskAt);
        image = WithMask(colours, picture, maskAt);
    }
    image.format = ImageFileFormat::Icon;
    return image;
}

}  // namespace ZavorPlatform::ImageFormats
