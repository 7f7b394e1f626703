// Decoding of picture files (JPEG, PNG, BMP, GIF, TIFF, icons) into one in-memory
// form that the engine's image readers take: the rows of an uncompressed
// Windows bitmap (bottom row first, each padded to four bytes) with its
// palette, or, for JPEG, the coded bytes with the facts the DCT filter
// needs. Every decoder is bounds-checked and refuses pictures larger than
// MaxPixels, so hostile files end in an ImageError, never in a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace ZavorPlatform {

class ImageError : public std::runtime_error {
public:
    enum class Kind {
        UnknownFormat,  // no decoder recognises the bytes
        Damaged,        // recognised, but cut short or corrupt
        TooLarge,       // dimensions beyond MaxPixels or zero
        Unsupported,    // a variant of a known format we do not read
    };

    ImageError(Kind kind, const std::string &reason) : std::runtime_error(reason), kind_(kind) {}
    Kind GetKind() const noexcept { return kind_; }

private:
    Kind kind_;
};

// Width times height may not exceed this (100 megapixels).
inline constexpr std::uint64_t MaxPixels = 100'000'000;

enum class ImageFileFormat { MemoryBitmap, Bmp, Png, Jpeg, Gif, Tiff, Icon };

// The bit layout of the rows.
enum class ImagePixelFormat {
    Rgb24,     // B, G, R
    Rgb32,     // B, G, R, unused
    Argb32,    // B, G, R, A (not premultiplied)
    Indexed8,
    Indexed4,  // high nibble first
    Indexed1,  // most significant bit first
};

// How the samples of a JPEG file are to be read.
enum class JpegColorSpace { Gray, Rgb, Cmyk, Ycck };

struct DecodedImage {
    ImageFileFormat format = ImageFileFormat::MemoryBitmap;
    int width = 0;
    int height = 0;
    // Dots per inch as the file states them; 96 when it states none.
    double horizontalResolution = 96;
    double verticalResolution = 96;
    ImagePixelFormat pixelFormat = ImagePixelFormat::Rgb24;
    // Four bytes per entry: blue, green, red, alpha (255 opaque).
    std::vector<std::uint8_t> palette;
    // Bottom row first, each row Stride() bytes. Empty for JPEG, except for
    // lossless JPEG, which is decoded to rows and has no jpegData.
    std::vector<std::uint8_t> pixels;
    // JPEG only: the bytes for the DCT filter (the file's own; for an
    // arithmetic-coded file its coefficients with Huffman codes) and their
    // colour space.
    std::vector<std::uint8_t> jpegData;
    JpegColorSpace jpegColorSpace = JpegColorSpace::Rgb;

    int BitsPerPixel() const;
    // Bytes per stored row, a multiple of four.
    std::size_t Stride() const;
    int PaletteCount() const { return static_cast<int>(palette.size() / 4); }
};

// Reads the format from the first bytes, then decodes. Throws ImageError.
DecodedImage DecodeImage(std::span<const std::uint8_t> bytes);
// Throws ImageError, or std::runtime_error when the file cannot be read.
DecodedImage DecodeImageFile(const std::filesystem::path &path);

// A new image of the given size with zeroed, padded rows and no palette.
// Fails with ImageError(TooLarge) for sizes DecodeImage would refuse.
DecodedImage MakeBitmap(int width, int height, ImagePixelFormat pixelFormat);

// The image as an uncompressed Windows bitmap file (40-byte header). JPEG
// images must be decoded to rows first; those without rows fail.
std::vector<std::uint8_t> EncodeBmp(const DecodedImage &image);

}  // namespace ZavorPlatform
