#include "platform/image_decoder.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/image_formats.h"

namespace ZavorPlatform {

namespace ImageFormats {

void CheckDimensions(std::int64_t width, std::int64_t height, const char *format) {
    if (width <= 0 || height <= 0)
        throw ImageError(ImageError::Kind::TooLarge, std::string(format) + ": the picture has no pixels");
    // Both factors are checked first so that the product cannot overflow.
    if (width > static_cast<std::int64_t>(MaxPixels) || height > static_cast<std::int64_t>(MaxPixels) ||
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > MaxPixels)
        throw ImageError(ImageError::Kind::TooLarge, std::string(format) + ": the picture is too large");
}

void Damaged(const char *format, const std::string &reason) {
    throw ImageError(ImageError::Kind::Damaged, std::string(format) + ": " + reason);
}

void Unsupported(const char *format, const std::string &reason) {
    throw ImageError(ImageError::Kind::Unsupported, std::string(format) + ": " + reason);
}

void SetGreyRamp(DecodedImage &image, int count) {
    image.palette.assign(static_cast<std::size_t>(count) * 4, 255);
    for (int i = 0; i < count; ++i) {
        auto level = static_cast<std::uint8_t>(count == 1 ? 0 : i * 255 / (count - 1));
        std::memset(&image.palette[static_cast<std::size_t>(i) * 4], level, 3);
    }
}

}  // namespace ImageFormats

int DecodedImage::BitsPerPixel() const {
    switch (pixelFormat) {
    case ImagePixelFormat::Rgb24: return 24;
    case ImagePixelFormat::Rgb32:
    case ImagePixelFormat::Argb32: return 32;
    case ImagePixelFormat::Indexed8: return 8;
    case ImagePixelFormat::Indexed4: return 4;
    case ImagePixelFormat::Indexed1: return 1;
    }
    return 0;
}

std::size_t DecodedImage::Stride() const {
    std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(BitsPerPixel());
    return (bits + 31) / 32 * 4;
}

namespace {

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view magic) {
    return bytes.size() >= magic.size() && std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
}

}  // namespace

DecodedImage DecodeImage(std::span<const std::uint8_t> bytes) {
    using namespace ImageFormats;
    if (StartsWith(bytes, "BM")) return DecodeBmp(bytes);
    if (StartsWith(bytes, "\x89PNG\r\n\x1a\n")) return DecodePng(bytes);
    if (StartsWith(bytes, "\xFF\xD8\xFF")) return DecodeJpeg(bytes);
    if (StartsWith(bytes, "GIF87a") || StartsWith(bytes, "GIF89a")) return DecodeGif(bytes);
    if (StartsWith(bytes, "II*\0") || StartsWith(bytes, std::string_view("MM\0*", 4))) return DecodeTiff(bytes);
    if (StartsWith(bytes, std::string_view("\0\0\1\0", 4))) return DecodeIcon(bytes);
    throw ImageError(ImageError::Kind::UnknownFormat, "unknown image format");
}

DecodedImage DecodeImageFile(const std::filesystem::path &path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot open " + path.string());
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) throw std::runtime_error("cannot read " + path.string());
    return DecodeImage(bytes);
}

DecodedImage MakeBitmap(int width, int height, ImagePixelFormat pixelFormat) {
    ImageFormats::CheckDimensions(width, height, "bitmap");
    DecodedImage image;
    image.width = width;
    image.height = height;
    image.pixelFormat = pixelFormat;
    image.pixels.assign(image.Stride() * static_cast<std::size_t>(height), 0);
    return image;
}

namespace {

void Put16(std::vector<std::uint8_t> &out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::vector<std::uint8_t> &out, std::size_t at, std::uint32_t value) {
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp(const DecodedImage &image) {
    if (image.pixels.size() != image.Stride() * static_cast<std::size_t>(image.height))
        throw ImageError(ImageError::Kind::Unsupported, "bitmap: the picture has no rows to write");
    constexpr std::size_t headers = 14 + 40;
    std::size_t offset = headers + image.palette.size();
    std::vector<std::uint8_t> out(offset, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<std::uint32_t>(offset + image.pixels.size()));
    Put32(out, 10, static_cast<std::uint32_t>(offset));
    Put32(out, 14, 40);
    Put32(out, 18, static_cast<std::uint32_t>(image.width));
    Put32(out, 22, static_cast<std::uint32_t>(image.height));
    Put16(out, 26, 1);
    Put16(out, 28, static_cast<std::uint32_t>(image.BitsPerPixel()));
    // Dots per inch as dots per metre, rounded.
    Put32(out, 38, static_cast<std::uint32_t>(image.horizontalResolution / 0.0254 + 0.5));
    Put32(out, 42, static_cast<std::uint32_t>(image.verticalResolution / 0.0254 + 0.5));
    Put32(out, 46, static_cast<std::uint32_t>(image.PaletteCount()));
    if (!image.palette.empty()) std::memcpy(out.data() + headers, image.palette.data(), image.palette.size());
    out.insert(out.end(), image.pixels.begin(), image.pixels.end());
    return out;
}

}  // namespace ZavorPlatform
