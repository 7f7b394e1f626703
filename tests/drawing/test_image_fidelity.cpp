// Pictures whose samples or masks used to change on the way into the PDF:
// each is placed and saved, taken out of the file again with pdfimages,
// and compared with ImageMagick's decoding of the original, colour where
// the picture is not fully transparent and alpha (the soft mask, or opaque
// where there is none) everywhere. The pictures are made here: alpha
// TIFFs by our encoder and ImageMagick, a tiled one by tiffcp, an
// arithmetic-coded JPEG by cjpeg.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "drawing/pdf_image.h"
#include "drawing/pdf_image_table.h"
#include "drawing/x_graphics.h"
#include "drawing/x_image.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "platform/code_page.h"
#include "platform/flate_codec.h"
#include "platform/image_encoder.h"
#include "support/platform_support.h"
#include "test_image_support.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::Pdf::PdfDocument;
using ZavorPlatform::DecodedImage;
using ZavorPlatform::ImagePixelFormat;
using ZavorTest::Bytes;

namespace {

constexpr int kWidth = 48, kHeight = 40;

// The stand-in named convert on the path may not decode every format.
const std::string kConvert = "/usr/bin/convert";

std::string Quoted(const std::filesystem::path &path) { return "'" + path.string() + "'"; }

Bytes Output(const std::string &command) {
    std::string out = ZavorTest::RunCommand(command);
    return Bytes(out.begin(), out.end());
}

// Colour ramps across, alpha from 0 at the top to 255 at the bottom, so
// that every level of transparency has colours to spoil.
DecodedImage Ramps(ImagePixelFormat format) {
    DecodedImage image = ZavorPlatform::MakeBitmap(kWidth, kHeight, format);
    int step = image.BitsPerPixel() / 8;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t *p = ZavorTest::PictureRow(image, y) + x * step;
            p[0] = static_cast<std::uint8_t>(x * 5);
            p[1] = static_cast<std::uint8_t>(200 - y * 3);
            p[2] = static_cast<std::uint8_t>(255 - x * 2 - y);
            if (step == 4) p[3] = static_cast<std::uint8_t>(y * 255 / (kHeight - 1));
        }
    return image;
}

// Sixteen colours whose alpha climbs from 0 to 255, like a soft shadow.
DecodedImage Shadow() {
    Bytes palette;
    for (int i = 0; i < 16; ++i)
        palette.insert(palette.end(), {static_cast<std::uint8_t>(i * 16), 40, static_cast<std::uint8_t>(200 - i * 8),
                                       static_cast<std::uint8_t>(i * 17)});
    std::vector<int> indices;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) indices.push_back((x / 3 + y / 5) % 16);
    return ZavorTest::IndexedPicture(kWidth, kHeight, ImagePixelFormat::Indexed8, palette, indices);
}

std::filesystem::path Made(const std::string &name, const Bytes &bytes) { return ZavorTest::WritePictureFile(name, bytes); }

// `command` followed by the path of the file it is to write.
std::filesystem::path MadeBy(const std::string &name, const std::string &command) {
    std::filesystem::path path = ZavorTest::OutputPath(name);
    std::filesystem::remove(path);
    std::string line = command + " " + Quoted(path);
    EXPECT_EQ(std::system(line.c_str()), 0) << line;
    return path;
}

struct Extracted {
    Bytes rgb, alpha;  // alpha empty without a soft mask
    std::string list;  // pdfimages -list
};

// The first image of the saved file and its soft mask, as pdfimages
// writes them and ImageMagick reads those.
Extracted Extract(const std::filesystem::path &pdf, const std::string &stem) {
    Extracted out;
    out.list = ZavorTest::RunCommand("pdfimages -list " + Quoted(pdf));
    std::filesystem::path prefix = ZavorTest::OutputPath(stem);
    std::string command = "pdfimages -png " + Quoted(pdf) + " " + Quoted(prefix);
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    out.rgb = Output(kConvert + " " + Quoted(prefix.string() + "-000.png") + " -depth 8 rgb:-");
    if (out.list.find("smask") != std::string::npos)
        out.alpha = Output(kConvert + " " + Quoted(prefix.string() + "-001.png") + " -depth 8 gray:-");
    return out;
}

void ExpectLikeImageMagick(const Extracted &placed, const std::filesystem::path &original) {
    Bytes expected = Output(kConvert + " " + Quoted(original) + " -depth 8 rgba:-");
    const std::size_t pixels = static_cast<std::size_t>(kWidth) * kHeight;
    ASSERT_EQ(expected.size(), pixels * 4);
    ASSERT_EQ(placed.rgb.size(), pixels * 3) << placed.list;
    ASSERT_TRUE(placed.alpha.empty() || placed.alpha.size() == pixels) << placed.list;
    double colour = 0, alpha = 0;
    std::size_t seen = 0;
    for (std::size_t i = 0; i < pixels; ++i) {
        int a = placed.alpha.empty() ? 255 : placed.alpha[i];
        alpha += std::abs(a - expected[i * 4 + 3]);
        if (expected[i * 4 + 3] == 0) continue;
        for (int c = 0; c < 3; ++c) colour += std::abs(placed.rgb[i * 3 + c] - expected[i * 4 + c]);
        seen += 3;
    }
    EXPECT_LE(colour / static_cast<double>(seen), 1.0) << "mean colour difference";
    EXPECT_LE(alpha / static_cast<double>(pixels), 1.0) << "mean alpha difference\n" << placed.list;
}

// The marker of the first frame header of a JPEG stream.
int FrameMarker(const Bytes &jpeg) {
    for (std::size_t at = 2; at + 4 <= jpeg.size() && jpeg[at] == 0xFF;) {
        int marker = jpeg[at + 1];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) return marker;
        at += 2 + static_cast<std::size_t>(jpeg[at + 2] << 8 | jpeg[at + 3]);
    }
    return -1;
}

}  // namespace

TEST(ImageFidelity, PlacedPicturesMatchImageMagicksDecoding) {
    ZAVOR_SKIP_ON_WINDOWS("runs ImageMagick, libjpeg-turbo-progs, libtiff-tools, pdfimages");
    using ZavorPlatform::EncodeTiff;
    const std::filesystem::path straight = Made("fidelity-unassociated.tif", EncodeTiff(Ramps(ImagePixelFormat::Argb32)));
    const std::filesystem::path opaque = Made("fidelity-opaque.tif", EncodeTiff(Ramps(ImagePixelFormat::Rgb24)));
    const std::filesystem::path bitmap = Made("fidelity-ramps.bmp", ZavorPlatform::EncodeBmp(Ramps(ImagePixelFormat::Rgb24)));
    const struct {
        const char *name;
        std::filesystem::path file;
        bool softMask;
    } cases[] = {
        // The RGBA reader premultiplied these, and the soft mask applied the alpha once more.
        {"ExtraSamples 2", straight, true},
        {"ExtraSamples 1", MadeBy("fidelity-associated.tif", kConvert + " " + Quoted(straight) + " -define tiff:alpha=associated"),
         true},
        // Tiles of 768 bytes were refused without a mapping of the file.
        {"tiled", MadeBy("fidelity-tiled.tif", "tiffcp -t -w 16 -l 16 " + Quoted(opaque)), false},
        // Cut to a stencil at half transparency before.
        {"palette with partial alpha", Made("fidelity-shadow.png", ZavorPlatform::EncodePng(Shadow())), true},
        {"arithmetic-coded JPEG", MadeBy("fidelity-arithmetic.jpg", "cjpeg -arithmetic -quality 95 " + Quoted(bitmap) + " >"),
         false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        std::unique_ptr<XImage> image;
        EXPECT_NO_THROW(image = XImage::FromFile(ZavorPlatform::Utf8ToUtf16(cases[i].file.string())));
        if (!image) continue;
        PdfDocument document;
        auto gfx = XGraphics::FromPdfPage(&document.AddPage());
        gfx->DrawImage(*image, 10, 10, kWidth, kHeight);
        gfx->Dispose();
        ZavorPdf::Pdf::Advanced::PdfImage &object = ZavorPdf::Pdf::Advanced::PdfImageTable::GetImage(document, *image);
        EXPECT_EQ(object.Elements().ContainsKey("/SMask"), cases[i].softMask);
        std::filesystem::path pdf = ZavorTest::OutputPath("fidelity-" + std::to_string(i) + ".pdf");
        document.Save(pdf);
        ExpectLikeImageMagick(Extract(pdf, "fidelity-" + std::to_string(i)), cases[i].file);
    }
}

TEST(ImageFidelity, ArithmeticCodedJpegIsPlacedWithHuffmanCodes) {
    ZAVOR_SKIP_ON_WINDOWS("runs libjpeg-turbo-progs");
    std::filesystem::path bitmap = Made("huffman-ramps.bmp", ZavorPlatform::EncodeBmp(Ramps(ImagePixelFormat::Rgb24)));
    for (const char *options : {"-arithmetic", "-arithmetic -progressive", "-arithmetic -grayscale"}) {
        SCOPED_TRACE(options);
        std::filesystem::path file = MadeBy("huffman-arithmetic.jpg", std::string("cjpeg ") + options + " " + Quoted(bitmap) +
                                                                          " | wrjpgcom -comment 'kept as written' >");
        auto image = XImage::FromFile(ZavorPlatform::Utf8ToUtf16(file.string()));
        PdfDocument document;
        auto &object = ZavorPdf::Pdf::Advanced::PdfImageTable::GetImage(document, *image);
        Bytes stream = object.Stream()->Value();
        if (object.Elements().GetArray("/Filter") != nullptr) stream = ZavorPlatform::Inflate(stream, 1 << 20);
        EXPECT_EQ(FrameMarker(stream), 0xC0) << "baseline";
        EXPECT_NE(std::string(stream.begin(), stream.end()).find("kept as written"), std::string::npos) << "the comment";
        // The same coefficients: libjpeg decodes both to the same pixels.
        std::filesystem::path placed = Made("huffman-placed.jpg", stream);
        EXPECT_EQ(Output("djpeg " + Quoted(placed)), Output("djpeg " + Quoted(file)));
    }
}
