// The marker segments of a JPEG file as our own readers (lossless and
// hierarchical files) walk them, and what they take from the JFIF and
// Adobe segments to place the samples: how three or four components are to
// be read, and the resolution.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/image_decoder.h"

namespace ZavorPlatform::ImageFormats {

// A file segment by segment. Stray bytes and fill bytes before a marker
// are skipped; a file that ends before its end marker is refused.
class JpegSegments {
public:
    explicit JpegSegments(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // The next marker (0xD9 at the end) with its segment's body.
    std::uint8_t Next(std::span<const std::uint8_t> &segment);
    std::span<const std::uint8_t> Bytes() const { return bytes_; }
    std::size_t Position() const { return at_; }
    void MoveTo(std::size_t at) { at_ = at; }
    std::size_t Remaining() const { return bytes_.size() - at_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 2;  // after SOI
};

struct JpegColourMarkers {
    bool jfif = false;
    int adobeTransform = -1;  // none
    double horizontalResolution = 0, verticalResolution = 0;  // none stated

    // Takes in an APP0 or APP14 segment; false for any other marker.
    bool Read(std::uint8_t marker, std::span<const std::uint8_t> segment);
    // Three components are RGB unless the file says otherwise: encoders of
    // medical pictures write RGB with no marker at all, or with an Adobe
    // marker of transform 0; libjpeg writes YCbCr under a JFIF marker.
    bool YCbCr() const { return adobeTransform == 1 || (adobeTransform < 0 && jfif); }
    // Adobe marks YCCK with transform 2; CMYK carries no transform.
    JpegColorSpace FourComponentSpace() const { return adobeTransform == 2 ? JpegColorSpace::Ycck : JpegColorSpace::Cmyk; }
    // The resolution the JFIF segment states, if any, into `image`.
    void SetResolution(DecodedImage &image) const;
};

// Refuses, before anything is allocated, a frame of `units` (samples of a
// lossless frame, blocks of a DCT one) that the rest of the file
// (`remaining` bytes) cannot code. Huffman codes take at least a bit a
// unit, or the file is cut short. Arithmetic coding may take far less (a
// flat picture codes to a few bytes); beyond a size any picture may have,
// we decode only a few thousand samples a byte: more would let a file of a
// hundred bytes take a gigabyte and seconds, and only made-up pictures go
// further.
void CheckCodedSize(std::uint64_t units, std::uint64_t samplesPerUnit, std::uint64_t remaining, bool arithmetic);

// The JFIF conversion (full range), on Rgb24 rows' blue-green-red bytes.
void ConvertYCbCr(DecodedImage &image);

}  // namespace ZavorPlatform::ImageFormats
