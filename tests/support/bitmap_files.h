// Windows bitmaps and icons written byte by byte, in the variants that our
// own encoder never writes (run-length coded rows, bit fields, icons with
// several pictures), and the yardstick they are measured with: the same
// file decoded by ImageMagick (/usr/bin/convert, from scripts/packages.txt).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/image_decoder.h"
#include "platform/image_encoder.h"
#include "support/test_output.h"

namespace ZavorTest::BitmapFiles {

using Bytes = std::vector<std::uint8_t>;

inline void Put(Bytes &out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> 8 * i));
}

// A bitmap without its file header, as an icon holds it: the information
// header (40 bytes, or larger with the masks inside), masks after a 40-byte
// header, palette (blue, green, red, 0 per entry) and the rows as stored.
struct Dib {
    int width = 0;
    int height = 0;  // as the header states it
    int bits = 8;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 40;
    std::vector<std::uint32_t> masks;
    Bytes palette;
    Bytes rows;

    Bytes Serialized() const {
        Bytes out;
        Put(out, headerSize, 4);
        Put(out, static_cast<std::uint32_t>(width), 4);
        Put(out, static_cast<std::uint32_t>(height), 4);
        Put(out, 1, 2);
        Put(out, static_cast<std::uint32_t>(bits), 2);
        Put(out, compression, 4);
        Put(out, static_cast<std::uint32_t>(rows.size()), 4);
        Put(out, 2835, 4);  // 72 dpi
        Put(out, 2835, 4);
        Put(out, static_cast<std::uint32_t>(palette.size() / 4), 4);
        Put(out, 0, 4);
        for (std::uint32_t mask : masks) Put(out, mask, 4);
        out.resize(std::max<std::size_t>(out.size(), headerSize), 0);
        out.insert(out.end(), palette.begin(), palette.end());
        out.insert(out.end(), rows.begin(), rows.end());
        return out;
    }
};

// Rows of `bits` per pixel holding value(x, y) (y = 0 the top row), little
// endian within a pixel of 16 bits or more, each row padded to four bytes;
// bottom row first unless `topDown`.
template <typename Value>
Bytes Rows(int width, int height, int bits, Value value, bool topDown = false) {
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    Bytes out(stride * height, 0);
    for (int line = 0; line < height; ++line) {
        const int y = topDown ? line : height - 1 - line;
        std::uint8_t *row = &out[line * stride];
        for (int x = 0; x < width; ++x) {
            const auto v = static_cast<std::uint32_t>(value(x, y));
            if (bits < 8) {
                const int shift = 8 - bits - (x * bits) % 8;
                row[x * bits / 8] |= static_cast<std::uint8_t>(v << shift);
            } else {
                for (int i = 0; i < bits / 8; ++i) row[x * bits / 8 + i] = static_cast<std::uint8_t>(v >> 8 * i);
            }
        }
    }
    return out;
}

inline Bytes BmpFile(const Dib &dib) {
    Bytes info = dib.Serialized();
    const auto offset = static_cast<std::uint32_t>(14 + info.size() - dib.rows.size());
    Bytes out{'B', 'M'};
    Put(out, static_cast<std::uint32_t>(14 + info.size()), 4);
    Put(out, 0, 4);
    Put(out, offset, 4);
    out.insert(out.end(), info.begin(), info.end());
    return out;
}

// `count` palette entries of distinct colours.
inline Bytes Palette(int count) {
    Bytes out;
    for (int i = 0; i < count; ++i)
        out.insert(out.end(), {static_cast<std::uint8_t>(i * 37 % 256), static_cast<std::uint8_t>(255 - i * 11 % 256),
                               static_cast<std::uint8_t>(i * 73 % 256), 0});
    return out;
}

struct IconPicture {
    int width = 0, height = 0, bits = 0;  // as the directory states them
    Bytes data;                           // a PNG file or a Dib with its mask rows
};

inline Bytes IconFile(const std::vector<IconPicture> &pictures) {
    Bytes out;
    Put(out, 0, 2);
    Put(out, 1, 2);
    Put(out, static_cast<std::uint32_t>(pictures.size()), 2);
    auto offset = static_cast<std::uint32_t>(6 + 16 * pictures.size());
    for (const IconPicture &picture : pictures) {
        out.push_back(static_cast<std::uint8_t>(picture.width % 256));
        out.push_back(static_cast<std::uint8_t>(picture.height % 256));
        out.push_back(picture.bits <= 8 ? static_cast<std::uint8_t>((1 << picture.bits) % 256) : 0);
        out.push_back(0);
        Put(out, 1, 2);
        Put(out, static_cast<std::uint32_t>(picture.bits), 2);
        Put(out, static_cast<std::uint32_t>(picture.data.size()), 4);
        Put(out, offset, 4);
        offset += static_cast<std::uint32_t>(picture.data.size());
    }
    for (const IconPicture &picture : pictures) out.insert(out.end(), picture.data.begin(), picture.data.end());
    return out;
}

inline void WriteFile(const std::filesystem::path &path, const Bytes &bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadFile(const std::filesystem::path &path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Red, green, blue, alpha per pixel, top row first.
inline Bytes Rgba(const ZavorPlatform::DecodedImage &image) {
    Bytes out;
    const int bits = image.BitsPerPixel();
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t *row = image.pixels.data() + static_cast<std::size_t>(image.height - 1 - y) * image.Stride();
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t *bgra;
            std::uint8_t opaque[4];
            if (bits >= 24) {
                bgra = row + x * (bits / 8);
                if (image.pixelFormat != ZavorPlatform::ImagePixelFormat::Argb32) {
                    std::copy(bgra, bgra + 3, opaque);
                    opaque[3] = 255;
                    bgra = opaque;
                }
            } else {
                int index = bits == 8   ? row[x]
                            : bits == 4 ? (x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 15)
                                        : row[x / 8] >> (7 - x % 8) & 1;
                bgra = &image.palette.at(static_cast<std::size_t>(index) * 4);
            }
            out.insert(out.end(), {bgra[2], bgra[1], bgra[0], bgra[3]});
        }
    }
    return out;
}

// ImageMagick's reading of picture `frame` of a file, as Rgba() gives ours.
// Its complaints about pixels that no run reaches leave the pixels decoded,
// so only the size of the answer counts.
inline Bytes ImageMagickRgba(const std::filesystem::path &file, int frame, int width, int height) {
    const std::filesystem::path raw = file.string() + "." + std::to_string(getpid()) + ".rgba";
    std::filesystem::remove(raw);
    RunCommand("/usr/bin/convert '" + file.string() + "[" + std::to_string(frame) +
               "]' -depth 8 'rgba:" + raw.string() + "' 2>/dev/null");
    Bytes pixels = ReadFile(raw);
    EXPECT_EQ(pixels.size(), static_cast<std::size_t>(width) * height * 4) << "ImageMagick could not read " << file;
    return pixels;
}

// The mean difference over all samples; `channels` picks every sample of
// each pixel's four (4) or only red, green and blue (3).
inline double MeanDifference(const Bytes &a, const Bytes &b, int channels = 4) {
    if (a.size() != b.size() || a.empty()) return 1e9;
    double sum = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (static_cast<int>(i % 4) >= channels) continue;
        sum += std::abs(int{a[i]} - int{b[i]});
        ++count;
    }
    return sum / static_cast<double>(count);
}

enum class Transparency { None, OnOff, Soft };

struct SamplePicture {
    std::string name;
    std::string extension;
    Bytes bytes;
    int frame = 0;  // the picture ImageMagick is to read: the largest of an icon
    int width = 0, height = 0;
    Transparency transparency = Transparency::None;
};

inline std::uint8_t Level(int x, int y, int a, int b, int c) {
    return static_cast<std::uint8_t>((x * a + y * b + c) % 256);
}

inline Bytes RunLengthSamples() {
    // 7 x 5, file rows bottom-up. Row 4 (the top) ends early, with the
    // end of the picture.
    return {3, 1, 0, 3, 2, 3, 4, 0, 0, 0,        // run, odd literal run padded, end of row
            0, 2, 2, 1, 2, 5, 0, 0,              // move 2 right and 1 up, run, end of row
            0, 7, 9, 8, 7, 6, 5, 4, 3, 0, 0, 0,  // row 3: seven literal pixels
            0, 4, 1, 2, 3, 4, 2, 6, 0, 1};       // row 4: literal four, run, end of picture
}

inline Bytes RunLength4Samples() {
    // 9 x 4, odd width: nibble pairs in runs and literal runs.
    return {5, 0x12, 0, 4, 0x34, 0x56, 0, 0,               // row 0: 1 2 1 2 1, then 3 4 5 6
            0, 3, 0x78, 0x90, 0, 2, 3, 0, 2, 0xAB, 0, 0,  // row 1: 7 8 9, move 3 right, A B
            0, 2, 0, 1,                                   // from row 2 one up: row 2 stays empty
            9, 0xCD, 0, 1};                               // row 3: C D C D C D C D C
}

// An icon's bitmap: colour rows, then the AND mask (1: transparent).
template <typename Colour, typename Masked>
Bytes IconBitmap(int size, int bits, Colour colour, Masked masked) {
    Bytes rows = Rows(size, size, bits, colour);
    Bytes mask = Rows(size, size, 1, masked);
    rows.insert(rows.end(), mask.begin(), mask.end());
    return Dib{size, 2 * size, bits, 0, 40, {}, bits <= 8 ? Palette(1 << bits) : Bytes{}, rows}.Serialized();
}

inline Bytes PngOf(int size, bool alpha) {
    using ZavorPlatform::ImagePixelFormat;
    ZavorPlatform::DecodedImage image =
        ZavorPlatform::MakeBitmap(size, size, alpha ? ImagePixelFormat::Argb32 : ImagePixelFormat::Rgb24);
    const int step = alpha ? 4 : 3;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            std::uint8_t *p = image.pixels.data() + static_cast<std::size_t>(size - 1 - y) * image.Stride() + x * step;
            p[0] = Level(x, y, 5, 1, 0);
            p[1] = Level(x, y, 1, 5, 60);
            p[2] = Level(x, y, 3, 3, 120);
            if (alpha) p[3] = static_cast<std::uint8_t>(x * 255 / (size - 1));
        }
    return ZavorPlatform::EncodePng(image);
}

inline SamplePicture IconWithBitmaps() {
    const auto outsideCircle = [](int x, int y) { return (x - 16) * (x - 16) + (y - 16) * (y - 16) > 196; };
    const auto colour = [](int x, int y) { return Level(x, y, 7, 0, 0) | Level(x, y, 0, 7, 0) << 8 | 0x80u << 16; };
    return {"icon_bitmaps",
            ".ico",
            IconFile({{16, 16, 4,
                       IconBitmap(
                           16, 4, [](int x, int y) { return (x + y) % 16; }, [](int x, int) { return x < 4; })},
                      {32, 32, 24, IconBitmap(32, 24, colour, outsideCircle)},
                      {24, 24, 32, PngOf(24, false)}}),
            1,
            32,
            32,
            Transparency::OnOff};
}

inline SamplePicture IconWithLargestPng() {
    const auto none = [](int, int) { return 0; };
    return {"icon_png_largest",
            ".ico",
            IconFile({{16, 16, 8,
                       IconBitmap(
                           16, 8, [](int x, int y) { return x * 16 + y; }, none)},
                      {48, 48, 32, PngOf(48, true)},
                      {32, 32, 32,
                       IconBitmap(
                           32, 32, [](int x, int y) { return 0xFF000000u | x << 16 | y << 3; }, none)}}),
            1,
            48,
            48,
            Transparency::Soft};
}

// Alpha in the fourth bytes: the AND mask's left half is not used.
inline SamplePicture IconWithAlphaBitmap() {
    const auto colour = [](int x, int y) {
        return static_cast<std::uint32_t>(x * 255 / 19) << 24 | Level(x, y, 9, 3, 0) << 16 |
               Level(x, y, 2, 11, 0) << 8 | 200u;
    };
    return {"icon_alpha_bitmap",
            ".ico",
            IconFile({{20, 20, 32, IconBitmap(20, 32, colour, [](int x, int) { return x < 10; })}}),
            0,
            20,
            20,
            Transparency::Soft};
}

// Every variant that the readers are to take, with its size and the
// transparency it carries; all but ImageMagick's own run-length file are
// written here byte by byte.
inline std::vector<SamplePicture> SamplePictures() {
    std::vector<SamplePicture> pictures;
    {
        // ImageMagick's own run-length coding of a palette picture with
        // long runs on top and noise below.
        ZavorPlatform::DecodedImage source =
            ZavorPlatform::MakeBitmap(40, 30, ZavorPlatform::ImagePixelFormat::Indexed8);
        source.palette = Palette(200);
        for (std::size_t i = 3; i < source.palette.size(); i += 4) source.palette[i] = 255;
        std::uint32_t state = 7;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                source.pixels[static_cast<std::size_t>(29 - y) * source.Stride() + x] =
                    static_cast<std::uint8_t>(y < 15 ? x / 8 + y : (state = state * 1103515245 + 12345) >> 24) % 200;
        // Several tests build the samples side by side: the files are each
        // process's own.
        const std::string own = std::to_string(getpid());
        const std::filesystem::path png = OutputPath("rle8_source." + own + ".png"),
                                    bmp = OutputPath("rle8_imagemagick." + own + ".bmp");
        WriteFile(png, ZavorPlatform::EncodePng(source));
        RunCommand("/usr/bin/convert '" + png.string() + "' -type Palette -compress RLE 'BMP3:" + bmp.string() + "'");
        pictures.push_back({"rle8_imagemagick", ".bmp", ReadFile(bmp), 0, 40, 30});
    }
    pictures.push_back(
        {"rle8_escapes", ".bmp", BmpFile({7, 5, 8, 1, 40, {}, Palette(10), RunLengthSamples()}), 0, 7, 5});
    pictures.push_back(
        {"rle4_escapes", ".bmp", BmpFile({9, 4, 4, 2, 40, {}, Palette(16), RunLength4Samples()}), 0, 9, 4});
    const auto rgb565 = [](int x, int y) {
        return (x * 3 + y) % 32 << 11 | (x * 5 + y * 7) % 64 << 5 | (y * 5 + x) % 32;
    };
    const auto rgb555 = [](int x, int y) {
        return (x * 3 + y) % 32 << 10 | (x * 5 + y * 7) % 32 << 5 | (y * 5 + x) % 32;
    };
    pictures.push_back({"bitfields16_565", ".bmp",
                        BmpFile({11, 6, 16, 3, 40, {0xF800, 0x07E0, 0x001F}, {}, Rows(11, 6, 16, rgb565)}), 0, 11, 6});
    pictures.push_back({"rgb16_555", ".bmp", BmpFile({9, 5, 16, 0, 40, {}, {}, Rows(9, 5, 16, rgb555)}), 0, 9, 5});
    pictures.push_back({"bitfields16_555_top_down", ".bmp",
                        BmpFile({9, -5, 16, 3, 40, {0x7C00, 0x03E0, 0x001F}, {}, Rows(9, 5, 16, rgb555, true)}), 0, 9,
                        5});
    const auto bgr = [](int x, int y) {
        return Level(x, y, 30, 7, 1) | Level(x, y, 11, 50, 2) << 8 | Level(x, y, 3, 3, 90) << 16;
    };
    pictures.push_back({"bitfields32_red_low", ".bmp",
                        BmpFile({7, 4, 32, 3, 40, {0xFF, 0xFF00, 0xFF0000}, {}, Rows(7, 4, 32, bgr)}), 0, 7, 4});
    const auto rgba = [](int x, int y) {
        return static_cast<std::uint32_t>(Level(x, y, 40, 40, 0)) | Level(x, y, 30, 7, 1) << 8 |
               Level(x, y, 11, 50, 2) << 16 | static_cast<std::uint32_t>(Level(x, y, 3, 3, 90)) << 24;
    };
    pictures.push_back({"bitfields32_alpha", ".bmp",
                        BmpFile({6, 5, 32, 3, 108, {0xFF00, 0xFF0000, 0xFF000000, 0xFF}, {}, Rows(6, 5, 32, rgba)}), 0,
                        6, 5, Transparency::Soft});
    pictures.push_back(IconWithBitmaps());
    pictures.push_back(IconWithLargestPng());
    pictures.push_back(IconWithAlphaBitmap());
    return pictures;
}

}  // namespace ZavorTest::BitmapFiles
