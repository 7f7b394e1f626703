// A picture file placed on a page by a script, the document saved, and the
// page's image as pdfimages lists it and gives it back: what a PDF reader
// takes from the page, not what our own reader thinks of it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "plugin/exports.h"
#include "plugin/recording_host.h"
#include "session/pdf.h"
#include "support/bitmap_files.h"
#include "support/test_output.h"

namespace ZavorTest {

struct PlacedPicture {
    std::vector<std::string> listed;  // the fields of pdfimages -list: page, num, type, width, height, color ...
    std::vector<std::uint8_t> rgba;   // the image pdfimages extracts, four bytes a pixel
};

// Writes `file` as <stem><extension> under build/test-output, places it in
// a new document, saves <stem>.pdf next to it and extracts its first image.
// A refused picture, or one placed with host events, fails the test.
inline PlacedPicture PlacePicture(const std::string &stem, const std::vector<std::uint8_t> &file,
                                  const std::string &extension = ".jpg") {
    const std::filesystem::path picture = OutputPath(stem + extension);
    BitmapFiles::WriteFile(picture, file);
    RecordingHost host;
    host.StartDocument();
    QnD_SetVar("BildHinzufuegen", picture.string().c_str());
    EXPECT_TRUE(host.Events().empty());
    const std::string saved = OutputPath(stem + ".pdf").string();
    host.SaveTo(saved);
    EXPECT_EQ(ZavorPlugin::PDF::GetInstance().fehlertext, u"");
    PlacedPicture placed;
    placed.listed = FirstListedImage(RunCommand("pdfimages -list '" + saved + "'"));
    const std::string prefix = OutputPath(stem).string();
    std::filesystem::remove(prefix + "-000.png");  // left by an earlier run
    RunCommand("pdfimages -png '" + saved + "' '" + prefix + "'");
    if (std::filesystem::exists(prefix + "-000.png"))
        placed.rgba = BitmapFiles::Rgba(ZavorPlatform::DecodeImageFile(prefix + "-000.png"));
    else
        ADD_FAILURE() << "pdfimages extracted no image from " << saved;
    return placed;
}

}  // namespace ZavorTest
