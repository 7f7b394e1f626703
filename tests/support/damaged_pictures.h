// Pictures of every kind the decoders read, and the same pictures damaged
// the ways real files arrive: cut off by an interrupted download or copy,
// or with coded data that stops before the last row. The valid ones come
// from our encoders; the TIFF files are put together here with the
// directory before the strip, as scanners write them, so that a cut falls
// into the strip and not into the directory.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/image_decoder.h"
#include "platform/image_encoder.h"
#include "support/test_output.h"

namespace ZavorTest {

using Bytes = std::vector<std::uint8_t>;

struct NamedPicture {
    std::string name;
    std::string extension;  // ".jpg", ".png" ...
    Bytes bytes;
    std::string reason = {};  // damaged ones: how the decoder's message begins
};

namespace PictureParts {

// 64 x 48 pixels of noise, so that every codec needs several kilobytes and
// a cut in the middle of the coded data leaves rows undecoded.
inline ZavorPlatform::DecodedImage NoisePicture(ZavorPlatform::ImagePixelFormat format) {
    ZavorPlatform::DecodedImage image = ZavorPlatform::MakeBitmap(64, 48, format);
    if (image.BitsPerPixel() <= 8)
        for (int i = 0; i < 1 << image.BitsPerPixel(); ++i)
            image.palette.insert(image.palette.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                                       static_cast<std::uint8_t>(i / 2), 255});
    std::uint32_t state = 2026;
    for (std::uint8_t &byte : image.pixels) byte = static_cast<std::uint8_t>((state = state * 1103515245 + 12345) >> 24);
    return image;
}

inline Bytes Cut(const Bytes &bytes, std::size_t size) { return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(size)); }

inline std::uint32_t Little(const Bytes &bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes.at(at + i);
    return value;
}

// Offset just past the header of the first scan.
inline std::size_t JpegScanStart(const Bytes &jpeg) {
    for (std::size_t at = 2; at + 4 <= jpeg.size() && jpeg[at] == 0xFF;) {
        std::size_t length = static_cast<std::size_t>(jpeg[at + 2] << 8 | jpeg[at + 3]);
        if (jpeg[at + 1] == 0xDA) return at + 2 + length;
        at += 2 + length;
    }
    throw std::logic_error("the JPEG file has no scan");
}

// Offset of the first byte of the first IDAT chunk's data, and its length.
inline std::pair<std::size_t, std::size_t> PngImageData(const Bytes &png) {
    for (std::size_t at = 8; at + 8 <= png.size();) {
        std::size_t length = static_cast<std::size_t>(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (std::string(png.begin() + static_cast<long>(at) + 4, png.begin() + static_cast<long>(at) + 8) == "IDAT")
            return {at + 8, length};
        at += 12 + length;
    }
    throw std::logic_error("the PNG file has no image data");
}

// Offset of the first data sub-block of the first frame.
inline std::size_t GifRasterStart(const Bytes &gif) {
    auto table = [&](std::size_t flags) { return flags & 0x80 ? 3u << ((flags & 7) + 1) : 0u; };
    std::size_t at = 13 + table(gif.at(10));
    while (gif.at(at) == 0x21) {
        at += 2;
        while (gif.at(at) != 0) at += gif[at] + 1u;
        ++at;
    }
    if (gif.at(at) != 0x2C) throw std::logic_error("the GIF file has no frame");
    return at + 10 + table(gif.at(at + 9)) + 1;  // past the code size
}

// The single SHORT or LONG value of a tag in the first directory of a
// little-endian TIFF file.
inline std::uint32_t TiffValue(const Bytes &tiff, std::uint16_t tag) {
    std::size_t directory = Little(tiff, 4, 4);
    for (std::uint32_t i = 0, count = Little(tiff, directory, 2); i < count; ++i) {
        std::size_t entry = directory + 2 + 12 * i;
        if (Little(tiff, entry, 2) == tag) return Little(tiff, entry + 8, Little(tiff, entry + 2, 2) == 3 ? 2 : 4);
    }
    throw std::logic_error("the TIFF file lacks tag " + std::to_string(tag));
}

// Header, directory, then the strips. `fields` are tags with one LONG
// value each; the strips' offsets and lengths are added here.
inline Bytes DirectoryFirstTiff(std::vector<std::pair<std::uint16_t, std::uint32_t>> fields,
                                const std::vector<Bytes> &strips) {
    fields.emplace_back(273, 0);
    fields.emplace_back(279, 0);
    std::sort(fields.begin(), fields.end());
    const auto count = static_cast<std::uint32_t>(strips.size());
    // With more than one strip the lists of offsets and lengths follow the
    // directory; a single value stands in the entry itself.
    const auto lists = static_cast<std::uint32_t>(8 + 2 + 12 * fields.size() + 4);
    std::uint32_t stripOffset = lists + (count > 1 ? 8 * count : 0);
    std::vector<std::uint32_t> offsets, lengths;
    for (const Bytes &strip : strips) {
        offsets.push_back(stripOffset);
        lengths.push_back(static_cast<std::uint32_t>(strip.size()));
        stripOffset += static_cast<std::uint32_t>(strip.size());
    }
    Bytes out{'I', 'I', 42, 0, 8, 0, 0, 0};
    auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> 8 * i));
    };
    put(static_cast<std::uint32_t>(fields.size()), 2);
    for (const auto &[tag, value] : fields) {
        put(tag, 2);
        put(4, 2);  // LONG
        bool list = tag == 273 || tag == 279;
        put(list ? count : 1, 4);
        if (!list) put(value, 4);
        else if (count == 1) put(tag == 273 ? offsets[0] : lengths[0], 4);
        else put(tag == 273 ? lists : lists + 4 * count, 4);
    }
    put(0, 4);
    if (count > 1) {
        for (std::uint32_t offset : offsets) put(offset, 4);
        for (std::uint32_t length : lengths) put(length, 4);
    }
    for (const Bytes &strip : strips) out.insert(out.end(), strip.begin(), strip.end());
    return out;
}

// 64 x 48 grey, 8 bits, uncompressed, in three strips of 16 rows, with
// the given further tags.
inline Bytes GreyTiff(std::vector<std::pair<std::uint16_t, std::uint32_t>> further = {}) {
    ZavorPlatform::DecodedImage noise = NoisePicture(ZavorPlatform::ImagePixelFormat::Indexed8);
    std::vector<Bytes> strips;
    for (long at = 0; at < 64 * 48; at += 64 * 16)
        strips.emplace_back(noise.pixels.begin() + at, noise.pixels.begin() + at + 64 * 16);
    further.insert(further.end(), {{256, 64}, {257, 48}, {258, 8}, {259, 1}, {262, 1}, {277, 1}, {278, 16}});
    return DirectoryFirstTiff(further, strips);
}

// 64 x 48 black and white in CCITT Group 4, in one strip taken from our
// encoder and cut to `length` bytes when asked.
inline Bytes BilevelTiff(std::size_t length = SIZE_MAX) {
    Bytes encoded = ZavorPlatform::EncodeTiff(NoisePicture(ZavorPlatform::ImagePixelFormat::Indexed1));
    std::size_t offset = TiffValue(encoded, 273);
    length = std::min<std::size_t>(length, TiffValue(encoded, 279));
    Bytes strip(encoded.begin() + static_cast<long>(offset), encoded.begin() + static_cast<long>(offset + length));
    return DirectoryFirstTiff(
        {{256, 64}, {257, 48}, {258, 1}, {259, 4}, {262, TiffValue(encoded, 262)}, {277, 1}, {278, 48}}, {strip});
}

inline Bytes Jpeg(ZavorPlatform::JpegCoding coding = ZavorPlatform::JpegCoding::Baseline) {
    return ZavorPlatform::EncodeJpeg(NoisePicture(ZavorPlatform::ImagePixelFormat::Rgb24), 90, coding);
}

}  // namespace PictureParts

// One intact picture of each kind and coding.
inline std::vector<NamedPicture> ValidPictures() {
    using namespace PictureParts;
    using ZavorPlatform::ImagePixelFormat;
    // As many writers leave them: two stray bytes before the end marker.
    Bytes strayBytes = Jpeg();
    strayBytes.insert(strayBytes.end() - 2, {0x00, 0x00});
    return {
        {"JPEG", ".jpg", Jpeg()},
        {"JPEG with stray bytes before its end", ".jpg", strayBytes},
        {"progressive JPEG", ".jpg", Jpeg(ZavorPlatform::JpegCoding::Progressive)},
        {"arithmetic-coded JPEG", ".jpg", Jpeg(ZavorPlatform::JpegCoding::Arithmetic)},
        {"PNG", ".png", ZavorPlatform::EncodePng(NoisePicture(ImagePixelFormat::Rgb24))},
        {"GIF", ".gif", ZavorPlatform::EncodeGif(NoisePicture(ImagePixelFormat::Indexed8))},
        {"colour TIFF", ".tif", ZavorPlatform::EncodeTiff(NoisePicture(ImagePixelFormat::Rgb24))},
        {"grey TIFF", ".tif", GreyTiff()},
        // libtiff warns about the tag it does not know, and reads on.
        {"grey TIFF with a private tag", ".tif", GreyTiff({{65000, 7}})},
        {"bilevel TIFF", ".tif", BilevelTiff()},
        {"BMP", ".bmp", ZavorPlatform::EncodeBmp(NoisePicture(ImagePixelFormat::Rgb24))},
    };
}

// Each of them damaged so that rows are missing; none may be placed.
inline std::vector<NamedPicture> DamagedPictures() {
    using namespace PictureParts;
    using ZavorPlatform::ImagePixelFormat;
    const Bytes jpeg = Jpeg(), progressive = Jpeg(ZavorPlatform::JpegCoding::Progressive),
                arithmetic = Jpeg(ZavorPlatform::JpegCoding::Arithmetic);
    const std::size_t scan = JpegScanStart(jpeg), halfScan = (scan + jpeg.size()) / 2;
    Bytes endedEarly = Cut(jpeg, halfScan);
    endedEarly.insert(endedEarly.end(), {0xFF, 0xD9});
    const Bytes png = ZavorPlatform::EncodePng(NoisePicture(ImagePixelFormat::Rgb24));
    const auto [idat, idatLength] = PngImageData(png);
    Bytes pngChanged = png;
    pngChanged[idat + idatLength / 2] ^= 0x55;
    const Bytes gif = ZavorPlatform::EncodeGif(NoisePicture(ImagePixelFormat::Indexed8));
    const std::size_t halfRaster = (GifRasterStart(gif) + gif.size()) / 2;
    // Whole sub-blocks up to the middle, then the frame's and the file's end.
    std::size_t block = GifRasterStart(gif);
    while (block < halfRaster) block += gif.at(block) + 1u;
    Bytes gifEndedEarly = Cut(gif, block);
    gifEndedEarly.insert(gifEndedEarly.end(), {0x00, 0x3B});
    const Bytes grey = GreyTiff();
    const Bytes bmp = ZavorPlatform::EncodeBmp(NoisePicture(ImagePixelFormat::Rgb24));
    return {
        {"JPEG cut after its scan header", ".jpg", Cut(jpeg, scan), "JPEG: Premature end of JPEG file"},
        {"JPEG cut halfway through its scan", ".jpg", Cut(jpeg, halfScan), "JPEG: Premature end of JPEG file"},
        {"JPEG whose scan stops at an early end marker", ".jpg", endedEarly,
         "JPEG: Corrupt JPEG data: premature end of data segment"},
        {"progressive JPEG cut", ".jpg", Cut(progressive, (JpegScanStart(progressive) + progressive.size()) / 2),
         "JPEG: Premature end of JPEG file"},
        {"arithmetic-coded JPEG cut", ".jpg", Cut(arithmetic, (JpegScanStart(arithmetic) + arithmetic.size()) / 2),
         "JPEG: Premature end of JPEG file"},
        {"PNG cut inside its image data", ".png", Cut(png, idat + idatLength / 2), "PNG: the file is cut short"},
        {"PNG with a changed byte in its image data", ".png", pngChanged, "PNG: IDAT: CRC error"},
        {"GIF cut in its raster", ".gif", Cut(gif, halfRaster), "GIF: Failed to read from given file"},
        {"GIF whose raster stops early", ".gif", gifEndedEarly, "GIF: Image is defective"},
        {"TIFF cut in its last strip", ".tif", Cut(grey, grey.size() - 64 * 16 / 2), "TIFF: TIFFFillStrip: Read error"},
        {"bilevel TIFF whose coded strip stops early", ".tif", BilevelTiff(TiffValue(BilevelTiff(), 279) / 2),
         "TIFF: Fax4Decode: "},
        {"BMP cut in its rows", ".bmp", Cut(bmp, bmp.size() - 64 * 3 * 24), "BMP: the file is cut short"},
    };
}

// Writes the picture into the test output under a name made of `prefix`
// and its own, and returns the path.
inline std::filesystem::path WriteNamedPicture(const NamedPicture &picture, const std::string &prefix) {
    std::string name = prefix + picture.name + picture.extension;
    std::replace(name.begin(), name.end(), ' ', '_');
    const std::filesystem::path path = OutputPath(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(picture.bytes.data()), static_cast<std::streamsize>(picture.bytes.size()));
    return path;
}

}  // namespace ZavorTest
