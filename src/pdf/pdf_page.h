// One page: its boxes, orientation, rotation and content streams.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "pdf/page_size.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document_options.h"
#include "pdf/pdf_rectangle.h"

namespace ZavorPdf::Pdf {

class PdfAnnotations;
class PdfContents;
class PdfLinkAnnotation;
class PdfPages;

class PdfPage : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Type = "/Type";
        static constexpr const char *Parent = "/Parent";
        static constexpr const char *LastModified = "/LastModified";
        static constexpr const char *Resources = "/Resources";
        static constexpr const char *MediaBox = "/MediaBox";
        static constexpr const char *CropBox = "/CropBox";
        static constexpr const char *BleedBox = "/BleedBox";
        static constexpr const char *TrimBox = "/TrimBox";
        static constexpr const char *ArtBox = "/ArtBox";
        static constexpr const char *Contents = "/Contents";
        static constexpr const char *Rotate = "/Rotate";
        static constexpr const char *Group = "/Group";
        static constexpr const char *Annots = "/Annots";
        static constexpr const char *UserUnit = "/UserUnit";
        static const DictionaryMeta &Meta();
    };

    // A page of the default paper of the user's locale: A4 where the
    // metric system is used, Letter elsewhere.
    PdfPage();
    // A page of the given size that belongs to no document yet.
    explicit PdfPage(PageSize size);
    // A page of the document's default size whose "/Parent" is the
    // document's page tree (it is not inserted into the tree).
    explicit PdfPage(PdfDocument *document);
    // Takes over a dictionary read from a file; it is landscape when its
    // rotation is an odd multiple of 90 degrees.
    explicit PdfPage(PdfDictionary &&dictionary);
    PdfPage(const PdfPage &other) = default;

    const DictionaryMeta *Meta() const override { return &Keys::Meta(); }
    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfPage>(*this); }

    // The named size last set; Undefined after a free width or height.
    PageSize Size() const { return size_; }
    // The media box becomes (0, 0, width, height) of the named size. A
    // number that is no PageSize member fails (argument "value").
    void SetSize(PageSize value);

    // The media box always stays portrait; landscape pages report width and
    // height exchanged and are written with the box turned.
    PageOrientation Orientation() const { return orientation_; }
    void SetOrientation(PageOrientation value) { orientation_ = value; }

    // In points.
    double Width() const;
    void SetWidth(double value);
    double Height() const;
    void SetHeight(double value);
    // The longest side that viewers still show, in default user space units
    // (200 inches); a page must also have a positive width and height.
    static constexpr double kLargestSide = 14400;
    bool HasViewableSize() const;

    // Multiples of 90 only ("Value must be a multiple of 90.").
    int Rotate() const { return Elements().GetInteger(Keys::Rotate); }
    void SetRotate(int value);

    PdfRectangle MediaBox() const { return Elements().GetRectangle(Keys::MediaBox); }
    void SetMediaBox(const PdfRectangle &value) { Elements().SetRectangle(Keys::MediaBox, value); }
    // The optional boxes read as the empty rectangle while absent.
    PdfRectangle CropBox() const { return Elements().GetRectangle(Keys::CropBox); }
    void SetCropBox(const PdfRectangle &value) { Elements().SetRectangle(Keys::CropBox, value); }
    PdfRectangle BleedBox() const { return Elements().GetRectangle(Keys::BleedBox); }
    void SetBleedBox(const PdfRectangle &value) { Elements().SetRectangle(Keys::BleedBox, value); }
    PdfRectangle TrimBox() const { return Elements().GetRectangle(Keys::TrimBox); }
    void SetTrimBox(const PdfRectangle &value) { Elements().SetRectangle(Keys::TrimBox, value); }
    PdfRectangle ArtBox() const { return Elements().GetRectangle(Keys::ArtBox); }
    void SetArtBox(const PdfRectangle &value) { Elements().SetRectangle(Keys::ArtBox, value); }

    const TrimMargins &GetTrimMargins() const;
    void SetTrimMargins(const TrimMargins &value);

    // The content streams, created on first use.
    PdfContents &Contents();
    // The page's annotations ("/Annots"), created on first use.
    PdfAnnotations &Annotations();
    // Invisible link areas; the rectangle is in default page space. The
    // destination page is 1-based.
    PdfLinkAnnotation &AddDocumentLink(const PdfRectangle &rectangle, int destinationPage);
    PdfLinkAnnotation &AddWebLink(const PdfRectangle &rectangle, std::u16string url);
    PdfLinkAnnotation &AddFileLink(const PdfRectangle &rectangle, std::u16string fileName);

    // Grows the boxes by the trim margins, when there are any.
    void PrepareForSave();

    // Writes the media box turned for landscape pages and adds the
    // transparency group that every written page carries.
    void WriteObject(IO::PdfWriter &writer) const override;

private:
    friend class PdfPages;
    // Joins the page to a tree: the document and "/Parent".
    void AttachTo(PdfPages &tree);
    void Initialize(PageSize size);
    void AddTransparencyGroup();

    PageSize size_ = PageSize::Undefined;
    PageOrientation orientation_ = PageOrientation::Portrait;
    // The trim margins, and the media box before and after they were last
    // added. Only pages with margins have them: the document keeps every
    // page, most without. Shared by copies and replaced, never changed.
    struct Margins {
        TrimMargins trim;
        std::optional<PdfRectangle> netMediaBox;
        std::optional<PdfRectangle> grownMediaBox;
    };
    std::shared_ptr<const Margins> margins_;
};

}  // namespace ZavorPdf::Pdf
