// Pictures on pages: the placement operators for every direction, size and
// unit, sharing across pages, the hook through which PDF files become page
// forms, and saved pages of each format rendered by pdftoppm with the
// colours checked where the pictures lie.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "drawing/x_graphics.h"
#include "drawing/x_image.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "platform/code_page.h"
#include "platform/image_encoder.h"
#include "support/platform_support.h"
#include "test_graphics_support.h"
#include "test_image_support.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::Pdf::PdfDocument;
using ZavorPdf::Pdf::PdfPage;
using ZavorPlatform::ImagePixelFormat;
using ZavorTest::Bytes;
using ZavorTest::GraphicsPage;

namespace {

std::unique_ptr<XImage> Picture(int width, int height, double dpi) {
    ZavorPlatform::DecodedImage image = ZavorTest::SolidPicture(width, height, ImagePixelFormat::Rgb24, 9, 9, 9);
    image.horizontalResolution = dpi;
    image.verticalResolution = dpi;
    return XImage::FromDecoded(std::move(image));
}

// Stands for a page of another PDF file: 200 x 100 points, its own name.
class FakeForm final : public XImage {
public:
    explicit FakeForm(std::u16string path) : XImage(std::move(path), XImageFormat::Pdf) {}
    int PixelWidth() const override { return 200; }
    int PixelHeight() const override { return 100; }
    double PointWidth() const override { return 200; }
    double PointHeight() const override { return 100; }
    double HorizontalResolution() const override { return 72; }
    double VerticalResolution() const override { return 72; }
    bool IsPageForm() const override { return true; }
    std::string ResourceName(PdfPage &) const override { return "/Fm0"; }
};

std::unique_ptr<XImage> PdfHook(const std::filesystem::path &path) {
    // Not named .pdf, so that the suite's check of written PDF files skips it.
    if (path.string().find(".pdfdata") == std::string::npos) return nullptr;
    return std::make_unique<FakeForm>(ZavorPlatform::Utf8ToUtf16(path.string()));
}

std::u16string PathText(const std::filesystem::path &path) { return ZavorPlatform::Utf8ToUtf16(path.string()); }

}  // namespace

TEST(ImagePlacement, SizesInPointsFromPixelsAndResolution) {
    const struct {
        int width, height;
        double dpi, pointWidth, pointHeight;
    } cases[] = {{800, 600, 96, 600, 450}, {72, 144, 72, 72, 144}, {300, 1, 300, 72, 0.24f}, {1, 1, 96, 0.75, 0.75}};
    for (const auto &c : cases) {
        auto image = Picture(c.width, c.height, c.dpi);
        EXPECT_EQ(image->PointWidth(), c.pointWidth);
        EXPECT_EQ(image->PointHeight(), c.pointHeight);
        EXPECT_EQ(image->Size().Width(), c.pointWidth);
        EXPECT_EQ(image->Width(), c.width);
    }
}

TEST(ImagePlacement, OperatorsForEachCallAndDirection) {
    auto photo = Picture(800, 600, 96);
    const struct {
        const char *name;
        XPageDirection direction;
        void (*draw)(XGraphics &, const XImage &);
        const char *placement;
    } cases[] = {
        {"own size", XPageDirection::Downwards, [](XGraphics &g, const XImage &i) { g.DrawImage(i, 10, 20); },
         "q 600 0 0 -450 10 470 cm /I0 Do Q\n"},
        {"rectangle", XPageDirection::Downwards, [](XGraphics &g, const XImage &i) { g.DrawImage(i, XRect(10, 20, 100, 50)); },
         "q 100 0 0 -50 10 70 cm /I0 Do Q\n"},
        {"fractions", XPageDirection::Downwards, [](XGraphics &g, const XImage &i) { g.DrawImage(i, 0.123456, 1, 2.5, 1.00005); },
         "q 2.5 0 0 -1.0001 0.1235 2.0001 cm /I0 Do Q\n"},
        {"upwards", XPageDirection::Upwards, [](XGraphics &g, const XImage &i) { g.DrawImage(i, 10, 20, 100, 50); },
         "q 100 0 0 50 10 20 cm /I0 Do Q\n"},
        {"negative height", XPageDirection::Downwards, [](XGraphics &g, const XImage &i) { g.DrawImage(i, 0, 0, 10, -5); },
         "q 10 0 0 5 0 -5 cm /I0 Do Q\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PdfDocument document;
        PdfPage &page = document.AddPage();
        auto gfx = XGraphics::FromPdfPage(&page, XGraphicsPdfPageOptions::Append, XGraphicsUnit::Point, c.direction);
        c.draw(*gfx, *photo);
        std::string content = gfx->Renderer().Content();
        std::string placement = c.placement;
        ASSERT_GE(content.size(), placement.size());
        EXPECT_EQ(content.substr(content.size() - placement.size()), placement) << content;
    }
}

TEST(ImagePlacement, OwnSizeFollowsThePageUnit) {
    auto inch = Picture(96, 192, 96);
    PdfDocument document;
    PdfPage &page = document.AddPage();
    auto gfx = XGraphics::FromPdfPage(&page, XGraphicsPdfPageOptions::Append, XGraphicsUnit::Inch);
    gfx->DrawImage(*inch, 1, 1);
    std::string content = gfx->Renderer().Content();
    EXPECT_NE(content.find("q 1 0 0 -2 1 3 cm /I0 Do Q\n"), std::string::npos) << content;
}

TEST(ImagePlacement, OneFileOnTwoPagesIsOneObjectNamedOnEachPage) {
    Bytes png = ZavorPlatform::EncodePng(ZavorTest::SolidPicture(4, 4, ImagePixelFormat::Rgb24, 200, 10, 10));
    auto image = XImage::FromFile(PathText(ZavorTest::WritePictureFile("twice.png", png)));
    PdfDocument document;
    for (int i = 0; i < 2; ++i) {
        auto gfx = XGraphics::FromPdfPage(&document.AddPage());
        gfx->DrawImage(*image, 10, 10, 40, 40);
        gfx->DrawImage(*image, 60, 10, 40, 40);
        EXPECT_NE(gfx->Renderer().Content().find("/I0 Do Q\nq 40 0 0 -40 60 50 cm /I0 Do Q\n"), std::string::npos);
    }
    Bytes saved;
    document.Save(saved);
    std::string text(saved.begin(), saved.end());
    std::size_t images = 0;
    for (std::size_t at = text.find("/Subtype/Image"); at != std::string::npos; at = text.find("/Subtype/Image", at + 1))
        ++images;
    EXPECT_EQ(images, 1u);
    std::size_t named = 0;
    for (std::size_t at = text.find("/XObject\n<<\n/I0 "); at != std::string::npos; at = text.find("/XObject\n<<\n/I0 ", at + 1))
        ++named;
    EXPECT_EQ(named, 2u);
}

TEST(ImagePlacement, PdfFilesReachThePageFormHook) {
    ZAVOR_SKIP_ON_WINDOWS("expects the path as written, with slashes");
    std::filesystem::path pdf = ZavorTest::WritePictureFile("form-source.pdfdata", Bytes{'%', 'P', 'D', 'F'});
    // Later tests in this program rely on the real hook being back.
    struct RestoreHook {
        XImage::PdfFileHookFunction saved = XImage::PdfFileHook;
        ~RestoreHook() { XImage::PdfFileHook = saved; }
    } restoreHook;
    XImage::PdfFileHook = PdfHook;
    std::unique_ptr<XImage> form = XImage::FromFile(PathText(pdf));
    // A page suffix names no file; the hook still sees the path first.
    std::unique_ptr<XImage> second = XImage::FromFile(PathText(pdf) + u"#2");
    EXPECT_TRUE(XImage::ExistsFile(PathText(pdf) + u"#2"));
    XImage::PdfFileHook = nullptr;
    EXPECT_FALSE(XImage::ExistsFile(PathText(pdf) + u"#2"));
    EXPECT_EQ(second->Path(), PathText(pdf) + u"#2");
    ASSERT_TRUE(form->IsPageForm());
    EXPECT_EQ(form->Format(), XImageFormat::Pdf);
    const struct {
        XPageDirection direction;
        XRect rect;
        const char *placement;
    } cases[] = {
        {XPageDirection::Downwards, XRect(10, 20, 100, 50), "q 0.5 0 0 -0.5 10 70 cm 100 Tz /Fm0 Do Q\n"},
        {XPageDirection::Upwards, XRect(10, 20, 400, 50), "q 2 0 0 0.5 10 20 cm /Fm0 Do Q\n"},
        {XPageDirection::Downwards, XRect(10, 20, 0, 50), ""},
    };
    for (const auto &c : cases) {
        PdfDocument document;
        auto gfx = XGraphics::FromPdfPage(&document.AddPage(), XGraphicsPdfPageOptions::Append, XGraphicsUnit::Point,
                                          c.direction);
        gfx->DrawImage(*form, c.rect);
        std::string content = gfx->Renderer().Content();
        std::string placement = c.placement;
        if (placement.empty()) {
            EXPECT_EQ(content, "");
            continue;
        }
        EXPECT_EQ(content.substr(content.size() - placement.size()), placement) << content;
    }
}

// ---- rendered pages ------------------------------------------------------

namespace {

struct Rendered {
    int width = 0, height = 0;
    Bytes rgb;
    std::array<int, 3> At(int x, int y) const {
        std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

// The first page at 72 dpi: one pixel per point.
Rendered Render(const std::filesystem::path &pdf) {
    std::filesystem::path stem = pdf;
    stem.replace_extension();
    std::string command = "pdftoppm -r 72 -singlefile '" + pdf.string() + "' '" + stem.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(stem.string() + ".ppm", std::ios::binary);
    std::string magic;
    int maxValue = 0;
    Rendered out;
    in >> magic >> out.width >> out.height >> maxValue;
    in.get();
    out.rgb.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(out.rgb.size(), static_cast<std::size_t>(out.width) * out.height * 3);
    return out;
}

void ExpectColour(const Rendered &page, int x, int y, std::array<int, 3> expected, int tolerance, const char *what) {
    std::array<int, 3> actual = page.At(x, y);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(actual[c], expected[c], tolerance)
            << what << " at " << x << "," << y << ": " << actual[0] << " " << actual[1] << " " << actual[2];
}

// Top half one colour, bottom half another: shows whether it stands upright.
ZavorPlatform::DecodedImage TwoBands(ImagePixelFormat format, std::array<std::uint8_t, 4> top, std::array<std::uint8_t, 4> bottom) {
    ZavorPlatform::DecodedImage image = ZavorTest::SolidPicture(8, 8, format, top[0], top[1], top[2], top[3]);
    ZavorPlatform::DecodedImage lower = ZavorTest::SolidPicture(8, 4, format, bottom[0], bottom[1], bottom[2], bottom[3]);
    std::copy(lower.pixels.begin(), lower.pixels.end(), image.pixels.begin());  // bottom rows come first
    return image;
}

}  // namespace

TEST(ImageRendering, EveryFormatAppearsUprightWithItsColoursAndTransparency) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftoppm");
    using Colour = std::array<int, 3>;
    const Colour white{255, 255, 255}, red{255, 0, 0}, blue{0, 0, 255}, green{0, 128, 0};
    Bytes palette{0, 0, 255, 255, 255, 0, 0, 255, 0, 0, 0, 0};  // red, blue, transparent
    std::vector<int> gifIndices(64, 0);
    for (int i = 32; i < 64; ++i) gifIndices[i] = i % 8 < 4 ? 1 : 2;  // bottom: blue left, hole right
    ZavorPlatform::DecodedImage bilevel = ZavorTest::IndexedPicture(8, 8, ImagePixelFormat::Indexed1, {255, 255, 255, 255, 0, 0, 0, 255},
                                                                    std::vector<int>(64, 0));
    for (int i = 32; i < 64; ++i) ZavorTest::PictureRow(bilevel, i / 8)[0] = 0xFF;  // bottom half black
    const struct {
        const char *file;
        Bytes bytes;
        Colour top, bottom;
        int tolerance;
    } cases[] = {
        {"band.png", ZavorPlatform::EncodePng(TwoBands(ImagePixelFormat::Rgb24, {255, 0, 0, 255}, {0, 0, 255, 255})), red, blue, 0},
        {"band.bmp", ZavorPlatform::EncodeBmp(TwoBands(ImagePixelFormat::Rgb24, {0, 128, 0, 255}, {255, 0, 0, 255})), green, red, 0},
        {"band.tif", ZavorPlatform::EncodeTiff(TwoBands(ImagePixelFormat::Rgb24, {0, 0, 255, 255}, {0, 128, 0, 255})), blue, green, 0},
        {"band.jpg", ZavorPlatform::EncodeJpeg(TwoBands(ImagePixelFormat::Rgb24, {255, 0, 0, 255}, {0, 0, 255, 255})), red, blue, 40},
        {"band.gif", ZavorPlatform::EncodeGif(ZavorTest::IndexedPicture(8, 8, ImagePixelFormat::Indexed4, palette, gifIndices)), red, blue, 0},
        {"holes.png", ZavorPlatform::EncodePng(TwoBands(ImagePixelFormat::Argb32, {255, 0, 0, 0}, {0, 0, 255, 255})), white, blue, 0},
        {"half.png", ZavorPlatform::EncodePng(TwoBands(ImagePixelFormat::Argb32, {255, 0, 0, 128}, {0, 0, 255, 255})), {255, 127, 127}, blue, 2},
        {"bilevel.tif", ZavorPlatform::EncodeTiff(bilevel), white, {0, 0, 0}, 0},
    };
    PdfDocument document;
    auto gfx = XGraphics::FromPdfPage(&document.AddPage());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        auto image = XImage::FromFile(PathText(ZavorTest::WritePictureFile(cases[i].file, cases[i].bytes)));
        gfx->DrawImage(*image, 10 + 70.0 * static_cast<double>(i % 8), 10, 64, 64);
    }
    gfx->Dispose();
    std::filesystem::path pdf = ZavorTest::OutputPath("images_each_format.pdf");
    document.Save(pdf);
    Rendered page = Render(pdf);
    ASSERT_EQ(page.width, 595);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        int left = 10 + 70 * static_cast<int>(i);
        ExpectColour(page, left + 12, 20, cases[i].top, cases[i].tolerance, cases[i].file);
        ExpectColour(page, left + 12, 64, cases[i].bottom, cases[i].tolerance, cases[i].file);
    }
    // The GIF's transparent entry lets the page through on the right.
    ExpectColour(page, 10 + 4 * 70 + 52, 64, white, 0, "GIF hole");
    ExpectColour(page, 5, 5, white, 0, "page");
}
