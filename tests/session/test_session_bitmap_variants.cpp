// Run-length coded and bit-field bitmaps and icons placed by a script: the
// page shows each picture's own pixels, with a soft mask where it is partly
// transparent and a stencil mask where a pixel is either shown or not.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "plugin/exports.h"
#include "plugin/recording_host.h"
#include "session/pdf.h"
#include "support/bitmap_files.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {

using namespace ZavorTest::BitmapFiles;
using ZavorTest::RunCommand;

// The types of the images in "pdfimages -list" order ("image", "smask" ...).
std::vector<std::string> ImageTypes(const std::string &list) {
    std::vector<std::string> types;
    std::istringstream lines(list);
    std::string line;
    for (int heading = 0; heading < 2 && std::getline(lines, line); ++heading) {
    }
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string page, number, type;
        fields >> page >> number >> type;
        types.push_back(type);
    }
    return types;
}

TEST(SessionBitmapVariants, EachIsPlacedWithItsPixelsAndTransparency) {
    ZAVOR_SKIP_ON_WINDOWS("runs ImageMagick, pdfimages");
    for (const SamplePicture &picture : SamplePictures()) {
        SCOPED_TRACE(picture.name);
        ZavorTest::RecordingHost host;
        host.StartDocument();
        const std::filesystem::path file = ZavorTest::OutputPath("placed_" + picture.name + picture.extension);
        WriteFile(file, picture.bytes);
        QnD_SetVar("BildHinzufuegen", file.string().c_str());
        EXPECT_TRUE(host.Events().empty());
        const std::string saved = ZavorTest::OutputPath("placed_" + picture.name + ".pdf").string();
        host.SaveTo(saved);
        ASSERT_EQ(ZavorPlugin::PDF::GetInstance().fehlertext, u"");

        const std::vector<std::string> expected =
            picture.transparency == Transparency::Soft    ? std::vector<std::string>{"image", "smask"}
            : picture.transparency == Transparency::OnOff ? std::vector<std::string>{"image", "mask"}
                                                          : std::vector<std::string>{"image"};
        ASSERT_EQ(ImageTypes(RunCommand("pdfimages -list '" + saved + "'")), expected);

        // What a reader takes from the page against ImageMagick's reading
        // of the file: colour from the image, alpha from its mask.
        const std::string prefix = ZavorTest::OutputPath("placed_" + picture.name).string();
        RunCommand("pdfimages -png '" + saved + "' '" + prefix + "'");
        const Bytes theirs = ImageMagickRgba(file, picture.frame, picture.width, picture.height);
        const Bytes colour = Rgba(ZavorPlatform::DecodeImageFile(prefix + "-000.png"));
        EXPECT_LE(MeanDifference(colour, theirs, 3), 1.0);
        if (picture.transparency == Transparency::None) continue;
        const ZavorPlatform::DecodedImage mask = ZavorPlatform::DecodeImageFile(prefix + "-001.png");
        Bytes alpha = Rgba(mask), theirAlpha;
        for (std::size_t i = 0; i < theirs.size(); i += 4) {
            // The mask's grey as the alpha, in every channel.
            alpha[i + 3] = alpha[i];
            theirAlpha.insert(theirAlpha.end(), {0, 0, 0, theirs[i + 3]});
            alpha[i] = alpha[i + 1] = alpha[i + 2] = 0;
        }
        EXPECT_LE(MeanDifference(alpha, theirAlpha), 1.0);
    }
}

}  // namespace
