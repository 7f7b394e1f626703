// Lossless JPEG placed by a script: PDF readers need not decode such a
// stream, so the page must carry the decoded samples (Flate, which keeps
// them exact), and pdfimages gives back the pixels dcmtk (Huffman-coded
// files) or our test encoder (arithmetic-coded ones) was given.
#include <gtest/gtest.h>

#include <string>

#include "support/arithmetic_jpeg.h"
#include "support/bitmap_files.h"
#include "support/lossless_jpeg.h"
#include "support/placed_picture.h"
#include "support/platform_support.h"

namespace {

using namespace ZavorTest::LosslessJpeg;

TEST(SessionLosslessJpeg, PlacedPictureIsFlateCodedWithTheOriginalPixels) {
    ZAVOR_SKIP_ON_WINDOWS("runs dcmtk, pdfimages");
    using ZavorTest::ArithmeticJpeg::ArithmeticLosslessFile;
    const Samples rgb = Ramps(40, 30, 8, 3), grey16 = Ramps(40, 30, 16, 1), grey12 = Ramps(40, 30, 12, 1);
    const struct {
        const char *name;
        Samples samples;
        Bytes jpeg;
        int precision;
        const char *color;
    } cases[] = {
        {"rgb8", rgb, MadeByDcmtk(rgb, "+el +sv 7", "placed_lossless_rgb8"), 8, "rgb"},
        {"grey16", grey16, MadeByDcmtk(grey16, "+el +sv 6", "placed_lossless_grey16"), 16, "gray"},
        {"arithmetic_rgb8", rgb, ArithmeticLosslessFile(rgb, {.predictor = 4, .restartRows = 7}), 8, "rgb"},
        {"arithmetic_grey12", grey12, ArithmeticLosslessFile(grey12, {.predictor = 7, .lower = 1, .upper = 3}), 12,
         "gray"},
        {"arithmetic_grey16", grey16, ArithmeticLosslessFile(grey16, {.predictor = 6, .restartRows = 4}), 16,
         "gray"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.jpeg.empty());
        const ZavorTest::PlacedPicture placed =
            ZavorTest::PlacePicture(std::string("placed_lossless_") + c.name, c.jpeg);
        const std::vector<std::string> &image = placed.listed;
        ASSERT_GE(image.size(), 9u);
        EXPECT_EQ(image[2], "image");
        EXPECT_EQ(image[3], "40");
        EXPECT_EQ(image[4], "30");
        EXPECT_EQ(image[5], c.color);
        EXPECT_EQ(image[8], "image") << "Flate, not the lossless JPEG stream";
        EXPECT_EQ(placed.rgba, ExpectedRgba(c.samples, c.precision, 0));
    }
}

}  // namespace
