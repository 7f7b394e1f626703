// Lossless JPEG placed by a script: PDF readers need not decode such a
// stream, so the page must carry the decoded samples (Flate, which keeps
// them exact), and pdfimages gives back the pixels dcmtk was given.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "plugin/exports.h"
#include "plugin/recording_host.h"
#include "session/pdf.h"
#include "support/bitmap_files.h"
#include "support/lossless_jpeg.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {

using namespace ZavorTest::LosslessJpeg;
using ZavorTest::RunCommand;

// The fields of the first image line of "pdfimages -list": page, num,
// type, width, height, color, comp, bpc, enc ...
std::vector<std::string> FirstImage(const std::string &list) {
    std::istringstream lines(list);
    std::string line;
    for (int skip = 0; skip < 3; ++skip) std::getline(lines, line);
    std::istringstream fields(line);
    std::vector<std::string> out;
    for (std::string field; fields >> field;) out.push_back(field);
    return out;
}

TEST(SessionLosslessJpeg, PlacedPictureIsFlateCodedWithTheOriginalPixels) {
    ZAVOR_SKIP_ON_WINDOWS("runs dcmtk, pdfimages");
    const struct {
        const char *name;
        Samples samples;
        const char *options;
        int precision;
        const char *color;
    } cases[] = {
        {"rgb8", Ramps(40, 30, 8, 3), "+el +sv 7", 8, "rgb"},
        {"grey16", Ramps(40, 30, 16, 1), "+el +sv 6", 16, "gray"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string stem = std::string("placed_lossless_") + c.name;
        const Bytes jpeg = MadeByDcmtk(c.samples, c.options, stem);
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

        const std::vector<std::string> image = FirstImage(RunCommand("pdfimages -list '" + saved + "'"));
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
