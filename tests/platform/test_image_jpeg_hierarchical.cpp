// Hierarchical JPEG decoded by our own code and written again as a
// baseline JPEG: files of the test encoder (first frames sequential or
// progressive, expansions in one or both directions, subsampled colour,
// restart intervals, four components) read back by libjpeg must match the
// encoder's own reconstruction; damaged files end in typed errors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "platform/image_decoder.h"
#include "support/bitmap_files.h"
#include "support/hierarchical_jpeg.h"
#include "support/image_refusal.h"
#include "support/libjpeg_reading.h"

using namespace ZavorPlatform;
using namespace ZavorTest::HierarchicalJpeg;

namespace {

using ZavorTest::EndedAt;
using ZavorTest::FindMarker;
using ZavorTest::Patched;

std::vector<int> Picture(int width, int height, int components) {
    std::vector<int> out;
    unsigned seed = 99;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c) {
                seed = seed * 1103515245 + 12345;
                out.push_back((x * 255 / width + y * 3 + c * 70 + static_cast<int>((seed >> 16) % 40)) % 256);
            }
    return out;
}

// The samples of a baseline JPEG as stored, interleaved, top row first.
std::vector<int> LibjpegSamples(const Bytes &file, J_COLOR_SPACE &space) {
    ZavorTest::LibjpegReading reading(file);
    jpeg_decompress_struct &info = reading.info;
    space = info.jpeg_color_space;
    info.out_color_space = info.jpeg_color_space;
    jpeg_start_decompress(&info);
    const std::size_t stride = info.output_width * static_cast<std::size_t>(info.output_components);
    Bytes row(stride);
    std::vector<int> out;
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        out.insert(out.end(), row.begin(), row.end());
    }
    EXPECT_EQ(info.progressive_mode, FALSE);
    jpeg_finish_decompress(&info);
    return out;
}

// The reconstruction at the picture's size, subsampled components repeated.
std::vector<int> Reconstructed(const Plan &plan, const Encoded &encoded) {
    int hMax = 1, vMax = 1;
    for (auto [h, v] : plan.sampling) {
        hMax = std::max(hMax, h);
        vMax = std::max(vMax, v);
    }
    std::vector<int> out;
    for (int y = 0; y < plan.height; ++y)
        for (int x = 0; x < plan.width; ++x)
            for (std::size_t c = 0; c < plan.sampling.size(); ++c)
                out.push_back(encoded.reconstruction[c].At(x * plan.sampling[c].first / hMax,
                                                           y * plan.sampling[c].second / vMax));
    return out;
}

const Bytes kJfif{0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 1, 0, 150, 0, 150, 0, 0};

Bytes Adobe(std::uint8_t transform) { return {0xFF, 0xEE, 0, 14, 'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, transform}; }

// `plan` after `change`.
template <class Change>
Plan With(Plan plan, Change change) {
    change(plan);
    return plan;
}

Plan Grey(int width, int height) {
    Plan plan;
    plan.width = width;
    plan.height = height;
    plan.sampling = {{1, 1}};
    plan.expansions = {{true, true}};
    return plan;
}

}  // namespace

TEST(HierarchicalJpeg, DctHierarchiesBecomeBaselineJpegsOfTheirReconstruction) {
    const struct {
        const char *name;
        Plan plan;
        JpegColorSpace space;
        J_COLOR_SPACE stored;
    } cases[] = {
        {"grey, two frames", Grey(61, 37), JpegColorSpace::Gray, JCS_GRAYSCALE},
        {"grey, three frames, the last doubled in width only",
         With(Grey(64, 40), [](Plan &p) { p.expansions = {{true, true}, {true, false}}; }), JpegColorSpace::Gray,
         JCS_GRAYSCALE},
        {"grey, a differential frame of the same size",
         With(Grey(30, 20), [](Plan &p) { p.expansions = {{false, true}, {false, false}}; }), JpegColorSpace::Gray,
         JCS_GRAYSCALE},
        {"grey, progressive frames", With(Grey(45, 33), [](Plan &p) { p.coding = Coding::Progressive; }),
         JpegColorSpace::Gray, JCS_GRAYSCALE},
        {"grey, restart intervals", With(Grey(50, 50), [](Plan &p) { p.restartInterval = 3; }), JpegColorSpace::Gray,
         JCS_GRAYSCALE},
        {"YCbCr under JFIF",
         With(Grey(40, 24), [](Plan &p) { p.sampling = {{1, 1}, {1, 1}, {1, 1}}, p.markers = kJfif; }),
         JpegColorSpace::Rgb, JCS_YCbCr},
        {"YCbCr 2x2, progressive",
         With(Grey(37, 29),
              [](Plan &p) {
                  p.sampling = {{2, 2}, {1, 1}, {1, 1}}, p.markers = kJfif;
                  p.coding = Coding::Progressive;
              }),
         JpegColorSpace::Rgb, JCS_YCbCr},
        {"RGB, no marker, restarts",
         With(Grey(33, 17), [](Plan &p) { p.sampling = {{1, 1}, {1, 1}, {1, 1}}, p.restartInterval = 2; }),
         JpegColorSpace::Rgb, JCS_RGB},
        {"grey, arithmetic-coded", With(Grey(47, 31), [](Plan &p) { p.arithmetic = true; }), JpegColorSpace::Gray,
         JCS_GRAYSCALE},
        {"YCbCr 2x1, arithmetic-coded, restarts, three frames",
         With(Grey(40, 26),
              [](Plan &p) {
                  p.sampling = {{2, 1}, {1, 1}, {1, 1}}, p.markers = kJfif, p.arithmetic = true, p.restartInterval = 2;
                  p.expansions = {{true, true}, {false, true}};
              }),
         JpegColorSpace::Rgb, JCS_YCbCr},
        {"CMYK", With(Grey(20, 12), [](Plan &p) { p.sampling = {{1, 1}, {1, 1}, {1, 1}, {1, 1}}; }),
         JpegColorSpace::Cmyk, JCS_CMYK},
        {"YCCK", With(Grey(20, 12), [](Plan &p) { p.sampling = {{1, 1}, {1, 1}, {1, 1}, {1, 1}}, p.markers = Adobe(2); }),
         JpegColorSpace::Ycck, JCS_YCCK},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Encoded encoded =
            Encode(c.plan, Picture(c.plan.width, c.plan.height, static_cast<int>(c.plan.sampling.size())));
        const DecodedImage image = DecodeImage(encoded.file);
        EXPECT_EQ(image.format, ImageFileFormat::Jpeg);
        EXPECT_EQ(image.width, c.plan.width);
        EXPECT_EQ(image.height, c.plan.height);
        EXPECT_EQ(image.jpegColorSpace, c.space);
        EXPECT_TRUE(image.pixels.empty());
        if (c.plan.markers == kJfif) {
            EXPECT_EQ(image.horizontalResolution, 150);
        }
        J_COLOR_SPACE stored = JCS_UNKNOWN;
        const std::vector<int> decoded = LibjpegSamples(image.jpegData, stored);
        EXPECT_EQ(stored, c.stored);
        const std::vector<int> expected = Reconstructed(c.plan, encoded);
        ASSERT_EQ(decoded.size(), expected.size());
        double total = 0;
        for (std::size_t n = 0; n < expected.size(); ++n) total += std::abs(decoded[n] - expected[n]);
        // Our inverse transform and the encoder's agree to a level; the
        // baseline file at the highest quality adds about one more.
        EXPECT_LE(total / static_cast<double>(expected.size()), 1.0);
    }
}

// A flat picture codes to a few bytes with arithmetic coding, far less
// than a bit a block or a sample; it is decoded all the same.
TEST(HierarchicalJpeg, FlatArithmeticCodedPicturesAreNotTakenForCutFiles) {
    for (const Coding coding : {Coding::Sequential, Coding::Lossless}) {
        const Plan plan = With(Grey(512, 512), [&](Plan &p) { p.arithmetic = true, p.coding = coding; });
        const Encoded encoded = Encode(plan, std::vector<int>(512 * 512, 77));
        ASSERT_LT(encoded.file.size(), 512u);
        const DecodedImage image = DecodeImage(encoded.file);
        EXPECT_EQ(image.width, 512);
        EXPECT_EQ(image.height, 512);
    }
}

// Lossless last frames give the picture's samples exactly, as rows; so do
// DCT frames refined by a lossless one.
TEST(HierarchicalJpeg, LosslessHierarchiesGiveTheirSamplesExactly) {
    const struct {
        const char *name;
        Plan plan;
    } cases[] = {
        {"grey, two lossless frames", With(Grey(31, 17), [](Plan &p) { p.coding = Coding::Lossless; })},
        {"grey, three lossless frames, restarts every 2 rows",
         With(Grey(40, 22),
              [](Plan &p) {
                  p.coding = Coding::Lossless, p.restartInterval = 2;
                  p.expansions = {{true, true}, {false, true}};
              })},
        {"RGB, lossless", With(Grey(19, 13), [](Plan &p) { p.coding = Coding::Lossless, p.sampling.assign(3, {1, 1}); })},
        {"grey, DCT frames, the last lossless",
         With(Grey(33, 21), [](Plan &p) { p.coding = Coding::LosslessLast, p.expansions = {{true, true}, {true, false}}; })},
        {"grey, arithmetic-coded lossless frames, restarts",
         With(Grey(26, 18), [](Plan &p) { p.coding = Coding::Lossless, p.arithmetic = true, p.restartInterval = 3; })},
        {"RGB, arithmetic-coded: DCT frames, the last lossless",
         With(Grey(21, 19),
              [](Plan &p) {
                  p.coding = Coding::LosslessLast, p.arithmetic = true, p.sampling.assign(3, {1, 1});
                  p.expansions = {{true, true}, {true, true}};
              })},
        {"RGB, a DCT frame, then a lossless one",
         With(Grey(16, 16), [](Plan &p) { p.coding = Coding::LosslessLast, p.sampling.assign(3, {1, 1}); })},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const int components = static_cast<int>(c.plan.sampling.size());
        const std::vector<int> picture = Picture(c.plan.width, c.plan.height, components);
        const DecodedImage image = DecodeImage(Encode(c.plan, picture).file);
        EXPECT_EQ(image.format, ImageFileFormat::Jpeg);
        EXPECT_TRUE(image.jpegData.empty());
        EXPECT_EQ(image.pixelFormat, components == 1 ? ImagePixelFormat::Indexed8 : ImagePixelFormat::Rgb24);
        Bytes expected;
        for (std::size_t n = 0; n < picture.size(); n += static_cast<std::size_t>(components)) {
            for (int k = 0; k < 3; ++k) expected.push_back(static_cast<std::uint8_t>(picture[n + (components == 1 ? 0 : k)]));
            expected.push_back(255);
        }
        EXPECT_EQ(ZavorTest::BitmapFiles::Rgba(image), expected);
    }
}

TEST(HierarchicalJpeg, DamagedHierarchiesEndInTypedErrors) {
    const Bytes grey = Encode(Grey(40, 24), Picture(40, 24, 1)).file;
    Plan pair = Grey(16, 16);
    pair.sampling = {{1, 1}, {1, 1}};
    const Bytes two = Encode(pair, Picture(16, 16, 2)).file;
    Plan exact = Grey(20, 10);
    exact.coding = Coding::Lossless;
    exact.restartInterval = 2;
    const Bytes lossless = Encode(exact, Picture(20, 10, 1)).file;
    const std::size_t expansion = FindMarker(grey, 0xDF), differential = FindMarker(grey, 0xC5);
    const std::size_t lastData = FindMarker(grey, 0xDA, differential) + 10, losslessDifferential = FindMarker(lossless, 0xC7);
    // The first frame holds a quarter of the picture's samples, the
    // differential frame all of them; each copy of it adds its differences
    // once more.
    auto differentialRepeated = [&](int times) {
        Bytes b(grey.begin(), grey.end() - 2);
        for (int n = 0; n < times; ++n) b.insert(b.end(), grey.begin() + static_cast<long>(differential), grey.end() - 2);
        b.insert(b.end(), {0xFF, 0xD9});
        return b;
    };
    EXPECT_NO_THROW(DecodeImage(differentialRepeated(6)));
    using Kind = ImageError::Kind;
    const ZavorTest::RefusedPicture cases[] = {
        {"frames adding up to more than 8 pictures", differentialRepeated(7), Kind::Unsupported,
         "JPEG: frames that add up to more than 8 times the picture are not supported"},
        {"cut in the differential frame's data", EndedAt(grey, lastData + 30), Kind::Damaged,
         "JPEG: the coded data ends early"},
        {"cut before the end marker", Bytes(grey.begin(), grey.end() - 2), Kind::Damaged, "JPEG: the file is cut short"},
        {"the differential frame missing", EndedAt(grey, expansion), Kind::Damaged,
         "JPEG: a component's last frame is not of the picture's size"},
        {"the first frame differential too", Patched(grey, FindMarker(grey, 0xC1) + 1, 0xC5), Kind::Damaged,
         "JPEG: a differential frame has no frame before it"},
        {"the second frame not differential", Patched(grey, differential + 1, 0xC1), Kind::Damaged,
         "JPEG: a component has a second first frame"},
        {"no expansion: the differential frame is larger", Patched(grey, expansion + 4, 0x00), Kind::Damaged,
         "JPEG: a differential frame is larger than the frame before it"},
        {"an expansion by 3", Patched(grey, expansion + 4, 0x21), Kind::Damaged,
         "JPEG: an expansion segment is invalid"},
        {"a frame naming a component the hierarchy lacks", Patched(grey, differential + 10, 7), Kind::Damaged,
         "JPEG: a frame names a component the hierarchy lacks"},
        {"a lossless first frame with no predictor", Patched(lossless, FindMarker(lossless, 0xDA) + 7, 0), Kind::Damaged,
         "JPEG: the predictor 0 is invalid"},
        {"a lossless scan with Huffman table 4", Patched(lossless, FindMarker(lossless, 0xDA) + 6, 0x40), Kind::Damaged,
         "JPEG: a scan uses a Huffman table that is not defined"},
        {"a lossless differential frame with a predictor", Patched(lossless, FindMarker(lossless, 0xDA, losslessDifferential) + 7, 1),
         Kind::Damaged, "JPEG: the predictor 1 is invalid"},
        {"a lossless restart interval inside a row", Patched(lossless, FindMarker(lossless, 0xDD) + 5, 7), Kind::Unsupported,
         "JPEG: lossless restart intervals that end inside a row are not supported"},
        {"two components", two, Kind::Unsupported, "JPEG: hierarchical coding with 2 components is not supported"},
    };
    ZavorTest::ExpectEachRefused(cases);
}

// Every prefix and every single changed byte of a small file decodes or
// fails with an ImageError: nothing is read past the buffer (the sanitizer
// build checks that) and nothing else is thrown.
TEST(HierarchicalJpeg, CutAndChangedFilesNeverFailOtherwise) {
    Plan plan = Grey(12, 10);
    plan.sampling = {{2, 1}, {1, 1}, {1, 1}};
    plan.restartInterval = 1;
    Plan progressive = Grey(9, 9);
    progressive.coding = Coding::Progressive;
    Plan arithmetic = plan;
    arithmetic.arithmetic = true;
    Plan lossless = Grey(10, 8);
    lossless.coding = Coding::LosslessLast;
    lossless.restartInterval = 2;
    for (const Plan &p : {plan, progressive, arithmetic, lossless}) {
        const Bytes file = Encode(p, Picture(p.width, p.height, static_cast<int>(p.sampling.size()))).file;
        for (std::size_t size = 2; size < file.size(); ++size) {
            try {
                DecodeImage(Bytes(file.begin(), file.begin() + static_cast<long>(size)));
            } catch (const ImageError &) {
            }
        }
        for (std::size_t at = 2; at < file.size(); ++at)
            for (int flip : {0x80, 0x01, 0x7F, 0xFF}) {
                Bytes changed = file;
                changed[at] ^= static_cast<std::uint8_t>(flip);
                try {
                    DecodeImage(changed);
                } catch (const ImageError &) {
                }
            }
    }
}
