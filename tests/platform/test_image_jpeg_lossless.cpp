// Lossless JPEG decoded by our own reader: files from dcmtk with every
// predictor, point transforms and 8 to 16 bits, files of our own making for
// the forms dcmtk does not write (a scan per component, restart intervals),
// each compared with its samples exactly; and damaged files, each refused
// with its typed error.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "platform/image_decoder.h"
#include "support/arithmetic_jpeg.h"
#include "support/bitmap_files.h"
#include "support/lossless_jpeg.h"
#include "support/image_refusal.h"
#include "support/libjpeg_reading.h"
#include "support/platform_support.h"

using namespace ZavorPlatform;
using namespace ZavorTest::LosslessJpeg;
using ZavorTest::BitmapFiles::Rgba;

namespace {

using ZavorTest::Cut;
using ZavorTest::FindMarker;
using ZavorTest::Patched;

// A lossless file of our own for what dcmtk does not write: one scan per
// component when `perComponent`, restart markers every `restartRows` rows.
// Predictor 1, and one Huffman table that gives every size category a
// five-bit code (category k is coded as k).
// `markers` go right after SOI.
Bytes OwnLossless(const Samples &s, bool perComponent, int restartRows, const Bytes &markers = {}) {
    Bytes out{0xFF, 0xD8};
    out.insert(out.end(), markers.begin(), markers.end());
    Bytes frame{static_cast<std::uint8_t>(s.bits), static_cast<std::uint8_t>(s.height >> 8),
                static_cast<std::uint8_t>(s.height), static_cast<std::uint8_t>(s.width >> 8),
                static_cast<std::uint8_t>(s.width), static_cast<std::uint8_t>(s.components)};
    for (int c = 0; c < s.components; ++c) frame.insert(frame.end(), {static_cast<std::uint8_t>(c + 1), 0x11, 0});
    Segment(out, 0xC3, frame);
    Bytes table(17, 0);
    table[5] = 17;
    for (int k = 0; k <= 16; ++k) table.push_back(static_cast<std::uint8_t>(k));
    Segment(out, 0xC4, table);
    if (restartRows > 0) {
        const int interval = restartRows * s.width;
        Segment(out, 0xDD, {static_cast<std::uint8_t>(interval >> 8), static_cast<std::uint8_t>(interval)});
    }
    std::vector<std::vector<int>> scans;
    if (perComponent)
        for (int c = 0; c < s.components; ++c) scans.push_back({c});
    else
        scans.emplace_back();
    for (int c = 0; c < s.components && !perComponent; ++c) scans[0].push_back(c);
    for (const std::vector<int> &scan : scans) {
        Bytes header{static_cast<std::uint8_t>(scan.size())};
        for (int c : scan) header.insert(header.end(), {static_cast<std::uint8_t>(c + 1), 0});
        header.insert(header.end(), {1, 0, 0});
        Segment(out, 0xDA, header);
        BitWriter bits(out);
        int restarts = 0, rowsSinceRestart = 0;
        for (int y = 0; y < s.height; ++y, ++rowsSinceRestart) {
            if (restartRows > 0 && y > 0 && y % restartRows == 0) {
                bits.Flush();
                out.insert(out.end(), {0xFF, static_cast<std::uint8_t>(0xD0 + restarts++ % 8)});
                rowsSinceRestart = 0;
            }
            for (int x = 0; x < s.width; ++x)
                for (int c : scan) {
                    int prediction = rowsSinceRestart == 0 ? (x == 0 ? 1 << (s.bits - 1) : s.At(x - 1, y, c))
                                     : x == 0             ? s.At(x, y - 1, c)
                                                          : s.At(x - 1, y, c);
                    int difference = (s.At(x, y, c) - prediction) & 0xFFFF;
                    if (difference >= 32768) difference -= 65536;
                    int size = 0;
                    while (size < 16 && (difference < 0 ? -difference : difference) >= 1 << size) ++size;
                    bits.Put(static_cast<std::uint32_t>(size), 5);
                    if (size > 0 && size < 16)
                        bits.Put(static_cast<std::uint32_t>(difference > 0 ? difference : difference + (1 << size) - 1),
                                 size);
                }
        }
        bits.Flush();
    }
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

void ExpectPicture(const Bytes &file, const Samples &s, int precision, int pointTransform) {
    DecodedImage image = DecodeImage(file);
    EXPECT_EQ(image.format, ImageFileFormat::Jpeg);
    EXPECT_TRUE(image.jpegData.empty());
    EXPECT_EQ(image.pixelFormat, s.components == 1 ? ImagePixelFormat::Indexed8 : ImagePixelFormat::Rgb24);
    ASSERT_EQ(image.width, s.width);
    ASSERT_EQ(image.height, s.height);
    EXPECT_EQ(Rgba(image), ExpectedRgba(s, precision, pointTransform));
}

// Colour samples repeated over the area a subsampled sample covers, so
// that subsampling and upsampling by repetition give them back exactly.
Samples Blocky(Samples s, int across, int down) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            for (int c = 1; c < s.components; ++c)
                s.values[(static_cast<std::size_t>(y) * s.width + x) * s.components + c] =
                    s.At(x / across * across, y / down * down, c);
    return s;
}

}  // namespace

TEST(LosslessJpeg, DcmtkFilesDecodeToTheirSamplesExactly) {
    ZAVOR_SKIP_ON_WINDOWS("runs dcmtk");
    const struct {
        const char *name;
        Samples samples;
        std::string options;
        int precision, pointTransform;
    } cases[] = {
        {"grey 8, predictor 1", Ramps(23, 17, 8, 1), "+e1", 8, 0},
        {"grey 8, predictor 2", Ramps(23, 17, 8, 1), "+el +sv 2", 8, 0},
        {"grey 8, predictor 3", Ramps(23, 17, 8, 1), "+el +sv 3", 8, 0},
        {"grey 8, predictor 4", Ramps(23, 17, 8, 1), "+el +sv 4", 8, 0},
        {"grey 8, predictor 5", Ramps(23, 17, 8, 1), "+el +sv 5", 8, 0},
        {"grey 8, predictor 6", Ramps(23, 17, 8, 1), "+el +sv 6", 8, 0},
        {"grey 8, predictor 7", Ramps(23, 17, 8, 1), "+el +sv 7", 8, 0},
        {"grey 8, point transform 3", Ramps(23, 17, 8, 1), "+el +sv 7 +pt 3", 8, 3},
        {"RGB 8, predictor 1", Ramps(19, 13, 8, 3), "+e1", 8, 0},
        {"RGB 8, predictor 6", Ramps(19, 13, 8, 3), "+el +sv 6", 8, 0},
        {"RGB 8, predictor 7, point transform 2", Ramps(19, 13, 8, 3), "+el +sv 7 +pt 2", 8, 2},
        {"grey 12 as 12", Ramps(31, 11, 12, 1), "+el +pl +sv 5", 12, 0},
        {"grey 12 as 16", Ramps(31, 11, 12, 1), "+el +sv 4", 16, 0},
        {"grey 16, predictor 1", Ramps(31, 11, 16, 1), "+e1", 16, 0},
        {"grey 16, predictor 6", Ramps(31, 11, 16, 1), "+el +sv 6", 16, 0},
        {"grey 16, predictor 7, point transform 4", Ramps(31, 11, 16, 1), "+el +sv 7 +pt 4", 16, 4},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = MadeByDcmtk(c.samples, c.options, "lossless-decoder-" + std::to_string(n++));
        ASSERT_FALSE(file.empty());
        ExpectPicture(file, c.samples, c.precision, c.pointTransform);
    }
}

TEST(LosslessJpeg, ScansPerComponentAndRestartIntervalsDecodeExactly) {
    const struct {
        const char *name;
        Samples samples;
        bool perComponent;
        int restartRows;
    } cases[] = {
        {"grey 16, a restart every 2 rows", Ramps(9, 13, 16, 1), false, 2},
        {"grey 2 bits, a restart every row", Ramps(9, 20, 2, 1), false, 1},
        {"RGB, one scan per component", Ramps(9, 7, 8, 3), true, 0},
        {"RGB 10 bits, a scan per component, a restart every 3 rows", Ramps(9, 28, 10, 3), true, 3},
        {"RGB interleaved, a restart every row (the markers wrap)", Ramps(5, 20, 8, 3), false, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ExpectPicture(OwnLossless(c.samples, c.perComponent, c.restartRows), c.samples, c.samples.bits, 0);
    }
}

// Arithmetic-coded files from our test encoder, which no tool at hand writes.
TEST(LosslessJpeg, ArithmeticCodedFilesDecodeExactly) {
    using ZavorTest::ArithmeticJpeg::LosslessOptions;
    const struct {
        const char *name;
        Samples samples;
        LosslessOptions options;
    } cases[] = {
        {"grey 8, predictor 1", Ramps(23, 17, 8, 1), {.predictor = 1}},
        {"grey 8, predictor 4, a restart every 3 rows", Ramps(23, 17, 8, 1), {.predictor = 4, .restartRows = 3}},
        {"grey 12, predictor 7", Ramps(31, 11, 12, 1), {.predictor = 7}},
        {"grey 16, predictor 5, a restart every row", Ramps(31, 11, 16, 1), {.predictor = 5, .restartRows = 1}},
        {"grey 2, predictor 3", Ramps(9, 20, 2, 1), {.predictor = 3}},
        {"RGB 8, predictor 6, conditioned by DAC", Ramps(19, 13, 8, 3), {.predictor = 6, .lower = 2, .upper = 4}},
        {"RGB 10, a scan per component, predictor 2, restarts", Ramps(19, 13, 10, 3),
         {.predictor = 2, .restartRows = 4, .perComponent = true, .lower = 0, .upper = 3}},
        {"RGB 8, colours 2x2 interleaved, restarts", Blocky(Ramps(23, 17, 8, 3), 2, 2),
         {.predictor = 3, .restartRows = 2, .sampling = {0x22, 0x11, 0x11}}},
        {"RGB 12, colours 2x1, a scan per component", Blocky(Ramps(21, 9, 12, 3), 2, 1),
         {.predictor = 7, .perComponent = true, .lower = 1, .upper = 1, .sampling = {0x21, 0x11, 0x11}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ExpectPicture(ZavorTest::ArithmeticJpeg::ArithmeticLosslessFile(c.samples, c.options), c.samples,
                      c.samples.bits, 0);
    }
}

// Two pixels, read as RGB or as YCbCr (then mid grey and red).
TEST(LosslessJpeg, ThreeComponentsAreYCbCrOnlyWhenAMarkerSaysSo) {
    const Samples samples{2, 1, 8, 3, {128, 128, 128, 76, 85, 255}};
    const Bytes asWritten{128, 128, 128, 255, 76, 85, 255, 255}, converted{128, 128, 128, 255, 254, 0, 0, 255};
    Bytes jfif{0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
    auto adobe = [](std::uint8_t transform) {
        return Bytes{0xFF, 0xEE, 0, 14, 'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, transform};
    };
    auto both = [&](std::uint8_t transform) {
        Bytes b = jfif;
        Bytes a = adobe(transform);
        b.insert(b.end(), a.begin(), a.end());
        return b;
    };
    const struct {
        const char *name;
        Bytes markers;
        const Bytes &expected;
    } cases[] = {
        {"no marker", {}, asWritten},       {"Adobe, transform 0", adobe(0), asWritten},
        {"Adobe, transform 1", adobe(1), converted}, {"JFIF", jfif, converted},
        {"JFIF and Adobe, transform 0", both(0), asWritten},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Rgba(DecodeImage(OwnLossless(samples, false, 0, c.markers))), c.expected);
    }
}

TEST(LosslessJpeg, JfifDensityGivesTheResolution) {
    const Bytes jfif{0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 1, 300 >> 8, 300 & 255, 0, 200, 0, 0};
    DecodedImage image = DecodeImage(OwnLossless(Ramps(3, 2, 8, 1), false, 0, jfif));
    EXPECT_EQ(image.horizontalResolution, 300);
    EXPECT_EQ(image.verticalResolution, 200);
}

// Our bitmaps hold no CMYK, so four components become a baseline JPEG in
// their own colour space; libjpeg gives back the samples within a level or
// two.
TEST(LosslessJpeg, FourComponentsBecomeABaselineJpeg) {
    const Samples samples = Ramps(17, 9, 8, 4);
    const Bytes ycck{0xFF, 0xEE, 0, 14, 'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, 2};
    const struct {
        const char *name;
        Bytes file;
        JpegColorSpace space;
        J_COLOR_SPACE libjpegSpace;
    } cases[] = {
        {"CMYK, interleaved", OwnLossless(samples, false, 0), JpegColorSpace::Cmyk, JCS_CMYK},
        {"CMYK, a scan per component", OwnLossless(samples, true, 3), JpegColorSpace::Cmyk, JCS_CMYK},
        {"YCCK", OwnLossless(samples, false, 0, ycck), JpegColorSpace::Ycck, JCS_YCCK},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DecodedImage image = DecodeImage(c.file);
        EXPECT_EQ(image.jpegColorSpace, c.space);
        EXPECT_TRUE(image.pixels.empty());
        ASSERT_GT(image.jpegData.size(), 4u);
        ZavorTest::LibjpegReading reading(image.jpegData);
        jpeg_decompress_struct &info = reading.info;
        EXPECT_EQ(info.jpeg_color_space, c.libjpegSpace);
        EXPECT_FALSE(info.progressive_mode);
        info.out_color_space = c.libjpegSpace;  // the samples as stored
        jpeg_start_decompress(&info);
        Bytes row(static_cast<std::size_t>(samples.width) * 4);
        int worst = 0;
        for (int y = 0; y < samples.height; ++y) {
            JSAMPROW rows[1] = {row.data()};
            jpeg_read_scanlines(&info, rows, 1);
            for (int x = 0; x < samples.width; ++x)
                for (int k = 0; k < 4; ++k)
                    worst = std::max(worst, std::abs(row[static_cast<std::size_t>(x * 4 + k)] - samples.At(x, y, k)));
        }
        jpeg_finish_decompress(&info);
        EXPECT_LE(worst, 2);
    }
}

TEST(LosslessJpeg, DamagedFilesEndInTypedErrors) {
    const Bytes grey = OwnLossless(Ramps(9, 6, 8, 1), false, 2);
    const Bytes arithmetic = ZavorTest::ArithmeticJpeg::ArithmeticLosslessFile(
        Ramps(9, 6, 8, 1), {.restartRows = 2, .lower = 0, .upper = 1});
    const Bytes rgb = OwnLossless(Ramps(9, 6, 8, 3), true, 0);
    // Offsets in our own files: SOI, then the frame header, then the table.
    const std::size_t precision = 6, height = 7, componentCount = 11, sampling = 13, huffman = 15;
    const std::size_t greyScan = FindMarker(grey, 0xDA), greyHuffman = FindMarker(grey, 0xC4), greyData = greyScan + 10;
    const std::size_t lastScan = FindMarker(rgb, 0xDA, FindMarker(rgb, 0xDA, FindMarker(rgb, 0xDA) + 2) + 2);
    using Kind = ImageError::Kind;
    const ZavorTest::RefusedPicture cases[] = {
        {"cut inside the coded data", Cut(grey, greyData + 3), Kind::Damaged, "JPEG: the coded data ends early"},
        {"cut before the end marker", Cut(grey, grey.size() - 2), Kind::Damaged, "JPEG: the file is cut short"},
        {"arithmetic, cut inside the coded data",
         Cut(arithmetic, (FindMarker(arithmetic, 0xDA) + FindMarker(arithmetic, 0xD0)) / 2 + 5), Kind::Damaged,
         "JPEG: the coded data ends early"},
        {"arithmetic, a restart marker out of turn", Patched(arithmetic, FindMarker(arithmetic, 0xD1) + 1, 0xD2),
         Kind::Damaged, "JPEG: a restart marker is missing"},
        {"arithmetic, 8192 x 8192 samples from a few bytes",
         [&] {
             const std::size_t frame = FindMarker(arithmetic, 0xCB);
             return Patched(Patched(arithmetic, frame + 5, 0x20), frame + 7, 0x20);
         }(),
         Kind::Unsupported, "JPEG: a picture this large from so little arithmetic-coded data is not supported"},
        {"arithmetic, a DAC with L above U", Patched(arithmetic, FindMarker(arithmetic, 0xCB) - 1, 0x12), Kind::Damaged,
         "JPEG: an arithmetic conditioning table is invalid"},
        {"cut inside the frame header", Cut(grey, 8), Kind::Damaged, "JPEG: the file is cut short"},
        {"too many codes of one length", Patched(grey, greyHuffman + 5, 3), Kind::Damaged,
         "JPEG: a Huffman table is invalid"},
        {"more codes than the table holds", Patched(grey, greyHuffman + 20, 200), Kind::Damaged,
         "JPEG: a Huffman table is invalid"},
        {"a code the table lacks", Patched(grey, greyData, 0xF8), Kind::Damaged,
         "JPEG: the coded data holds an invalid Huffman code"},
        {"a scan naming table 1", Patched(grey, greyScan + 6, 0x10), Kind::Damaged,
         "JPEG: a scan uses a Huffman table that is not defined"},
        {"predictor 0", Patched(grey, greyScan + 7, 0), Kind::Damaged, "JPEG: the predictor 0 is invalid"},
        {"predictor 8", Patched(grey, greyScan + 7, 8), Kind::Damaged, "JPEG: the predictor 8 is invalid"},
        {"precision 17", Patched(grey, precision, 17), Kind::Damaged, "JPEG: a sample precision of 17 bits is invalid"},
        {"precision 1", Patched(grey, precision, 1), Kind::Damaged, "JPEG: a sample precision of 1 bits is invalid"},
        {"rows beyond the data", Patched(grey, height, 0x7F), Kind::Damaged, "JPEG: the file is cut short"},
        {"height 0", Patched(Patched(grey, height, 0), height + 1, 0), Kind::TooLarge,
         "JPEG: the picture has no pixels"},
        {"a restart marker out of turn", Patched(grey, FindMarker(grey, 0xD0) + 1, 0xD1), Kind::Damaged,
         "JPEG: a restart marker is missing"},
        {"a restart interval ending inside a row", Patched(grey, FindMarker(grey, 0xDD) + 5, 17), Kind::Unsupported,
         "JPEG: lossless restart intervals that end inside a row are not supported"},
        {"the blue scan missing", [&] { Bytes b = Cut(rgb, lastScan); b.insert(b.end(), {0xFF, 0xD9}); return b; }(),
         Kind::Damaged, "JPEG: a scan is missing"},
        {"two components", Patched(rgb, componentCount, 2), Kind::Unsupported,
         "JPEG: lossless coding with 2 components is not supported"},
        {"five components", Patched(rgb, componentCount, 5), Kind::Damaged, "JPEG: the frame header is invalid"},
        {"sampled 5x1", Patched(rgb, sampling, 0x51), Kind::Damaged, "JPEG: the frame header is invalid"},
        {"a second frame",
         [&] {
             Bytes b = grey;
             b.insert(b.begin() + 2, grey.begin() + 2, grey.begin() + huffman);
             return b;
         }(),
         Kind::Damaged, "JPEG: the file holds more than one frame"},
    };
    ZavorTest::ExpectEachRefused(cases);
}

// Every prefix and every single changed byte of small files decodes or
// fails with an ImageError: nothing is read past the buffer (the sanitizer
// build checks that) and nothing else is thrown.
TEST(LosslessJpeg, CutAndChangedFilesNeverFailOtherwise) {
    for (const Bytes &file :
         {OwnLossless(Ramps(7, 5, 12, 3), true, 1), OwnLossless(Ramps(6, 4, 16, 1), false, 2),
          ZavorTest::ArithmeticJpeg::ArithmeticLosslessFile(
              Ramps(7, 5, 12, 3),
              {.predictor = 4, .restartRows = 1, .lower = 1, .upper = 2, .sampling = {0x12, 0x11, 0x11}})}) {
        std::vector<Bytes> variants;
        for (std::size_t size = 2; size < file.size(); ++size)
            variants.emplace_back(file.begin(), file.begin() + static_cast<long>(size));
        for (std::size_t at = 2; at < file.size(); ++at)
            for (int flip : {0x80, 0x01, 0x7F, 0xFF}) {
                variants.push_back(file);
                variants.back()[at] ^= static_cast<std::uint8_t>(flip);
            }
        for (const Bytes &variant : variants) {
            try {
                DecodeImage(variant);
            } catch (const ImageError &) {
            }
        }
    }
}
