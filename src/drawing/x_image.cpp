#include "drawing/x_image.h"


#include "drawing/file_paths.h"
#include "drawing/pdf_image.h"
#include "drawing/pdf_image_table.h"
#include "pdf/errors.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_resources.h"
#include "platform/code_page.h"
#include "platform/random_id.h"

namespace ZavorPdf::Drawing {
namespace {

namespace fs = std::filesystem;
using ZavorPlatform::ImageError;
using ZavorPlatform::ImageFileFormat;

XImageFormat FormatOf(ImageFileFormat format) {
    switch (format) {
    case ImageFileFormat::Jpeg: return XImageFormat::Jpeg;
    case ImageFileFormat::Gif: return XImageFormat::Gif;
    case ImageFileFormat::Tiff: return XImageFormat::Tiff;
    case ImageFileFormat::Icon: return XImageFormat::Icon;
    default: return XImageFormat::Png;
    }
}

ZavorPlatform::DecodedImage DecodeFile(const fs::path &path) {
    std::string shown = path.string();
    try {
        return ZavorPlatform::DecodeImageFile(path);
    } catch (const ImageError &error) {
        switch (error.GetKind()) {
        case ImageError::Kind::UnknownFormat:
        case ImageError::Kind::Unsupported: throw NotSupportedException("Unsupported image format.");
        case ImageError::Kind::TooLarge:
            throw ArgumentException("The image '" + shown + "' is too large.", "path");
        case ImageError::Kind::Damaged: throw ArgumentException("The image '" + shown + "' is damaged.", "path");
        }
        throw;
    } catch (const std::bad_alloc &) {
        throw ArgumentException("The image '" + shown + "' is too large.", "path");
    } catch (const std::runtime_error &) {
        throw ZavorPdfException("The file '" + shown + "' cannot be read.");
    }
}

}  // namespace

XImage::XImage(std::u16string path, XImageFormat format) : path_(std::move(path)), format_(format) {}

XImage::XImage(std::u16string path, ZavorPlatform::DecodedImage image)
    : path_(std::move(path)),
      format_(FormatOf(image.format)),
      interpolate_(!path_.empty()),
      image_(std::make_unique<ZavorPlatform::DecodedImage>(std::move(image))) {}

XImage::~XImage() = default;

std::unique_ptr<XImage> XImage::FromFile(std::u16string_view path) {
    fs::path absolute = MakeAbsolute(path);
    // PDF files come first: their paths may carry a page suffix ("#2") that
    // names no file of its own.
    if (PdfFileHook != nullptr) {
        if (std::unique_ptr<XImage> form = PdfFileHook(absolute)) return form;
    }
    if (!IsRegularFile(absolute)) throw FileNotFoundException(absolute.string());
    ZavorPlatform::DecodedImage image = DecodeFile(absolute);
    return std::unique_ptr<XImage>(new XImage(ZavorPlatform::Utf8ToUtf16(absolute.string()), std::move(image)));
}

bool XImage::ExistsFile(std::u16string_view path) {
    fs::path absolute = MakeAbsolute(path);
    return IsRegularFile(absolute) || (PdfFileHook != nullptr && PdfFileHook(absolute) != nullptr);
}

std::unique_ptr<XImage> XImage::FromDecoded(ZavorPlatform::DecodedImage image) {
    return std::unique_ptr<XImage>(new XImage(std::u16string(), std::move(image)));
}

const ZavorPlatform::DecodedImage &XImage::Decoded() const {
    if (image_ == nullptr) throw InvalidOperationException("The image is disposed.");
    return *image_;
}

int XImage::PixelWidth() const { return Decoded().width; }
int XImage::PixelHeight() const { return Decoded().height; }
double XImage::HorizontalResolution() const { return Decoded().horizontalResolution; }
double XImage::VerticalResolution() const { return Decoded().verticalResolution; }

// Single precision, as the sizes have always been computed: a 96 dpi
// picture of 800 pixels is exactly 600 points.
double XImage::PointWidth() const {
    return static_cast<float>(static_cast<float>(PixelWidth()) * 72.0f / static_cast<float>(HorizontalResolution()));
}

double XImage::PointHeight() const {
    return static_cast<float>(static_cast<float>(PixelHeight()) * 72.0f / static_cast<float>(VerticalResolution()));
}

const std::string &XImage::Selector() const {
    if (selector_.empty()) {
        if (path_.empty()) {
            std::string id = "*";
            static constexpr char kHex[] = "0123456789abcdef";
            for (std::uint8_t byte : ZavorPlatform::NewGuid()) {
                id += kHex[byte >> 4];
                id += kHex[byte & 15];
            }
            selector_ = id;
        } else {
            selector_ = CanonicalFileKey(path_);
        }
    }
    return selector_;
}

std::string XImage::ResourceName(Pdf::PdfPage &page) const {
    Pdf::PdfDocument *document = page.Owner();
    if (document == nullptr)
        throw InvalidOperationException("You cannot draw on a page that is not owned by a PdfDocument object.");
    Pdf::Advanced::PdfImage &image = Pdf::Advanced::PdfImageTable::GetImage(*document, *this);
    return Pdf::PdfResources::ForPage(page).Add(Pdf::ResourceKind::Image, image);
}

void XImage::Dispose() {
    image_.reset();
    disposed_ = true;
}

}  // namespace ZavorPdf::Drawing
