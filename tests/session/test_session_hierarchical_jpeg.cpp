// Hierarchical JPEG placed by a script: PDF readers need not decode such a
// stream, so the page carries a baseline JPEG of the decoded picture, or
// its exact samples (Flate) when the last frames are lossless, and
// pdfimages gives back the test encoder's reconstruction. A cut file is
// refused as a damaged picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "plugin/exports.h"
#include "plugin/recording_host.h"
#include "session/pdf.h"
#include "support/bitmap_files.h"
#include "support/hierarchical_jpeg.h"
#include "support/placed_picture.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {

using namespace ZavorTest::HierarchicalJpeg;

std::vector<int> Picture(int width, int height, int components) {
    std::vector<int> out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c) out.push_back((x * 5 + y * 3 + c * 80 + (x * y % 13) * 4) % 256);
    return out;
}

TEST(SessionHierarchicalJpeg, PlacedPictureIsABaselineJpegOrTheExactSamplesOfTheReconstruction) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfimages");
    const struct {
        const char *name;
        int components;
        const char *color;
        Coding coding;
        const char *encoding;
        double meanDifference;
    } cases[] = {
        {"grey", 1, "gray", Coding::Sequential, "jpeg", 1.0},
        {"rgb", 3, "rgb", Coding::Progressive, "jpeg", 1.0},
        {"rgb_lossless", 3, "rgb", Coding::LosslessLast, "image", 0.0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Plan plan;
        plan.width = 48;
        plan.height = 36;
        plan.sampling.assign(static_cast<std::size_t>(c.components), {1, 1});
        plan.expansions = {{true, true}, {true, false}};
        plan.coding = c.coding;
        const Encoded encoded = Encode(plan, Picture(plan.width, plan.height, c.components));
        const ZavorTest::PlacedPicture placed =
            ZavorTest::PlacePicture(std::string("placed_hierarchical_") + c.name, encoded.file);
        const std::vector<std::string> &image = placed.listed;
        ASSERT_GE(image.size(), 9u);
        EXPECT_EQ(image[3], "48");
        EXPECT_EQ(image[4], "36");
        EXPECT_EQ(image[5], c.color);
        EXPECT_EQ(image[8], c.encoding);
        const Bytes &rgba = placed.rgba;
        ASSERT_EQ(rgba.size(), 48u * 36u * 4u);
        double total = 0;
        for (int y = 0; y < 36; ++y)
            for (int x = 0; x < 48; ++x)
                for (int k = 0; k < 3; ++k)
                    total += std::abs(rgba[static_cast<std::size_t>((y * 48 + x) * 4 + k)] -
                                      encoded.reconstruction[static_cast<std::size_t>(c.components == 1 ? 0 : k)].At(x, y));
        EXPECT_LE(total / (48.0 * 36 * 3), c.meanDifference);
    }
}

TEST(SessionHierarchicalJpeg, CutFileIsRefusedAsDamaged) {
    Plan plan;
    plan.width = 40;
    plan.height = 30;
    plan.sampling = {{1, 1}};
    plan.expansions = {{true, true}};
    Bytes bytes = Encode(plan, Picture(40, 30, 1)).file;
    bytes.resize(bytes.size() - 100);
    const std::filesystem::path file = ZavorTest::OutputPath("placed_hierarchical_cut.jpg");
    ZavorTest::BitmapFiles::WriteFile(file, bytes);
    ZavorTest::RecordingHost host;
    host.StartDocument();
    QnD_SetVar("BildHinzufuegen", file.string().c_str());
    EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_DateiFehler"});
    const std::string shown = file.string();
    EXPECT_EQ(ZavorPlugin::PDF::GetInstance().fehlertext,
              u"Das Bild \"" + std::u16string(shown.begin(), shown.end()) + u"\" konnte nicht eingelesen werden.");
}

}  // namespace
