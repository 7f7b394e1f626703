// The decoders behind DecodeImage, one per file format, and the checks they
// share. Internal to the platform layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/image_decoder.h"

namespace ZavorPlatform::ImageFormats {

DecodedImage DecodeBmp(std::span<const std::uint8_t> bytes);
DecodedImage DecodePng(std::span<const std::uint8_t> bytes);
DecodedImage DecodeJpeg(std::span<const std::uint8_t> bytes);
// A lossless JPEG (SOF3 or SOF11) decoded to rows: grey as Indexed8
// with a grey ramp, three components as Rgb24, with no jpegData; four
// components (CMYK or YCCK), which rows cannot hold, become a baseline JPEG.
DecodedImage DecodeLosslessJpeg(std::span<const std::uint8_t> bytes);
// A hierarchical JPEG decoded by our own code: a DCT-coded one written
// again as a baseline JPEG (jpegData), a lossless one as rows as
// DecodeLosslessJpeg gives them.
DecodedImage DecodeHierarchicalJpeg(std::span<const std::uint8_t> bytes);

// The colour spaces of EncodeBaselineJpeg: the samples are coded as they
// are, with the JFIF marker for YCbCr and the Adobe one for RGB.
enum class JpegSamples { Grey, Rgb, YCbCr };

// `samples` (interleaved, top row first) as a baseline JPEG of the highest
// quality, no component subsampled.
std::vector<std::uint8_t> EncodeBaselineJpeg(std::span<const std::uint8_t> samples, int width, int height,
                                             JpegSamples kind);

// `samples` (four a pixel, bottom row first, as Rgb32 rows hold them) as a
// baseline JPEG of the highest quality in the colour space `space` (Cmyk
// or Ycck).
std::vector<std::uint8_t> EncodeFourComponentJpeg(std::span<const std::uint8_t> samples, int width, int height,
                                                  JpegColorSpace space);
DecodedImage DecodeGif(std::span<const std::uint8_t> bytes);
DecodedImage DecodeTiff(std::span<const std::uint8_t> bytes);
DecodedImage DecodeIcon(std::span<const std::uint8_t> bytes);

// The colour rows of a bitmap as icons hold it: no file header, the
// information header first, palette and rows right behind it, and a height
// that counts the rows of the AND mask too. `maskAt` receives the offset
// just past the colour rows, where the AND mask begins.
DecodedImage DecodeIconBitmap(std::span<const std::uint8_t> dib, std::size_t &maskAt);

// Run-length coded bitmap rows into the zeroed Indexed8 or Indexed4 rows of
// `image`; the file's rows run bottom-up unless `topDown`.
void DecodeBmpRuns(std::span<const std::uint8_t> coded, bool topDown, DecodedImage &image);

// Refuses zero, negative and oversized dimensions (ImageError TooLarge).
void CheckDimensions(std::int64_t width, std::int64_t height, const char *format);

[[noreturn]] void Damaged(const char *format, const std::string &reason);
[[noreturn]] void Unsupported(const char *format, const std::string &reason);

// Pointer to the stored row that shows picture row y (0 = top).
inline std::uint8_t *RowFromTop(DecodedImage &image, int y) {
    return image.pixels.data() + static_cast<std::size_t>(image.height - 1 - y) * image.Stride();
}

// A palette of `count` greys evenly spread from black to white.
void SetGreyRamp(DecodedImage &image, int count);

}  // namespace ZavorPlatform::ImageFormats
