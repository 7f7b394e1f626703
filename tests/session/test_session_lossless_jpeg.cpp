// Lossless JPEG placed by a script: PDF readers need not decode such a
// stream, so the page must carry the decoded samples (Flate, which keeps
// them exact), and pdfimages gives back the pixels dcmtk (Huffman-coded
// files) or our test encoder (arithmetic-coded ones) was given.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "plugin/exports.h"
#include "plugin/recording_host.h"
#include "session/pdf.h"
#include "support/arithmetic_jpeg.h"
#include "support/bitmap_files.h"
#include "support/lossless_jpeg.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {

using namespace ZavorTest::LosslessJpeg;
using ZavorTest::RunCommand;

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
        const std::string stem = std::string("placed_lossless_") + c.name;
        const Bytes &jpeg = c.jpeg;
        ASSERT_FALSE(jpeg.empty());
        const std::filesystem::path file = ZavorTest::OutputPath(stem + ".jpg");
        ZavorTest::BitmapFiles::WriteFile(file, jpeg);

        ZavorTest::RecordingHost host;
        host.StartDocument();
        QnD_SetVar("BildHinzufuegen", file.string().c_str());
        EXPECT_TRUE(host.Events().empty());
        const std::string saved = ZavorTest::OutputPath(stem + ".pdf").string();
        host.SaveTo(saved);
        ASSERT_EQ(ZavorPlugin::PDF::GetInstance().fehlertext, u"");

        const std::vector<std::string> image = ZavorTest::FirstListedImage(RunCommand("pdfimages -list '" + saved + "'"));
        ASSERT_GE(image.size(), 9u);
        EXPECT_EQ(image[2], "image");
        EXPECT_EQ(image[3], "40");
        EXPECT_EQ(image[4], "30");
        EXPECT_EQ(image[5], c.color);
        EXPECT_EQ(image[8], "image") << "Flate, not the lossless JPEG stream";

        const std::string prefix = ZavorTest::OutputPath(stem).string();
        RunCommand("pdfimages -png '" + saved + "' '" + prefix + "'");
        EXPECT_EQ(ZavorTest::BitmapFiles::Rgba(ZavorPlatform::DecodeImageFile(prefix + "-000.png")),
                  ExpectedRgba(c.samples, c.precision, 0));
    }
}

}  // namespace
