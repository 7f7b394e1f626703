// From a decoded picture to the streams of a PDF image: which samples,
// filters, colour space and masks it gets. Pure computation; the objects
// are made from the plan by PdfImage, so that a picture that cannot be read
// leaves nothing behind in the document.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/image_decoder.h"

namespace ZavorPdf::Drawing {
class XImage;
}

namespace ZavorPdf::Pdf::Advanced {

enum class ImageColorSpace { DeviceGray, DeviceRGB, DeviceCMYK, Indexed };

struct ImageStreamData {
    std::vector<std::uint8_t> bytes;
    // In decoding order, e.g. {"/FlateDecode", "/DCTDecode"}; empty: raw.
    std::vector<std::string> filters;
};

struct ImagePlan {
    int width = 0;
    int height = 0;
    int bitsPerComponent = 8;
    ImageStreamData samples;
    ImageColorSpace colorSpace = ImageColorSpace::DeviceRGB;
    // Inverted CMYK samples of YCCK JPEG files.
    bool inverseDecode = false;
    // Indexed only: the RGB palette stream and its highest index.
    std::optional<ImageStreamData> palette;
    int highestIndex = 0;
    // Colour-key masking: the range of sample values that are not painted.
    std::optional<std::pair<int, int>> colorKey;
    // Flate-compressed stencil bits (1 = transparent) and alpha plane.
    std::optional<std::vector<std::uint8_t>> stencilMask;
    std::optional<std::vector<std::uint8_t>> softMask;
    bool interpolate = false;
};

// Picks the reader by format and pixel format. `version` is the document's
// PDF version times ten. Fails with the readers' messages, "Image format
// not supported." for other pixel formats.
ImagePlan PlanImage(const Drawing::XImage &image, int version);

ImagePlan PlanJpeg(const ZavorPlatform::DecodedImage &image);
// `components` is the bytes per pixel without alpha (3 for 24-bit, 4 for
// 32-bit RGB whose fourth byte is unused).
ImagePlan PlanTrueColor(const ZavorPlatform::DecodedImage &image, int components, bool alpha, int version);
ImagePlan PlanIndexed(const ZavorPlatform::DecodedImage &image, int bits, int version);

}  // namespace ZavorPdf::Pdf::Advanced
