// Picture files through the platform decoders: every format written by the
// encoders and read back pixel for pixel, and damaged, cut or oversized
// files ending in the right typed error instead of a crash.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <zlib.h>

#include "platform/image_decoder.h"
#include "platform/image_encoder.h"
#include "support/damaged_pictures.h"
#include "support/image_refusal.h"

using namespace ZavorPlatform;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Picture row y (0 = top) as stored bottom-up.
std::uint8_t *Row(DecodedImage &image, int y) {
    return image.pixels.data() + static_cast<std::size_t>(image.height - 1 - y) * image.Stride();
}

// 5 x 3 pixels, every one a different colour, top-left red.
DecodedImage ColourPicture(ImagePixelFormat format) {
    DecodedImage image = MakeBitmap(5, 3, format);
    image.horizontalResolution = 150;
    image.verticalResolution = 150;
    int step = image.BitsPerPixel() / 8;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            std::uint8_t *p = Row(image, y) + x * step;
            p[0] = static_cast<std::uint8_t>(x * 50);       // blue
            p[1] = static_cast<std::uint8_t>(y * 100);      // green
            p[2] = static_cast<std::uint8_t>(255 - x * 40); // red
            if (step == 4) p[3] = static_cast<std::uint8_t>(x == 0 ? 0 : x == 1 ? 128 : 255);
        }
    return image;
}

// 10 x 2 indexed pixels cycling through a palette of `count` colours whose
// entry 1 is transparent.
DecodedImage IndexedPicture(ImagePixelFormat format, int count) {
    DecodedImage image = MakeBitmap(10, 2, format);
    for (int i = 0; i < count; ++i)
        image.palette.insert(image.palette.end(), {static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(255 - i),
                                                   static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(i == 1 ? 0 : 255)});
    int bits = image.BitsPerPixel();
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 10; ++x) {
            int index = (x + y) % count;
            std::uint8_t *row = Row(image, y);
            if (bits == 8) row[x] = static_cast<std::uint8_t>(index);
            else if (bits == 4) row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
            else row[x / 8] |= static_cast<std::uint8_t>(index << (7 - x % 8));
        }
    return image;
}

// The visible part of each row (padding bytes are the encoders' business).
void ExpectSamePixels(const DecodedImage &actual, const DecodedImage &expected) {
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    ASSERT_EQ(actual.pixelFormat, expected.pixelFormat);
    std::size_t used = (static_cast<std::size_t>(expected.width) * expected.BitsPerPixel() + 7) / 8;
    for (int s = 0; s < expected.height; ++s)
        EXPECT_EQ(0, std::memcmp(actual.pixels.data() + s * actual.Stride(), expected.pixels.data() + s * expected.Stride(), used))
            << "stored row " << s;
}

}  // namespace

TEST(ImageRoundTrip, ColourPicturesKeepEveryPixel) {
    struct Case {
        const char *name;
        ImagePixelFormat format;
        Bytes (*encode)(const DecodedImage &);
        ImageFileFormat fileFormat;
    };
    const Case cases[] = {
        {"BMP 24", ImagePixelFormat::Rgb24, EncodeBmp, ImageFileFormat::Bmp},
        {"PNG 24", ImagePixelFormat::Rgb24, EncodePng, ImageFileFormat::Png},
        {"PNG 32 alpha", ImagePixelFormat::Argb32, EncodePng, ImageFileFormat::Png},
        {"TIFF 24", ImagePixelFormat::Rgb24, EncodeTiff, ImageFileFormat::Tiff},
        // Unassociated alpha: colour as stored, not multiplied by the alpha.
        {"TIFF 32 alpha", ImagePixelFormat::Argb32, EncodeTiff, ImageFileFormat::Tiff},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DecodedImage original = ColourPicture(c.format);
        DecodedImage decoded = DecodeImage(c.encode(original));
        EXPECT_EQ(decoded.format, c.fileFormat);
        EXPECT_NEAR(decoded.horizontalResolution, 150, 0.05);
        if (c.fileFormat == ImageFileFormat::Tiff && c.format == ImagePixelFormat::Rgb24) {
            // libtiff hands every colour picture over with alpha.
            ASSERT_EQ(decoded.pixelFormat, ImagePixelFormat::Argb32);
            for (int x = 0; x < 5; ++x) EXPECT_EQ(0, std::memcmp(Row(decoded, 2) + x * 4, Row(original, 2) + x * 3, 3));
            continue;
        }
        ExpectSamePixels(decoded, original);
    }
}

TEST(ImageRoundTrip, IndexedPicturesKeepIndicesAndPaletteAlpha) {
    struct Case {
        ImagePixelFormat format;
        int count;
        Bytes (*encode)(const DecodedImage &);
    };
    const Case cases[] = {
        {ImagePixelFormat::Indexed8, 200, EncodePng}, {ImagePixelFormat::Indexed4, 16, EncodePng},
        {ImagePixelFormat::Indexed1, 2, EncodePng},   {ImagePixelFormat::Indexed8, 256, EncodeGif},
        {ImagePixelFormat::Indexed4, 16, EncodeGif},  {ImagePixelFormat::Indexed1, 2, EncodeGif},
        {ImagePixelFormat::Indexed4, 16, EncodeBmp},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.format) << " with " << c.count);
        DecodedImage original = IndexedPicture(c.format, c.count);
        DecodedImage decoded = DecodeImage(c.encode(original));
        ExpectSamePixels(decoded, original);
        ASSERT_EQ(decoded.PaletteCount(), c.encode == EncodeGif ? 1 << original.BitsPerPixel() : c.count);
        // Bitmaps have no palette alpha; PNG and GIF keep entry 1 transparent.
        bool keepsAlpha = c.encode != EncodeBmp;
        EXPECT_EQ(decoded.palette[7], keepsAlpha ? 0 : 255);
        EXPECT_EQ(0, std::memcmp(decoded.palette.data(), original.palette.data(), 3));
    }
}

TEST(ImageRoundTrip, BilevelTiffStaysOneBitWithItsPolarity) {
    DecodedImage original = IndexedPicture(ImagePixelFormat::Indexed1, 2);
    for (bool whiteFirst : {false, true}) {
        original.palette = whiteFirst ? Bytes{255, 255, 255, 255, 0, 0, 0, 255} : Bytes{0, 0, 0, 255, 255, 255, 255, 255};
        DecodedImage decoded = DecodeImage(EncodeTiff(original));
        ExpectSamePixels(decoded, original);
        EXPECT_EQ(decoded.palette, original.palette);
    }
}

TEST(ImageDecoder, JpegHeaderGivesSizeColourSpaceResolutionAndKeepsTheBytes) {
    DecodedImage grey = IndexedPicture(ImagePixelFormat::Indexed8, 256);
    grey.horizontalResolution = 300;
    grey.verticalResolution = 200;
    const struct {
        DecodedImage picture;
        JpegColorSpace space;
    } cases[] = {{grey, JpegColorSpace::Gray}, {ColourPicture(ImagePixelFormat::Rgb24), JpegColorSpace::Rgb}};
    for (const auto &c : cases) {
        Bytes file = EncodeJpeg(c.picture);
        DecodedImage decoded = DecodeImage(file);
        EXPECT_EQ(decoded.format, ImageFileFormat::Jpeg);
        EXPECT_EQ(decoded.width, c.picture.width);
        EXPECT_EQ(decoded.height, c.picture.height);
        EXPECT_EQ(decoded.jpegColorSpace, c.space);
        EXPECT_EQ(decoded.horizontalResolution, c.picture.horizontalResolution);
        EXPECT_EQ(decoded.verticalResolution, c.picture.verticalResolution);
        EXPECT_EQ(decoded.jpegData, file);
        EXPECT_TRUE(decoded.pixels.empty());
    }
}

// PDF readers need decode only Huffman-coded frames. libjpeg reads no
// lossless or hierarchical ones; our own readers take lossless frames of
// either coding (here a DCT scan behind them, whose spectral start reads as
// predictor 0) and hierarchical files (here differential frames with no
// hierarchy before them, and a hierarchy with no frame). The frame marker
// is found behind other segments and fill bytes.
TEST(ImageDecoder, JpegCodingsThatCannotBePlacedAreRefusedByName) {
    Bytes jpeg = EncodeJpeg(ColourPicture(ImagePixelFormat::Rgb24));
    std::size_t frame = 2;
    while (jpeg.at(frame + 1) != 0xC0) frame += 2 + static_cast<std::size_t>(jpeg[frame + 2] << 8 | jpeg[frame + 3]);
    auto marked = [&](std::uint8_t marker, bool fill = false) {
        Bytes bytes = jpeg;
        bytes[frame + 1] = marker;
        if (fill) bytes.insert(bytes.begin() + static_cast<long>(frame), 0xFF);
        return bytes;
    };
    const char *const lossless = "JPEG: the predictor 0 is invalid";
    const char *const noHierarchy = "JPEG: a frame comes before the hierarchy header";
    const struct {
        const char *name;
        Bytes bytes;
        ImageError::Kind kind;
        const char *message;
    } cases[] = {
        {"SOF3", marked(0xC3), ImageError::Kind::Damaged, lossless},
        {"SOF11 after a fill byte", marked(0xCB, true), ImageError::Kind::Damaged, lossless},
        {"SOF5", marked(0xC5), ImageError::Kind::Damaged, noHierarchy},
        {"SOF7", marked(0xC7), ImageError::Kind::Damaged, noHierarchy},
        {"SOF14", marked(0xCE), ImageError::Kind::Damaged, noHierarchy},
        {"DHP", marked(0xDE), ImageError::Kind::Damaged, "JPEG: a scan comes before the frame"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ZavorTest::ExpectRefused(c.bytes, c.kind, c.message);
    }
}

TEST(ImageDecoder, PngGreyBecomesARampWithItsTransparentLevel) {
    // Our encoder writes palettes only, so the file is put together here:
    // 2 x 1 grey, 8 bits, levels 0 and 200, with a tRNS key of 200.
    auto chunk = [](Bytes &out, const char *type, const Bytes &data) {
        for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<std::uint8_t>(data.size() >> shift));
        Bytes body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        out.insert(out.end(), body.begin(), body.end());
        uLong crc = crc32(0, body.data(), static_cast<uInt>(body.size()));
        for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<std::uint8_t>(crc >> shift));
    };
    Bytes raw{0, 0, 200};
    Bytes zipped(64);
    uLongf size = zipped.size();
    compress(zipped.data(), &size, raw.data(), raw.size());
    zipped.resize(size);
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    chunk(png, "IHDR", {0, 0, 0, 2, 0, 0, 0, 1, 8, 0, 0, 0, 0});
    chunk(png, "tRNS", {0, 200});
    chunk(png, "IDAT", zipped);
    chunk(png, "IEND", {});
    DecodedImage grey = DecodeImage(png);
    EXPECT_EQ(grey.pixelFormat, ImagePixelFormat::Indexed8);
    ASSERT_EQ(grey.PaletteCount(), 256);
    EXPECT_EQ(grey.palette[200 * 4 + 2], 200);
    EXPECT_EQ(grey.palette[200 * 4 + 3], 0);
    EXPECT_EQ(grey.palette[199 * 4 + 3], 255);
    EXPECT_EQ(grey.pixels[0], 0);
    EXPECT_EQ(grey.pixels[1], 200);
}

TEST(ImageDecoder, TopDownBitmapIsStoredBottomUp) {
    DecodedImage original = ColourPicture(ImagePixelFormat::Rgb24);
    Bytes file = EncodeBmp(original);
    // Negative height, rows reversed: the same picture.
    std::int32_t height = -3;
    std::memcpy(&file[22], &height, 4);
    std::size_t stride = original.Stride(), start = file.size() - 3 * stride;
    Bytes rows(file.begin() + static_cast<long>(start), file.end());
    for (int s = 0; s < 3; ++s) std::memcpy(&file[start + s * stride], &rows[(2 - s) * stride], stride);
    ExpectSamePixels(DecodeImage(file), original);
}

TEST(ImageDecoder, HostileFilesEndInTypedErrors) {
    Bytes bmp = EncodeBmp(ColourPicture(ImagePixelFormat::Rgb24));
    Bytes png = EncodePng(ColourPicture(ImagePixelFormat::Rgb24));
    Bytes gif = EncodeGif(IndexedPicture(ImagePixelFormat::Indexed8, 256));
    Bytes tiff = EncodeTiff(ColourPicture(ImagePixelFormat::Rgb24));
    Bytes jpeg = EncodeJpeg(ColourPicture(ImagePixelFormat::Rgb24));
    auto patched = [](Bytes bytes, std::size_t at, Bytes with) {
        std::copy(with.begin(), with.end(), bytes.begin() + static_cast<long>(at));
        return bytes;
    };
    auto cut = [](const Bytes &bytes, std::size_t size) { return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(size)); };
    const struct {
        const char *name;
        Bytes bytes;
        ImageError::Kind kind;
        const char *message;  // null: the library's own words
    } cases[] = {
        {"empty", {}, ImageError::Kind::UnknownFormat, "unknown image format"},
        {"text", {'h', 'e', 'l', 'l', 'o'}, ImageError::Kind::UnknownFormat, "unknown image format"},
        {"BMP header only", cut(bmp, 30), ImageError::Kind::Damaged, "BMP: the file is cut short"},
        {"BMP rows cut", cut(bmp, bmp.size() - 1), ImageError::Kind::Damaged, "BMP: the file is cut short"},
        {"BMP 100000 x 100000", patched(bmp, 18, {0xA0, 0x86, 1, 0, 0xA0, 0x86, 1, 0}), ImageError::Kind::TooLarge,
         "BMP: the picture is too large"},
        {"BMP zero width", patched(bmp, 18, {0, 0, 0, 0}), ImageError::Kind::TooLarge, "BMP: the picture has no pixels"},
        {"BMP huge pixel offset", patched(bmp, 10, {0xFF, 0xFF, 0xFF, 0xFF}), ImageError::Kind::Damaged,
         "BMP: the file is cut short"},
        {"BMP run-length of 24 bits", patched(bmp, 30, {1}), ImageError::Kind::Damaged,
         "BMP: the compression does not fit the bit count"},
        {"BMP JPEG inside", patched(bmp, 30, {4}), ImageError::Kind::Unsupported, "BMP: unsupported compression"},
        {"BMP 2 bits", patched(bmp, 28, {2}), ImageError::Kind::Unsupported, "BMP: unsupported bit count"},
        {"PNG cut", cut(png, png.size() / 2), ImageError::Kind::Damaged, nullptr},
        {"PNG bad CRC", patched(png, 29, {0x00, 0x00}), ImageError::Kind::Damaged, nullptr},
        {"GIF cut", cut(gif, 40), ImageError::Kind::Damaged, nullptr},
        {"GIF 65535 x 65535", patched(gif, 6, {0xFF, 0xFF, 0xFF, 0xFF}), ImageError::Kind::TooLarge,
         "GIF: the picture is too large"},
        {"TIFF cut", cut(tiff, 12), ImageError::Kind::Damaged, nullptr},
        {"JPEG cut", cut(jpeg, 30), ImageError::Kind::Damaged, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ZavorTest::ExpectRefused(c.bytes, c.kind, c.message);
    }
}

TEST(ImageDecoder, PicturesWithRowsMissingAreRefused) {
    for (const ZavorTest::NamedPicture &picture : ZavorTest::DamagedPictures()) {
        SCOPED_TRACE(picture.name);
        try {
            DecodeImage(picture.bytes);
            ADD_FAILURE() << "decoded";
        } catch (const ImageError &e) {
            EXPECT_EQ(e.GetKind(), ImageError::Kind::Damaged) << e.what();
            EXPECT_TRUE(std::string_view(e.what()).starts_with(picture.reason)) << e.what();
        }
    }
    for (const ZavorTest::NamedPicture &picture : ZavorTest::ValidPictures()) {
        SCOPED_TRACE(picture.name);
        DecodedImage decoded = DecodeImage(picture.bytes);
        EXPECT_EQ(decoded.width, 64);
        EXPECT_EQ(decoded.height, 48);
    }
}

// A file cut anywhere short of its last byte holds fewer rows than its
// header promises. (A GIF's closing byte follows the frame and is not
// needed; the TIFF files have their directory first, because one written
// last may lose no more than its resolution to a cut.)
TEST(ImageDecoder, EveryCutOfEveryFormatIsRefused) {
    const struct {
        const char *name;
        Bytes file;
        std::size_t unneeded;  // bytes at the end that hold no picture data
    } files[] = {
        {"BMP", EncodeBmp(ColourPicture(ImagePixelFormat::Rgb24)), 0},
        {"PNG", EncodePng(IndexedPicture(ImagePixelFormat::Indexed4, 16)), 0},
        {"GIF", EncodeGif(IndexedPicture(ImagePixelFormat::Indexed8, 256)), 1},
        {"grey TIFF", ZavorTest::PictureParts::GreyTiff(), 0},
        {"bilevel TIFF", ZavorTest::PictureParts::BilevelTiff(), 0},
        {"JPEG", EncodeJpeg(ColourPicture(ImagePixelFormat::Rgb24)), 0},
        {"progressive JPEG", EncodeJpeg(ColourPicture(ImagePixelFormat::Rgb24), 90, JpegCoding::Progressive), 0},
        {"arithmetic-coded JPEG", EncodeJpeg(ColourPicture(ImagePixelFormat::Rgb24), 90, JpegCoding::Arithmetic), 0},
    };
    for (const auto &f : files) {
        int accepted = 0;
        std::string first;
        for (std::size_t size = 0; size + f.unneeded < f.file.size(); ++size) {
            try {
                DecodeImage(std::span(f.file.data(), size));
                if (accepted++ == 0) first = std::to_string(size);
            } catch (const ImageError &) {
            }
        }
        EXPECT_EQ(accepted, 0) << f.name << " of " << f.file.size() << " bytes, first cut accepted at " << first;
    }
    // Group 4 data that stops early, its length as the directory says, is
    // mostly only warned about. Its last three bytes close the data and
    // hold no rows.
    const std::size_t coded = ZavorTest::PictureParts::TiffValue(ZavorTest::PictureParts::BilevelTiff(), 279);
    std::vector<std::size_t> accepted;
    for (std::size_t length = 0; length + 3 < coded; ++length) {
        try {
            DecodeImage(ZavorTest::PictureParts::BilevelTiff(length));
            accepted.push_back(length);
        } catch (const ImageError &) {
        }
    }
    EXPECT_EQ(accepted, std::vector<std::size_t>{}) << "of " << coded << " coded bytes";
}

TEST(ImageDecoder, FileThatCannotBeOpenedIsNoImageError) {
    EXPECT_THROW(DecodeImageFile("/nonexistent/picture.png"), std::runtime_error);
    EXPECT_THROW(MakeBitmap(20000, 20000, ImagePixelFormat::Rgb24), ImageError);
}
