// Image XObjects made from pictures: the dictionary entries byte for byte,
// the samples inflated back to what the picture holds, the masks and
// colour spaces each kind of picture gets, sharing per document, and the
// failures with their messages.
#include <gtest/gtest.h>

#include <string>

#include "drawing/image_errors.h"
#include "drawing/pdf_image.h"
#include "drawing/pdf_image_table.h"
#include "drawing/x_graphics.h"
#include "drawing/x_image.h"
#include "geometry_test_support.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"
#include "pdf/pdf_writer.h"
#include "platform/code_page.h"
#include "platform/flate_codec.h"
#include "platform/image_encoder.h"
#include "support/platform_support.h"
#include "test_image_support.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::Pdf::PdfDocument;
using ZavorPdf::Pdf::PdfObject;
using ZavorPdf::Pdf::Advanced::PdfImage;
using ZavorPdf::Pdf::Advanced::PdfImageTable;
using ZavorPlatform::ImagePixelFormat;
using ZavorTest::Bytes;
using ZavorTest::ExpectFailure;

namespace {

// The object's dictionary as written, from "<<" to ">>", without the line
// breaks that the writer puts between the entries of stream dictionaries.
std::string DictionaryText(const PdfObject &object) {
    Bytes bytes;
    ZavorPdf::Pdf::IO::PdfWriter writer(bytes);
    object.WriteObject(writer);
    std::string text(bytes.begin(), bytes.end());
    std::size_t open = text.find("<<"), stream = text.find("stream");
    std::string dictionary = text.substr(open, text.rfind(">>", stream) + 2 - open);
    std::erase(dictionary, '\n');
    return dictionary;
}

Bytes Inflated(const ZavorPdf::Pdf::PdfDictionary &object) {
    return ZavorPlatform::Inflate(object.Stream()->Value(), 1 << 20);
}

PdfImage &ImageOf(PdfDocument &document, const XImage &image) { return PdfImageTable::GetImage(document, image); }

ZavorPdf::Pdf::PdfDictionary &Referenced(PdfImage &image, const char *key) {
    return *image.Elements().GetDictionary(key);
}

const Bytes kBlackWhite{0, 0, 0, 255, 255, 255, 255, 255};
const Bytes kWhiteBlack{255, 255, 255, 255, 0, 0, 0, 255};

}  // namespace

TEST(ImageObject, TrueColourDictionaryAndSamplesTopRowFirst) {
    ZavorPlatform::DecodedImage picture = ZavorTest::SolidPicture(2, 2, ImagePixelFormat::Rgb24, 10, 20, 30);
    ZavorTest::PictureRow(picture, 1)[3] = 99;  // bottom-right blue
    auto image = XImage::FromDecoded(picture);
    PdfDocument document;
    PdfImage &object = ImageOf(document, *image);
    std::string length = std::to_string(object.Stream()->Length());
    EXPECT_EQ(DictionaryText(object), "<</Type/XObject/Subtype/Image/Length " + length +
                                          "/Filter/FlateDecode/Width 2/Height 2/BitsPerComponent 8/ColorSpace/DeviceRGB>>");
    EXPECT_EQ(Inflated(object), (Bytes{10, 20, 30, 10, 20, 30, 10, 20, 30, 10, 20, 99}));
}

TEST(ImageObject, AlphaGivesStencilAndSoftMaskAsTheLevelsAndVersionAllow) {
    const struct {
        const char *name;
        std::uint8_t alpha;
        int version;
        bool mask, softMask;
    } cases[] = {
        {"opaque", 255, 14, false, false},
        {"holes", 0, 14, true, false},
        {"half", 128, 14, true, true},
        {"half in 1.3", 128, 13, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // 9 pixels wide: the mask row has a partial second byte.
        ZavorPlatform::DecodedImage picture = ZavorTest::SolidPicture(9, 2, ImagePixelFormat::Argb32, 1, 2, 3);
        ZavorTest::PictureRow(picture, 0)[8 * 4 + 3] = c.alpha;  // top-right pixel
        auto image = XImage::FromDecoded(picture);
        PdfDocument document;
        document.SetVersion(c.version);
        PdfImage &object = ImageOf(document, *image);
        EXPECT_EQ(object.Elements().ContainsKey("/Mask"), c.mask);
        EXPECT_EQ(object.Elements().ContainsKey("/SMask"), c.softMask);
        if (c.mask) {
            auto &mask = Referenced(object, "/Mask");
            EXPECT_EQ(DictionaryText(mask), "<</Type/XObject/Subtype/Image/Length " + std::to_string(mask.Stream()->Length()) +
                                                "/Filter/FlateDecode/Width 9/Height 2/BitsPerComponent 1/ImageMask true>>");
            // Bit 1 where the alpha is below 128 (only "holes" here).
            std::uint8_t bit = c.alpha < 128 ? 0x80 : 0;
            EXPECT_EQ(Inflated(mask), (Bytes{0, bit, 0, 0}));
        }
        if (c.softMask) {
            auto &soft = Referenced(object, "/SMask");
            EXPECT_EQ(DictionaryText(soft), "<</Type/XObject/Subtype/Image/Length " + std::to_string(soft.Stream()->Length()) +
                                                "/Filter/FlateDecode/Width 9/Height 2/BitsPerComponent 8/ColorSpace/DeviceGray>>");
            Bytes alpha(18, 255);
            alpha[8] = c.alpha;
            EXPECT_EQ(Inflated(soft), alpha);
        }
    }
}

TEST(ImageObject, IndexedPicturesByPaletteKind) {
    // b, g, r, a quads.
    Bytes colours{0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 9, 9, 9, 255};
    Bytes greys;
    for (int i = 0; i < 256; ++i)
        greys.insert(greys.end(), {static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(255 - i),
                                   static_cast<std::uint8_t>(255 - i), 255});
    const struct {
        const char *name;
        ImagePixelFormat format;
        Bytes palette;
        const char *colourSpace;
        Bytes samples;
    } cases[] = {
        {"4-bit colours", ImagePixelFormat::Indexed4, colours, "[/Indexed/DeviceRGB 3 1 0 R]", {0x12, 0x30}},
        {"8-bit colours", ImagePixelFormat::Indexed8, colours, "[/Indexed/DeviceRGB 3 1 0 R]", {1, 2, 3, 0}},
        // Grey palettes become grey levels, whatever their order.
        {"8-bit greys", ImagePixelFormat::Indexed8, greys, "/DeviceGray", {254, 253, 252, 255}},
        {"black then white", ImagePixelFormat::Indexed1, kBlackWhite, "/DeviceGray", {0x40, 0x80}},
        {"white then black", ImagePixelFormat::Indexed1, kWhiteBlack, "[/Indexed/DeviceRGB 1 1 0 R]", {0x40, 0x80}},
        {"no palette, 1 bit", ImagePixelFormat::Indexed1, {}, "/DeviceGray", {0x40, 0x80}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        int bits = c.format == ImagePixelFormat::Indexed1 ? 1 : c.format == ImagePixelFormat::Indexed4 ? 4 : 8;
        std::vector<int> indices = bits == 1 ? std::vector<int>{0, 1, 1, 0} : std::vector<int>{1, 2, 3, 0};
        auto image = XImage::FromDecoded(ZavorTest::IndexedPicture(2, 2, c.format, c.palette, indices));
        PdfDocument document(ZavorPdf::Pdf::DocumentSetup::Empty);
        PdfImage &object = ImageOf(document, *image);
        // 4 bits: rows of one byte; 1 bit: one byte per row, high bits.
        Bytes samples = c.samples;
        if (bits == 8) samples = {c.samples[0], c.samples[1], c.samples[2], c.samples[3]};
        EXPECT_EQ(Inflated(object), samples);
        std::string text = DictionaryText(object);
        EXPECT_NE(text.find("/BitsPerComponent " + std::to_string(bits) + "/ColorSpace" + c.colourSpace),
                  std::string::npos) << text;
    }
}

TEST(ImageObject, PaletteStreamIsRgbAndZippedOnlyWhenThatPays) {
    PdfDocument document(ZavorPdf::Pdf::DocumentSetup::Empty);
    Bytes small{0, 0, 255, 255, 0, 255, 0, 255};
    auto few = XImage::FromDecoded(ZavorTest::IndexedPicture(1, 1, ImagePixelFormat::Indexed4, small, {0}));
    PdfImage &first = ImageOf(document, *few);
    auto &palette = *first.Elements().GetArray("/ColorSpace")->Elements().GetDictionary(3);
    EXPECT_EQ(DictionaryText(palette), "<</Length 6>>");
    EXPECT_EQ(palette.Stream()->Value(), (Bytes{255, 0, 0, 0, 255, 0}));
    Bytes many(256 * 4, 255);  // 256 equal whites pack well
    many[0] = 0;               // not grey: entry 0 is yellow
    auto lots = XImage::FromDecoded(ZavorTest::IndexedPicture(1, 1, ImagePixelFormat::Indexed8, many, {0}));
    PdfImage &second = ImageOf(document, *lots);
    auto &zipped = *second.Elements().GetArray("/ColorSpace")->Elements().GetDictionary(3);
    EXPECT_EQ(DictionaryText(zipped), "<</Length " + std::to_string(zipped.Stream()->Length()) + "/Filter/FlateDecode>>");
    EXPECT_EQ(Inflated(zipped).size(), 768u);
}

TEST(ImageObject, TransparentPaletteEntriesBecomeColourKeyOrStencil) {
    auto entry = [](std::uint8_t a) { return Bytes{50, 60, 70, a}; };
    auto palette = [&](std::initializer_list<std::uint8_t> alphas) {
        Bytes out;
        for (std::uint8_t a : alphas) {
            Bytes e = entry(a);
            out.insert(out.end(), e.begin(), e.end());
        }
        out[0] = 1;  // not grey
        return out;
    };
    const struct {
        const char *name;
        Bytes palette;
        int version;
        const char *mask;  // "/Mask" text, or "stencil"
    } cases[] = {
        {"one entry", palette({255, 255, 0, 255}), 14, "/Mask[2 2]"},
        {"a run", palette({255, 0, 0, 255}), 13, "/Mask[1 2]"},
        {"one entry in 1.2", palette({255, 255, 0, 255}), 12, "stencil"},
        {"two runs", palette({0, 255, 0, 255}), 14, "stencil"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto image = XImage::FromDecoded(ZavorTest::IndexedPicture(4, 1, ImagePixelFormat::Indexed8, c.palette, {0, 1, 2, 3}));
        PdfDocument document;
        document.SetVersion(c.version);
        PdfImage &object = ImageOf(document, *image);
        std::string text = DictionaryText(object);
        if (std::string(c.mask) != "stencil") {
            EXPECT_NE(text.find(c.mask), std::string::npos) << text;
            continue;
        }
        // Only the pixels whose own entry is transparent: pixel 1 of
        // "two runs" stays visible although it lies between the two.
        auto &mask = Referenced(object, "/Mask");
        std::uint8_t expected = c.palette[3] < 128 ? 0xA0 : 0x20;
        EXPECT_EQ(Inflated(mask), Bytes{expected});
    }
}

// A soft shadow's entries lie between opaque and clear: a mask or a key
// could only cut them at one level, so from 1.4 on the pixels become RGB
// with their alpha as the soft mask. An index past the palette is black.
TEST(ImageObject, PartlyTransparentPaletteGivesRgbWithSoftMask) {
    Bytes palette{10, 20, 30, 255, 40, 50, 60, 64, 70, 80, 90, 0};  // b, g, r, a
    const std::vector<int> indices{0, 1, 2, 3, 1};
    for (ImagePixelFormat format : {ImagePixelFormat::Indexed4, ImagePixelFormat::Indexed8}) {
        auto image = XImage::FromDecoded(ZavorTest::IndexedPicture(5, 1, format, palette, indices));
        PdfDocument document;
        document.SetVersion(14);
        PdfImage &object = ImageOf(document, *image);
        std::string text = DictionaryText(object);
        EXPECT_NE(text.find("/BitsPerComponent 8/ColorSpace/DeviceRGB"), std::string::npos) << text;
        EXPECT_EQ(Inflated(object), (Bytes{30, 20, 10, 60, 50, 40, 90, 80, 70, 0, 0, 0, 60, 50, 40}));
        EXPECT_EQ(Inflated(Referenced(object, "/SMask")), (Bytes{255, 64, 0, 255, 64}));
    }
    // Without soft masks the entries below half are cut out as before.
    auto image = XImage::FromDecoded(ZavorTest::IndexedPicture(5, 1, ImagePixelFormat::Indexed8, palette, indices));
    PdfDocument document;
    document.SetVersion(13);
    std::string text = DictionaryText(ImageOf(document, *image));
    EXPECT_NE(text.find("/Mask[1 2]"), std::string::npos) << text;
    EXPECT_EQ(text.find("/SMask"), std::string::npos) << text;
}

TEST(ImageObject, JpegFilesPassThroughWithTheirColourSpace) {
    ZavorPlatform::DecodedImage grey = ZavorTest::IndexedPicture(8, 8, ImagePixelFormat::Indexed8, {}, std::vector<int>(64, 77));
    const struct {
        ZavorPlatform::DecodedImage picture;
        const char *space;
    } cases[] = {{grey, "/DeviceGray"}, {ZavorTest::SolidPicture(8, 8, ImagePixelFormat::Rgb24, 200, 0, 0), "/DeviceRGB"}};
    for (const auto &c : cases) {
        Bytes file = ZavorPlatform::EncodeJpeg(c.picture);
        auto image = XImage::FromFile(ZavorPlatform::Utf8ToUtf16(ZavorTest::WritePictureFile("pass.jpg", file).string()));
        EXPECT_EQ(image->Format(), XImageFormat::Jpeg);
        PdfDocument document;
        PdfImage &object = ImageOf(document, *image);
        std::string text = DictionaryText(object);
        std::string length = std::to_string(object.Stream()->Length());
        // Small files zip a little: the zipped bytes inflate to the file.
        ASSERT_EQ(text, "<</Type/XObject/Subtype/Image/Length " + length +
                            "/Filter[/FlateDecode/DCTDecode]/Width 8/Height 8/BitsPerComponent 8/ColorSpace" + c.space + ">>");
        EXPECT_EQ(Inflated(object), file);
    }
}

TEST(ImageObject, OneObjectPerFileAndDocument) {
    Bytes png = ZavorPlatform::EncodePng(ZavorTest::SolidPicture(3, 3, ImagePixelFormat::Rgb24, 1, 2, 3));
    std::string path = ZavorTest::WritePictureFile("shared.png", png).string();
    auto first = XImage::FromFile(ZavorPlatform::Utf8ToUtf16(path));
    // The same file by a longer way; a file whose name differs only in case
    // is another picture.
    std::filesystem::path roundabout = std::filesystem::path(path).parent_path() / ".." /
                                       std::filesystem::path(path).parent_path().filename() / "shared.png";
    auto second = XImage::FromFile(ZavorPlatform::Utf8ToUtf16(roundabout.string()));
    EXPECT_EQ(first->Selector(), second->Selector());
    Bytes redder = ZavorPlatform::EncodePng(ZavorTest::SolidPicture(3, 3, ImagePixelFormat::Rgb24, 200, 2, 3));
    auto capital = XImage::FromFile(ZavorPlatform::Utf8ToUtf16(ZavorTest::WritePictureFile("Shared.png", redder).string()));
    EXPECT_NE(first->Selector(), capital->Selector());
    auto memory = XImage::FromDecoded(ZavorTest::SolidPicture(3, 3, ImagePixelFormat::Rgb24, 1, 2, 3));
    auto memoryToo = XImage::FromDecoded(ZavorTest::SolidPicture(3, 3, ImagePixelFormat::Rgb24, 1, 2, 3));
    PdfDocument document, other;
    EXPECT_EQ(&ImageOf(document, *first), &ImageOf(document, *second));
    EXPECT_NE(&ImageOf(document, *first), &ImageOf(other, *first));
    EXPECT_NE(&ImageOf(document, *memory), &ImageOf(document, *memoryToo));
    EXPECT_NE(&ImageOf(document, *first), &ImageOf(document, *capital));
    EXPECT_EQ(PdfImageTable::Count(document), 4);
}

TEST(ImageObject, ImageFreedByTheDocumentLeavesTheTable) {
    auto image = XImage::FromDecoded(ZavorTest::SolidPicture(1, 1, ImagePixelFormat::Rgb24, 1, 2, 3));
    PdfDocument document;
    document.AddPage();
    PdfImage &object = ImageOf(document, *image);
    EXPECT_EQ(PdfImageTable::Count(document), 1);
    // Drawn on no page: saving drops it, and the next draw makes it anew.
    Bytes saved;
    document.Save(saved);
    EXPECT_EQ(PdfImageTable::Count(document), 0);
    PdfImage &again = ImageOf(document, *image);
    EXPECT_TRUE(again.IsIndirect());
    (void)object;
}

TEST(ImageFailures, MessagesAndNothingLeftBehind) {
    ZAVOR_SKIP_ON_WINDOWS("expects the path as written, with slashes");
    PdfDocument document;
    auto &page = document.AddPage();
    auto gfx = XGraphics::FromPdfPage(&page);
    ExpectFailure<ZavorPdf::ArgumentNullException>([&] { gfx->DrawImage(nullptr, 0, 0, 10, 10); },
                                                   "Value cannot be null. (Parameter 'image')");
    std::string missing = ZavorTest::OutputPath("missing.png").string();
    ExpectFailure<ZavorPdf::FileNotFoundException>([&] { XImage::FromFile(ZavorPlatform::Utf8ToUtf16(missing)); },
                                                   "The file '" + missing + "' does not exist.");
    EXPECT_FALSE(XImage::ExistsFile(ZavorPlatform::Utf8ToUtf16(missing)));
    std::string text = ZavorTest::WritePictureFile("notes.png", Bytes{'n', 'o', 't', 'e', 's'}).string();
    EXPECT_TRUE(XImage::ExistsFile(ZavorPlatform::Utf8ToUtf16(text)));
    ExpectFailure<ZavorPdf::NotSupportedException>([&] { XImage::FromFile(ZavorPlatform::Utf8ToUtf16(text)); },
                                                   "Unsupported image format.");
    Bytes png = ZavorPlatform::EncodePng(ZavorTest::SolidPicture(3, 3, ImagePixelFormat::Rgb24, 1, 2, 3));
    png.resize(png.size() - 20);
    std::string cut = ZavorTest::WritePictureFile("cut.png", png).string();
    ExpectFailure<ZavorPdf::ArgumentException>([&] { XImage::FromFile(ZavorPlatform::Utf8ToUtf16(cut)); },
                                               "The image '" + cut + "' is damaged.");
    // Rows shorter than the size says: the reader refuses, the document
    // and the page's content stay as they were.
    int objects = document.ReferenceTable().Count();
    ZavorPlatform::DecodedImage broken = ZavorTest::SolidPicture(4, 4, ImagePixelFormat::Argb32, 1, 2, 3);
    broken.pixels.resize(8);
    auto truecolour = XImage::FromDecoded(broken);
    ExpectFailure<ZavorPdf::ZavorPdfException>([&] { gfx->DrawImage(*truecolour, 0, 0, 5, 5); },
                                               "ReadTrueColorMemoryBitmap: unsupported format");
    ZavorPlatform::DecodedImage badPalette = ZavorTest::IndexedPicture(2, 1, ImagePixelFormat::Indexed1, Bytes(12, 0), {0, 1});
    auto indexed = XImage::FromDecoded(badPalette);
    ExpectFailure<ZavorPdf::ZavorPdfException>([&] { gfx->DrawImage(*indexed, 0, 0, 5, 5); },
                                               "ReadIndexedMemoryBitmap: unsupported format #3");
    EXPECT_EQ(document.ReferenceTable().Count(), objects);
    EXPECT_EQ(gfx->Renderer().Content(), "");
    truecolour->Dispose();
    ExpectFailure<ZavorPdf::InvalidOperationException>([&] { truecolour->PixelWidth(); }, "The image is disposed.");
}

TEST(ImageObject, JpegColourSpacesAndTheChoiceOfZipping) {
    Bytes random(600);
    std::uint32_t state = 12345;
    for (std::uint8_t &byte : random) byte = static_cast<std::uint8_t>((state = state * 1103515245 + 12345) >> 24);
    const struct {
        ZavorPlatform::JpegColorSpace space;
        Bytes data;
        const char *tail;  // the entries after "/Length n"
    } cases[] = {
        {ZavorPlatform::JpegColorSpace::Cmyk, random, "/Filter/DCTDecode/Width 3/Height 2/BitsPerComponent 8/ColorSpace/DeviceCMYK>>"},
        {ZavorPlatform::JpegColorSpace::Ycck, random,
         "/Filter/DCTDecode/Width 3/Height 2/BitsPerComponent 8/ColorSpace/DeviceCMYK/Decode[1 0 1 0 1 0 1 0]>>"},
        {ZavorPlatform::JpegColorSpace::Rgb, Bytes(600, 7),
         "/Filter[/FlateDecode/DCTDecode]/Width 3/Height 2/BitsPerComponent 8/ColorSpace/DeviceRGB>>"},
    };
    for (const auto &c : cases) {
        ZavorPlatform::DecodedImage jpeg;
        jpeg.format = ZavorPlatform::ImageFileFormat::Jpeg;
        jpeg.width = 3;
        jpeg.height = 2;
        jpeg.jpegColorSpace = c.space;
        jpeg.jpegData = c.data;
        auto image = XImage::FromDecoded(jpeg);
        PdfDocument document;
        PdfImage &object = ImageOf(document, *image);
        std::string length = std::to_string(object.Stream()->Length());
        EXPECT_EQ(DictionaryText(object), "<</Type/XObject/Subtype/Image/Length " + length + c.tail);
        // Data that does not shrink is stored as it came.
        if (c.data == random) {
            EXPECT_EQ(object.Stream()->Value(), random);
        }
    }
}
