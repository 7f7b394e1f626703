// TIFF through libtiff: the first directory. Bilevel pictures keep their
// single bit per pixel (so that they stay black-and-white in the PDF);
// everything else goes through libtiff's RGBA reader, with the alpha kept
// apart from the colour (see TakeStoredSamples). libtiff reports a strip
// that is cut short or badly coded through its handlers and often goes on
// with the rows left blank, so any error, and any warning while the rows
// are read, refuses the picture. Warnings about the directory (unknown
// tags and the like) do not.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/image_formats.h"
#include "platform/image_tiff_memory.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "TIFF";

[[noreturn]] void Fail(const TiffMemory &memory, const char *fallback) {
    Damaged(kFormat, memory.error.empty() ? fallback : memory.error);
}

void ReadResolution(TIFF *tiff, DecodedImage &image) {
    float x = 0, y = 0;
    std::uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (!TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &x) || !TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &y)) return;
    if (!(x > 0 && y > 0) || unit == RESUNIT_NONE) return;
    double perInch = unit == RESUNIT_CENTIMETER ? 2.54 : 1.0;
    image.horizontalResolution = x * perInch;
    image.verticalResolution = y * perInch;
}

bool IsBilevel(TIFF *tiff, std::uint16_t *photometric) {
    std::uint16_t bits = 0, samples = 0;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, photometric)) return false;
    return bits == 1 && samples == 1 && !TIFFIsTiled(tiff) &&
           (*photometric == PHOTOMETRIC_MINISWHITE || *photometric == PHOTOMETRIC_MINISBLACK);
}

void ReadBilevel(TIFF *tiff, TiffMemory &memory, std::uint16_t photometric, DecodedImage &image) {
    // The bits stay as stored; the palette says which value is black.
    image.palette = photometric == PHOTOMETRIC_MINISWHITE
                        ? std::vector<std::uint8_t>{255, 255, 255, 255, 0, 0, 0, 255}
                        : std::vector<std::uint8_t>{0, 0, 0, 255, 255, 255, 255, 255};
    tmsize_t lineSize = TIFFScanlineSize(tiff);
    std::size_t rowBytes = (static_cast<std::size_t>(image.width) + 7) / 8;
    if (lineSize <= 0 || static_cast<std::size_t>(lineSize) < rowBytes) Fail(memory, "unexpected row size");
    std::vector<std::uint8_t> line(static_cast<std::size_t>(lineSize));
    memory.warning.clear();
    for (int y = 0; y < image.height; ++y) {
        if (TIFFReadScanline(tiff, line.data(), static_cast<std::uint32_t>(y), 0) < 0)
            Fail(memory, "cannot read a row");
        std::memcpy(RowFromTop(image, y), line.data(), rowBytes);
    }
}

struct RgbaReader {
    TIFFRGBAImage state{};
    bool begun = false;
    ~RgbaReader() {
        if (begun) TIFFRGBAImageEnd(&state);
    }
};

// The RGBA reader multiplies unassociated alpha into the colour and hands
// associated (premultiplied) samples over as stored; the bitmap wants
// neither premultiplied, and the PDF gets the same alpha again as its
// soft mask. Told that the alpha is associated, the reader leaves every
// sample as stored. True when the samples will come out premultiplied and
// have to be divided back. Only the directory in memory changes.
bool TakeStoredSamples(TIFF *tiff) {
    std::uint16_t count = 0;
    std::uint16_t *kinds = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &count, &kinds) || count == 0 || kinds == nullptr) return false;
    if (kinds[0] == EXTRASAMPLE_ASSOCALPHA) return true;
    if (kinds[0] != EXTRASAMPLE_UNASSALPHA) return false;
    std::vector<std::uint16_t> associated(kinds, kinds + count);
    associated[0] = EXTRASAMPLE_ASSOCALPHA;
    return TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, count, associated.data()) != 1;
}

std::uint8_t Unpremultiplied(std::uint32_t level, std::uint32_t alpha) {
    if (alpha == 0) return 0;
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (level * 255 + alpha / 2) / alpha));
}

void ReadColor(TIFF *tiff, TiffMemory &memory, DecodedImage &image) {
    char reason[1024] = {};
    if (!TIFFRGBAImageOK(tiff, reason)) throw ImageError(ImageError::Kind::Unsupported, std::string("TIFF: ") + reason);
    const bool premultiplied = TakeStoredSamples(tiff);
    RgbaReader reader;
    // Stops at the first strip or tile that cannot be read.
    if (!TIFFRGBAImageBegin(&reader.state, tiff, 1, reason)) Fail(memory, reason);
    reader.begun = true;
    // Bottom row first, as the bitmap rows are stored.
    reader.state.req_orientation = ORIENTATION_BOTLEFT;
    std::vector<std::uint32_t> raster(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    memory.warning.clear();
    if (!TIFFRGBAImageGet(&reader.state, raster.data(), static_cast<std::uint32_t>(image.width),
                          static_cast<std::uint32_t>(image.height)))
        Fail(memory, "cannot read the picture");
    std::size_t stride = image.Stride();
    for (int row = 0; row < image.height; ++row) {
        std::uint8_t *out = image.pixels.data() + static_cast<std::size_t>(row) * stride;
        const std::uint32_t *in = raster.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(image.width);
        for (int x = 0; x < image.width; ++x, out += 4) {
            std::uint32_t p = in[x], a = TIFFGetA(p);
            if (premultiplied && a != 255) {
                out[0] = Unpremultiplied(TIFFGetB(p), a);
                out[1] = Unpremultiplied(TIFFGetG(p), a);
                out[2] = Unpremultiplied(TIFFGetR(p), a);
            } else {
                out[0] = static_cast<std::uint8_t>(TIFFGetB(p));
                out[1] = static_cast<std::uint8_t>(TIFFGetG(p));
                out[2] = static_cast<std::uint8_t>(TIFFGetR(p));
            }
            out[3] = static_cast<std::uint8_t>(a);
        }
    }
}

}  // namespace

DecodedImage DecodeTiff(std::span<const std::uint8_t> bytes) {
    TiffMemory memory;
    memory.input = bytes;
    TiffHandle handle;
    handle.tiff = OpenTiffMemory(memory, "r");
    if (handle.tiff == nullptr) Fail(memory, "cannot open the file");
    std::uint32_t width = 0, height = 0;
    if (!TIFFGetField(handle.tiff, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(handle.tiff, TIFFTAG_IMAGELENGTH, &height))
        Fail(memory, "the picture has no size");
    CheckDimensions(width, height, kFormat);
    std::uint16_t photometric = 0;
    bool bilevel = IsBilevel(handle.tiff, &photometric);
    DecodedImage image = MakeBitmap(static_cast<int>(width), static_cast<int>(height),
                                    bilevel ? ImagePixelFormat::Indexed1 : ImagePixelFormat::Argb32);
    image.format = ImageFileFormat::Tiff;
    ReadResolution(handle.tiff, image);
    if (bilevel)
        ReadBilevel(handle.tiff, memory, photometric, image);
    else
        ReadColor(handle.tiff, memory, image);
    if (!memory.error.empty()) Damaged(kFormat, memory.error);
    if (!memory.warning.empty()) Damaged(kFormat, memory.warning);
    return image;
}

}  // namespace ZavorPlatform::ImageFormats
