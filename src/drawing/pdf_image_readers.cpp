#include "drawing/pdf_image_readers.h"

#include <cstring>

#include "drawing/pdf_image_mask.h"
#include "drawing/x_image.h"
#include "pdf/errors.h"
#include "platform/flate_codec.h"

namespace ZavorPdf::Pdf::Advanced {
namespace {

using ZavorPlatform::DecodedImage;
using ZavorPlatform::ImagePixelFormat;

const char *const kFlate = "/FlateDecode";

// Stored row s (bottom row first) shows picture row height - 1 - s.
const std::uint8_t *StoredRow(const DecodedImage &image, int s) {
    return image.pixels.data() + static_cast<std::size_t>(s) * image.Stride();
}

bool RowsComplete(const DecodedImage &image) {
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() == image.Stride() * static_cast<std::size_t>(image.height);
}

std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t> &bytes) { return ZavorPlatform::Deflate(bytes); }

}  // namespace

ImagePlan PlanJpeg(const DecodedImage &image) {
    ImagePlan plan;
    plan.width = image.width;
    plan.height = image.height;
    std::vector<std::uint8_t> zipped = Deflate(image.jpegData);
    if (zipped.size() < image.jpegData.size())
        plan.samples = {std::move(zipped), {kFlate, "/DCTDecode"}};
    else
        plan.samples = {image.jpegData, {"/DCTDecode"}};
    switch (image.jpegColorSpace) {
    case ZavorPlatform::JpegColorSpace::Gray: plan.colorSpace = ImageColorSpace::DeviceGray; break;
    case ZavorPlatform::JpegColorSpace::Rgb: plan.colorSpace = ImageColorSpace::DeviceRGB; break;
    case ZavorPlatform::JpegColorSpace::Ycck: plan.inverseDecode = true; [[fallthrough]];
    case ZavorPlatform::JpegColorSpace::Cmyk: plan.colorSpace = ImageColorSpace::DeviceCMYK; break;
    }
    return plan;
}

ImagePlan PlanTrueColor(const DecodedImage &image, int components, bool alpha, int version) {
    if (!RowsComplete(image)) throw ZavorPdfException("ReadTrueColorMemoryBitmap: unsupported format");
    if (image.BitsPerPixel() != 8 * (alpha ? components + 1 : components))
        throw ZavorPdfException("ReadTrueColorMemoryBitmap: unsupported format #2");
    const int width = image.width, height = image.height, step = alpha ? 4 : components;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    std::vector<std::uint8_t> alphaPlane;
    if (alpha) alphaPlane.resize(static_cast<std::size_t>(width) * height);
    MonochromeMask mask(width, height);
    bool hasMask = false, hasSoftMask = false;
    for (int s = 0; s < height; ++s) {
        const std::uint8_t *in = StoredRow(image, s);
        std::size_t top = static_cast<std::size_t>(height - 1 - s) * width;
        mask.StartLine(s);
        for (int x = 0; x < width; ++x, in += step) {
            std::uint8_t *out = &rgb[(top + x) * 3];
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            if (!alpha) continue;
            std::uint8_t a = in[3];
            mask.AddPel(a);
            alphaPlane[top + x] = a;
            if (a != 255) {
                hasMask = true;
                if (a != 0) hasSoftMask = true;
            }
        }
        mask.EndLine();
    }
    ImagePlan plan;
    plan.width = width;
    plan.height = height;
    if (hasMask) plan.stencilMask = Deflate(mask.Bits());
    if (hasMask && hasSoftMask && version >= 14) plan.softMask = Deflate(alphaPlane);
    plan.samples = {Deflate(rgb), {kFlate}};
    plan.colorSpace = ImageColorSpace::DeviceRGB;
    return plan;
}

namespace {

struct PaletteFacts {
    std::vector<std::uint8_t> rgb;
    std::vector<bool> transparent;  // by index
    int count = 0;
    bool grey = false;
    int first = -1, last = -1;
    bool segmented = false;
    enum { NotBilevel, Normal, Inverted } bilevel = NotBilevel;
};

PaletteFacts ReadPalette(const DecodedImage &image, int bits) {
    PaletteFacts facts;
    std::vector<std::uint8_t> entries = image.palette;
    // A picture without palette entries: a grey ramp (a bilevel one stays
    // black and white, which is what the ramp of two gives too).
    if (entries.empty()) {
        int count = 1 << bits;
        for (int i = 0; i < count; ++i) {
            auto level = static_cast<std::uint8_t>(i * 255 / (count - 1));
            entries.insert(entries.end(), {level, level, level, 255});
        }
    }
    facts.count = static_cast<int>(entries.size() / 4);
    facts.rgb.resize(static_cast<std::size_t>(facts.count) * 3);
    facts.transparent.resize(static_cast<std::size_t>(facts.count));
    facts.grey = bits == 8 && facts.count == 256;
    for (int i = 0; i < facts.count; ++i) {
        const std::uint8_t *e = &entries[static_cast<std::size_t>(i) * 4];
        facts.rgb[i * 3] = e[2];
        facts.rgb[i * 3 + 1] = e[1];
        facts.rgb[i * 3 + 2] = e[0];
        if (e[0] != e[1] || e[1] != e[2]) facts.grey = false;
        if (e[3] >= 128) continue;
        facts.transparent[i] = true;
        if (facts.first < 0) facts.first = facts.last = i;
        else if (i == facts.last + 1) facts.last = i;
        else facts.segmented = true;
    }
    if (bits == 1 && (image.palette.empty() || facts.count == 2)) {
        auto is = [&](int i, int v) { return facts.rgb[i * 3] == v && facts.rgb[i * 3 + 1] == v && facts.rgb[i * 3 + 2] == v; };
        if (is(0, 0) && is(1, 255)) facts.bilevel = PaletteFacts::Normal;
        else if (is(0, 255) && is(1, 0)) facts.bilevel = PaletteFacts::Inverted;
    }
    return facts;
}

int IndexAt(const std::uint8_t *row, int x, int bits) {
    switch (bits) {
    case 1: return row[x / 8] >> (7 - x % 8) & 1;
    case 4: return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
    default: return row[x];
    }
}

ImageStreamData PaletteStream(const std::vector<std::uint8_t> &rgb) {
    if (rgb.size() >= 48) {
        std::vector<std::uint8_t> zipped = Deflate(rgb);
        if (zipped.size() + 20 < rgb.size()) return {std::move(zipped), {kFlate}};
    }
    return {rgb, {}};
}

bool PartlyTransparent(const DecodedImage &image) {
    for (std::size_t at = 3; at < image.palette.size(); at += 4)
        if (image.palette[at] != 0 && image.palette[at] != 255) return true;
    return false;
}

// The picture with each index replaced by its palette entry. Indices past
// the palette show opaque black.
DecodedImage WithEntries(const DecodedImage &image, int bits) {
    DecodedImage out = ZavorPlatform::MakeBitmap(image.width, image.height, ImagePixelFormat::Argb32);
    const int count = image.PaletteCount();
    for (int s = 0; s < image.height; ++s) {
        const std::uint8_t *in = StoredRow(image, s);
        std::uint8_t *row = out.pixels.data() + static_cast<std::size_t>(s) * out.Stride();
        for (int x = 0; x < image.width; ++x, row += 4) {
            int index = IndexAt(in, x, bits);
            if (index < count) std::memcpy(row, &image.palette[static_cast<std::size_t>(index) * 4], 4);
            else row[3] = 255;
        }
    }
    return out;
}

}  // namespace

ImagePlan PlanIndexed(const DecodedImage &image, int bits, int version) {
    if (!RowsComplete(image)) throw ZavorPdfException("ReadIndexedMemoryBitmap: unsupported format");
    if (image.BitsPerPixel() != bits) throw ZavorPdfException("ReadIndexedMemoryBitmap: unsupported format #2");
    if (image.palette.size() % 4 != 0 || image.PaletteCount() > (1 << bits))
        throw ZavorPdfException("ReadIndexedMemoryBitmap: unsupported format #3");
    // A mask or a colour key is on or off: entries between (a soft shadow,
    // an anti-aliased edge) need the alpha of each pixel as a soft mask,
    // which only true-colour samples carry next to them.
    if (version >= 14 && PartlyTransparent(image)) return PlanTrueColor(WithEntries(image, bits), 3, true, version);
    PaletteFacts facts = ReadPalette(image, bits);
    const int width = image.width, height = image.height;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * bits + 7) / 8;
    std::vector<std::uint8_t> samples(rowBytes * height);
    MonochromeMask mask(width, height);
    const bool masked = facts.first >= 0;
    for (int s = 0; s < height; ++s) {
        const std::uint8_t *in = StoredRow(image, s);
        std::uint8_t *out = &samples[static_cast<std::size_t>(height - 1 - s) * rowBytes];
        std::memcpy(out, in, rowBytes);
        if (facts.grey)
            for (std::size_t x = 0; x < rowBytes; ++x) out[x] = facts.rgb[out[x] * 3u];
        if (!masked) continue;
        // The entries' own alpha decides, so that opaque entries inside a
        // segmented range stay visible.
        mask.StartLine(s);
        for (int x = 0; x < width; ++x) {
            int index = IndexAt(in, x, bits);
            mask.AddPel(index < facts.count && facts.transparent[index] ? 0 : 255);
        }
        mask.EndLine();
    }
    ImagePlan plan;
    plan.width = width;
    plan.height = height;
    plan.bitsPerComponent = bits;
    if (masked) {
        // Grey samples are levels, not indices: the key holds only where
        // the two agree.
        bool keyFits = !facts.grey || (facts.rgb[facts.first * 3] == facts.first && facts.rgb[facts.last * 3] == facts.last);
        if (!facts.segmented && version >= 13 && keyFits)
            plan.colorKey = std::make_pair(facts.first, facts.last);
        else
            plan.stencilMask = Deflate(mask.Bits());
    }
    plan.samples = {Deflate(samples), {kFlate}};
    if (facts.bilevel != PaletteFacts::Normal && !facts.grey) {
        plan.colorSpace = ImageColorSpace::Indexed;
        plan.palette = PaletteStream(facts.rgb);
        plan.highestIndex = facts.count - 1;
    } else {
        plan.colorSpace = ImageColorSpace::DeviceGray;
    }
    return plan;
}

ImagePlan PlanImage(const Drawing::XImage &image, int version) {
    using Drawing::XImageFormat;
    if (image.Format() == XImageFormat::Pdf) throw NotSupportedException("Image format not supported.");
    const DecodedImage &decoded = image.Decoded();
    ImagePlan plan;
    if (image.Format() == XImageFormat::Jpeg && !decoded.jpegData.empty()) {
        plan = PlanJpeg(decoded);
        return plan;
    }
    switch (decoded.pixelFormat) {
    case ImagePixelFormat::Rgb24: plan = PlanTrueColor(decoded, 3, false, version); break;
    case ImagePixelFormat::Rgb32: plan = PlanTrueColor(decoded, 4, false, version); break;
    case ImagePixelFormat::Argb32: plan = PlanTrueColor(decoded, 3, true, version); break;
    case ImagePixelFormat::Indexed8: plan = PlanIndexed(decoded, 8, version); break;
    case ImagePixelFormat::Indexed4: plan = PlanIndexed(decoded, 4, version); break;
    case ImagePixelFormat::Indexed1: plan = PlanIndexed(decoded, 1, version); break;
    default: throw NotImplementedException("Image format not supported.");
    }
    plan.interpolate = image.Interpolate();
    return plan;
}

}  // namespace ZavorPdf::Pdf::Advanced
