// Writing decoded images back into picture files. The engine itself passes
// JPEG files through and reads everything else, so these serve round trips
// and the making of sample pictures.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/image_decoder.h"

namespace ZavorPlatform {

// Every pixel format; indexed pictures keep their palette (with alpha as
// a transparency chunk), Argb32 becomes RGBA.
std::vector<std::uint8_t> EncodePng(const DecodedImage &image);
// Arithmetic: sequential, as few writers make it and as the decoder
// rewrites it with Huffman codes.
enum class JpegCoding { Baseline, Progressive, Arithmetic };

// Rgb24 and Rgb32 as colour, Indexed8 with a palette as grey (the red
// value of each entry).
std::vector<std::uint8_t> EncodeJpeg(const DecodedImage &image, int quality = 90,
                                     JpegCoding coding = JpegCoding::Baseline);
// Indexed pictures; the first palette entry with alpha below 128 becomes
// the transparent colour.
std::vector<std::uint8_t> EncodeGif(const DecodedImage &image);
// Rgb24 and Argb32 uncompressed; Indexed1 with a black-and-white palette
// as a bilevel picture in CCITT Group 4.
std::vector<std::uint8_t> EncodeTiff(const DecodedImage &image);

}  // namespace ZavorPlatform
