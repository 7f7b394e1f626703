// One page of an external PDF file, placed on pages like a picture. The
// page is copied into each drawing document once, as a form XObject.
#pragma once

#include <istream>
#include <memory>
#include <string>
#include <string_view>

#include "drawing/x_image.h"

namespace ZavorPdf::Pdf {
class PdfDocument;
class PdfPage;
class PdfReference;
}  // namespace ZavorPdf::Pdf

namespace ZavorPdf::Drawing {

class XPdfForm : public XImage {
public:
    // A path ending in "#" and digits (and containing a ".") shows that
    // page: "report.pdf#3" is page 3 of report.pdf. Fails with "The file
    // '{0}' does not exist." for a missing file and with "The specified
    // file has no valid PDF file header." ("path") for any other file.
    explicit XPdfForm(std::u16string_view path);
    // The stream is read to its end at once; its path is "*" and a new
    // GUID. Fails with "The specified stream has no valid PDF file header."
    // ("stream").
    explicit XPdfForm(std::istream &stream);
    static std::unique_ptr<XPdfForm> FromFile(std::u16string_view path);
    static std::unique_ptr<XPdfForm> FromStream(std::istream &stream);
    // Tried on this thread, after the empty one, for every file opened from
    // now on; an empty text forgets it.
    static void SetPassword(std::u16string password);
    ~XPdfForm() override;

    // Counted from 1.
    int PageNumber() const { return pageNumber_; }
    void SetPageNumber(int value);
    int PageIndex() const { return pageNumber_ - 1; }
    void SetPageIndex(int value) { SetPageNumber(value + 1); }

    // The external document, opened for import on first use and shared by
    // every form of the same file on this thread while any of them lives.
    Pdf::PdfDocument &ExternalDocument() const;
    int PageCount() const;
    // The external page PageNumber - 1.
    Pdf::PdfPage &Page() const;

    // The external page's size in points; pixels are the rounded points.
    int PixelWidth() const override;
    int PixelHeight() const override;
    double Width() const override { return PointWidth(); }
    double Height() const override { return PointHeight(); }
    double HorizontalResolution() const override { return 72; }
    double VerticalResolution() const override { return 72; }
    double PointWidth() const override;
    double PointHeight() const override;

    bool IsPageForm() const override { return true; }
    // Copies the page into the page's document on first use and names the
    // form in the page's resources ("/Fm0"...).
    std::string ResourceName(Pdf::PdfPage &page) const override;
    // The form object of the page in `document`, built on first use.
    Pdf::PdfReference &FormFor(Pdf::PdfDocument &document) const;

    // Lets go of the external document; later drawing fails.
    void Dispose() override;

    // "name.pdf#3" -> "name.pdf" and 3; a path without suffix shows page 1.
    struct Source {
        std::u16string path;
        int pageNumber = 1;
    };
    static Source SplitPageSuffix(std::u16string_view path);

private:
    explicit XPdfForm(Source source);
    static Source ParsePath(std::u16string_view path);
    void CheckUsable() const;

    int pageNumber_ = 1;
    mutable int pageCount_ = -1;
    mutable std::shared_ptr<Pdf::PdfDocument> external_;
};

}  // namespace ZavorPdf::Drawing
