// Bitmaps in the variants that other programs write (run-length coded rows,
// bit fields of 16 and 32 bits) and icons, each decoded as ImageMagick
// decodes the same file, and the damaged ones refused with typed errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/image_decoder.h"
#include "support/bitmap_files.h"
#include "support/image_refusal.h"
#include "support/platform_support.h"

using namespace ZavorPlatform;
using namespace ZavorTest::BitmapFiles;

namespace {

// The palette indices of the rows, top row first, one hex digit each.
std::vector<std::string> IndexRows(const DecodedImage &image) {
    std::vector<std::string> rows;
    const int bits = image.BitsPerPixel();
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t *row = image.pixels.data() + static_cast<std::size_t>(image.height - 1 - y) * image.Stride();
        std::string text;
        for (int x = 0; x < image.width; ++x)
            text += "0123456789ABCDEF"[bits == 8 ? row[x] % 16 : x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 15];
        rows.push_back(text);
    }
    return rows;
}

}  // namespace

TEST(BitmapVariants, EachDecodesAsImageMagickDecodesIt) {
    ZAVOR_SKIP_ON_WINDOWS("runs ImageMagick");
    for (const SamplePicture &picture : SamplePictures()) {
        SCOPED_TRACE(picture.name);
        const std::filesystem::path path = ZavorTest::OutputPath("variant_" + picture.name + picture.extension);
        WriteFile(path, picture.bytes);
        DecodedImage image = DecodeImage(picture.bytes);
        EXPECT_EQ(image.format, picture.extension == ".ico" ? ImageFileFormat::Icon : ImageFileFormat::Bmp);
        ASSERT_EQ(image.width, picture.width);
        ASSERT_EQ(image.height, picture.height);
        EXPECT_EQ(image.pixelFormat == ImagePixelFormat::Argb32, picture.transparency != Transparency::None);
        EXPECT_LE(MeanDifference(Rgba(image), ImageMagickRgba(path, picture.frame, picture.width, picture.height)),
                  1.0);
    }
}

// ImageMagick complains about pixels that no run reaches; our reading of
// the escapes is pinned down index by index.
TEST(BitmapVariants, RunLengthEscapesPlaceEveryIndex) {
    const struct {
        const char *name;
        Dib dib;
        std::vector<std::string> rows;
    } cases[] = {
        {"8 bits",
         {7, 5, 8, 1, 40, {}, Palette(10), RunLengthSamples()},
         {"1234660", "9876543", "0055000", "0000000", "1112340"}},
        {"4 bits",
         {9, 4, 4, 2, 40, {}, Palette(16), RunLength4Samples()},
         {"CDCDCDCDC", "000000000", "789000AB0", "121213456"}},
        // A run longer than the row stops at its end, as a run past the
        // last row stops at the picture's.
        {"8 bits, overlong run", {3, 2, 8, 1, 40, {}, Palette(4), {200, 1, 0, 0, 200, 2, 0, 0, 9, 3}}, {"222", "111"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DecodedImage image = DecodeImage(BmpFile(c.dib));
        EXPECT_EQ(IndexRows(image), c.rows);
        EXPECT_EQ(image.palette.size(), c.dib.palette.size());
    }
}

TEST(BitmapVariants, ImageMagicksRunLengthFileIsRunLengthCoded) {
    ZAVOR_SKIP_ON_WINDOWS("runs ImageMagick");
    const SamplePicture picture = SamplePictures().front();
    ASSERT_GT(picture.bytes.size(), 34u);
    EXPECT_EQ(picture.bytes[28], 8);  // bits per pixel
    EXPECT_EQ(picture.bytes[30], 1);  // BI_RLE8
}

TEST(BitmapVariants, DamagedVariantsEndInTypedErrors) {
    const Bytes runs = BmpFile({7, 5, 8, 1, 40, {}, Palette(10), RunLengthSamples()});
    const Bytes icon = IconWithBitmaps().bytes;
    const std::size_t secondPicture = icon[34] | icon[35] << 8;  // the largest one's offset
    auto cut = [](const Bytes &bytes, std::size_t size) {
        return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(size));
    };
    const Bytes oneBitmap = IconFile(
        {{8, 8, 8, Dib{8, 16, 8, 0, 40, {}, Palette(2), Rows(8, 8, 8, [](int, int) { return 1; })}.Serialized()}});
    const struct {
        const char *name;
        Bytes bytes;
        ImageError::Kind kind;
        const char *message;
    } cases[] = {
        {"runs stop before the last row", cut(runs, runs.size() - 12), ImageError::Kind::Damaged,
         "BMP: the file is cut short"},
        {"a move cut short", cut(runs, runs.size() - 28), ImageError::Kind::Damaged, "BMP: the file is cut short"},
        {"run-length of 4 bits on 8-bit rows", BmpFile({7, 5, 8, 2, 40, {}, Palette(10), RunLengthSamples()}),
         ImageError::Kind::Damaged, "BMP: the compression does not fit the bit count"},
        {"bit fields of 24 bits", BmpFile({2, 2, 24, 3, 40, {0xFF, 0xFF00, 0xFF0000}, {}, Bytes(16)}),
         ImageError::Kind::Damaged, "BMP: the compression does not fit the bit count"},
        {"gapped mask", BmpFile({2, 2, 16, 3, 40, {0xF00F, 0x0F0, 0xF00}, {}, Bytes(8)}), ImageError::Kind::Unsupported,
         "BMP: unsupported bit fields"},
        {"mask beyond 16 bits", BmpFile({2, 2, 16, 3, 40, {0x1F0000, 0x7E0, 0x1F}, {}, Bytes(8)}),
         ImageError::Kind::Unsupported, "BMP: unsupported bit fields"},
        {"no blue mask", BmpFile({2, 2, 32, 3, 40, {0xFF0000, 0xFF00, 0}, {}, Bytes(16)}),
         ImageError::Kind::Unsupported, "BMP: unsupported bit fields"},
        {"icon without pictures", {0, 0, 1, 0, 0, 0}, ImageError::Kind::Damaged, "ICO: the icon holds no picture"},
        {"icon directory cut", cut(icon, 30), ImageError::Kind::Damaged, "ICO: the file is cut short"},
        {"icon picture cut", cut(icon, secondPicture + 100), ImageError::Kind::Damaged, "ICO: the file is cut short"},
        {"icon bitmap without its mask", oneBitmap, ImageError::Kind::Damaged, "ICO: the file is cut short"},
        {"icon pixels outside the palette",
         IconFile({{8, 8, 8,
                    Dib{8, 16, 8, 0, 40, {}, Palette(2), Rows(8, 16, 8, [](int, int) { return 3; })}.Serialized()}}),
         ImageError::Kind::Damaged, "ICO: a pixel lies outside the palette"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ZavorTest::ExpectRefused(c.bytes, c.kind, c.message);
    }
}
