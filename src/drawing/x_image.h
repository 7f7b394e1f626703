// A picture that can be drawn on pages: a decoded image file or an image
// made in memory. A subclass may stand for something that is placed like a
// picture but is no image (a page of another PDF file): it overrides the
// size accessors and ResourceName, and FromFile reaches it through
// PdfFileHook.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "drawing/image_errors.h"
#include "drawing/x_size.h"
#include "platform/image_decoder.h"

namespace ZavorPdf::Pdf {
class PdfPage;
}

namespace ZavorPdf::Drawing {

enum class XImageFormat { Png, Jpeg, Gif, Tiff, Icon, Pdf };

class XImage;
// The page form for a PDF file, null for any other file (x_pdf_form.cpp).
std::unique_ptr<XImage> PdfFileAsPicture(const std::filesystem::path &path);

class XImage {
public:
    // Consulted first by FromFile and ExistsFile with the absolute path as
    // given (a PDF path may end in a page suffix such as "#2"): returns the
    // picture for a PDF file, or null for anything else, missing files
    // included, which FromFile then reports itself.
    using PdfFileHookFunction = std::unique_ptr<XImage> (*)(const std::filesystem::path &path);
    static inline PdfFileHookFunction PdfFileHook = &PdfFileAsPicture;

    // Fails with FileNotFoundException "The file '{0}' does not exist.",
    // NotSupportedException "Unsupported image format." for files no
    // decoder knows, and ZavorPdfException with the decoder's reason for
    // damaged or oversized pictures.
    static std::unique_ptr<XImage> FromFile(std::u16string_view path);
    static bool ExistsFile(std::u16string_view path);
    // An image made in memory; it gets no path, so it is never shared with
    // another image in a document.
    static std::unique_ptr<XImage> FromDecoded(ZavorPlatform::DecodedImage image);

    virtual ~XImage();
    XImage(const XImage &) = delete;
    XImage &operator=(const XImage &) = delete;

    // The absolute path, empty for images made in memory.
    const std::u16string &Path() const { return path_; }
    XImageFormat Format() const { return format_; }
    // True for images loaded from a file.
    bool Interpolate() const { return interpolate_; }
    void SetInterpolate(bool value) { interpolate_ = value; }

    virtual int PixelWidth() const;
    virtual int PixelHeight() const;
    virtual double Width() const { return PixelWidth(); }
    virtual double Height() const { return PixelHeight(); }
    virtual double HorizontalResolution() const;
    virtual double VerticalResolution() const;
    // Pixels times 72 over the resolution, in single precision.
    virtual double PointWidth() const;
    virtual double PointHeight() const;
    XSize Size() const { return XSize(PointWidth(), PointHeight()); }

    // A page form is scaled into its target by its point size and placed
    // with its own operators.
    virtual bool IsPageForm() const { return false; }

    // Puts the picture into the resources of the page (creating its object
    // in the page's document on first use) and returns its resource name
    // ("/I0"...).
    virtual std::string ResourceName(Pdf::PdfPage &page) const;

    // The decoded picture; fails once disposed ("The image is disposed.").
    const ZavorPlatform::DecodedImage &Decoded() const;
    // The key under which documents share the picture's object: the
    // canonical path, or a random identifier for images without a path.
    const std::string &Selector() const;

    // Frees the decoded picture.
    virtual void Dispose();
    bool IsDisposed() const { return disposed_; }

protected:
    // For subclasses that carry no decoded picture.
    XImage(std::u16string path, XImageFormat format);

private:
    XImage(std::u16string path, ZavorPlatform::DecodedImage image);

    std::u16string path_;
    XImageFormat format_;
    bool interpolate_ = false;
    bool disposed_ = false;
    std::unique_ptr<ZavorPlatform::DecodedImage> image_;
    mutable std::string selector_;
};

}  // namespace ZavorPdf::Drawing
