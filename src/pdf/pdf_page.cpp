#include "pdf/pdf_page.h"

#include <string>

#include "pdf/errors.h"
#include "pdf/page_size_converter.h"
#include "pdf/pdf_annotations.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_link_annotation.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"

namespace ZavorPdf::Pdf {
namespace {

// Puts the portrait media box back after a landscape page was written with
// its box turned, also when writing fails.
class RestoreMediaBox {
public:
    RestoreMediaBox(PdfPage &page, const PdfRectangle &box) : page_(page), box_(box) {}
    ~RestoreMediaBox() { page_.SetMediaBox(box_); }
    RestoreMediaBox(const RestoreMediaBox &) = delete;
    RestoreMediaBox &operator=(const RestoreMediaBox &) = delete;

private:
    PdfPage &page_;
    PdfRectangle box_;
};

bool SameBox(const PdfRectangle &a, const PdfRectangle &b) {
    return a.X1() == b.X1() && a.Y1() == b.Y1() && a.X2() == b.X2() && a.Y2() == b.Y2();
}

}  // namespace

const DictionaryMeta &PdfPage::Keys::Meta() {
    static const DictionaryMeta meta({
        KeyDescriptor(Type, KeyType::Name | KeyType::Required),
        KeyDescriptor(Parent, KeyType::Dictionary | KeyType::Required | KeyType::MustBeIndirect),
        KeyDescriptor(LastModified, KeyType::Date, "1.3"),
        KeyDescriptor(Resources, KeyType::Dictionary | KeyType::Required | KeyType::Inheritable),
        KeyDescriptor(MediaBox, KeyType::Rectangle | KeyType::Required | KeyType::Inheritable),
        KeyDescriptor(CropBox, KeyType::Rectangle | KeyType::Optional | KeyType::Inheritable),
        KeyDescriptor(BleedBox, KeyType::Rectangle | KeyType::Optional, "1.3"),
        KeyDescriptor(TrimBox, KeyType::Rectangle | KeyType::Optional, "1.3"),
        KeyDescriptor(ArtBox, KeyType::Rectangle | KeyType::Optional, "1.3"),
        KeyDescriptor(Contents, KeyType::StreamOrArray | KeyType::Optional),
        KeyDescriptor(Rotate, KeyType::Integer | KeyType::Optional | KeyType::Inheritable),
        KeyDescriptor(Group, KeyType::Dictionary | KeyType::Optional, "1.4"),
        TypedKey<PdfAnnotations>(Annots, KeyType::Array | KeyType::Optional),
        KeyDescriptor(UserUnit, KeyType::Real | KeyType::Optional, "1.6"),
    });
    return meta;
}

PdfPage::PdfPage() : PdfPage(PdfDocument::LocaleDefaultPageSize()) {}

PdfPage::PdfPage(PageSize size) { Initialize(size); }

PdfPage::PdfPage(PdfDocument *document) : PdfDictionary(document) {
    Initialize(document != nullptr ? document->DefaultPageSize() : PdfDocument::LocaleDefaultPageSize());
    if (document != nullptr)
        Elements().SetReference(Keys::Parent, document->Pages());
}

// Must not throw: the dictionary's reference already points at this object,
// so a failure here would leave it pointing at a destroyed one. A damaged
// "/Rotate" (no integer) reads as no rotation.
PdfPage::PdfPage(PdfDictionary &&dictionary) : PdfDictionary(std::move(dictionary)) {
    int rotate = 0;
    try {
        rotate = Rotate();
    } catch (const ZavorPdfException &) {
    }
    if ((rotate / 90) % 2 != 0)
        orientation_ = PageOrientation::Landscape;
}

void PdfPage::Initialize(PageSize size) {
    // A page that is drawn on gets its type, media box, parent, contents,
    // resources and transparency group; the document keeps every page.
    Elements().Reserve(6);
    Elements().SetName(Keys::Type, "/Page");
    SetSize(size);
}

void PdfPage::AttachTo(PdfPages &tree) {
    SetOwner(tree.Owner());
    Elements().SetReference(Keys::Parent, tree);
}

void PdfPage::SetSize(PageSize value) {
    if (!PageSizeConverter::IsDefined(value))
        throw ArgumentException("The value of argument 'value' (" + std::to_string(static_cast<int>(value)) +
                                    ") is invalid for Enum type 'PageSize'.",
                                "value");
    PageDimensions size = PageSizeConverter::ToSize(value);
    SetMediaBox(PdfRectangle(0, 0, size.width, size.height));
    size_ = value;
}

double PdfPage::Width() const {
    PdfRectangle box = MediaBox();
    return orientation_ == PageOrientation::Portrait ? box.Width() : box.Height();
}

double PdfPage::Height() const {
    PdfRectangle box = MediaBox();
    return orientation_ == PageOrientation::Portrait ? box.Height() : box.Width();
}

void PdfPage::SetWidth(double value) {
    PdfRectangle box = MediaBox();
    if (orientation_ == PageOrientation::Portrait)
        SetMediaBox(PdfRectangle(0, box.Y1(), value, box.Y2()));
    else
        SetMediaBox(PdfRectangle(box.X1(), 0, box.X2(), value));
    size_ = PageSize::Undefined;
}

void PdfPage::SetHeight(double value) {
    PdfRectangle box = MediaBox();
    if (orientation_ == PageOrientation::Portrait)
        SetMediaBox(PdfRectangle(box.X1(), 0, box.X2(), value));
    else
        SetMediaBox(PdfRectangle(0, box.Y1(), value, box.Y2()));
    size_ = PageSize::Undefined;
}

bool PdfPage::HasViewableSize() const {
    // Written so that a side that is not a number fails as well.
    auto viewable = [](double side) { return side > 0 && side <= kLargestSide; };
    return viewable(Width()) && viewable(Height());
}

void PdfPage::SetRotate(int value) {
    if (value % 90 != 0)
        throw ArgumentException("Value must be a multiple of 90.", "value");
    Elements().SetInteger(Keys::Rotate, value);
}

PdfAnnotations &PdfPage::Annotations() {
    auto &annotations = *Elements().GetValue<PdfAnnotations>(Keys::Annots, VCF::Create);
    annotations.SetPage(this);
    return annotations;
}

PdfLinkAnnotation &PdfPage::AddDocumentLink(const PdfRectangle &rectangle, int destinationPage) {
    return static_cast<PdfLinkAnnotation &>(
        Annotations().Add(PdfLinkAnnotation::CreateDocumentLink(rectangle, destinationPage)));
}

PdfLinkAnnotation &PdfPage::AddWebLink(const PdfRectangle &rectangle, std::u16string url) {
    return static_cast<PdfLinkAnnotation &>(
        Annotations().Add(PdfLinkAnnotation::CreateWebLink(rectangle, std::move(url))));
}

PdfLinkAnnotation &PdfPage::AddFileLink(const PdfRectangle &rectangle, std::u16string fileName) {
    return static_cast<PdfLinkAnnotation &>(
        Annotations().Add(PdfLinkAnnotation::CreateFileLink(rectangle, std::move(fileName))));
}

PdfContents &PdfPage::Contents() {
    PdfItem *stored = Elements()[Keys::Contents];
    if (auto *contents = dynamic_cast<PdfContents *>(stored))
        return *contents;
    auto *reference = dynamic_cast<PdfReference *>(stored);
    PdfObject *value = reference != nullptr ? reference->Value() : dynamic_cast<PdfObject *>(stored);
    std::unique_ptr<PdfContents> contents;
    if (auto *array = dynamic_cast<PdfArray *>(value)) {
        PdfContents::CheckElements(*array);
        if (reference != nullptr) {
            auto copy = std::unique_ptr<PdfArray>(static_cast<PdfArray *>(array->Clone().release()));
            contents = std::make_unique<PdfContents>(std::move(*copy));
        } else {
            contents = std::make_unique<PdfContents>(std::move(*array));
        }
    } else {
        contents = std::make_unique<PdfContents>(Owner());
        auto *stream = dynamic_cast<PdfDictionary *>(value);
        if (reference != nullptr && stream != nullptr && stream->Stream() != nullptr) {
            if (dynamic_cast<PdfContent *>(stream) == nullptr)
                Owner()->ReferenceTable().ReplaceObject(*reference,
                                                        std::make_unique<PdfContent>(std::move(*stream)));
            contents->Elements().AddReference(reference);
        }
    }
    PdfContents &result = *contents;
    Elements().SetObject(Keys::Contents, std::move(contents));
    return result;
}

const TrimMargins &PdfPage::GetTrimMargins() const {
    static const TrimMargins none;
    return margins_ ? margins_->trim : none;
}

void PdfPage::SetTrimMargins(const TrimMargins &value) {
    if (!margins_ && !value.AreSet())
        return;
    auto changed = std::make_shared<Margins>(margins_ ? *margins_ : Margins{});
    changed->trim = value;
    margins_ = std::move(changed);
}

void PdfPage::PrepareForSave() {
    if (!margins_ || !margins_->trim.AreSet())
        return;
    const TrimMargins trim = margins_->trim;
    // A page saved twice must not grow twice: the margins go around the size
    // the page had before the first save, unless it was changed since.
    PdfRectangle base = margins_->grownMediaBox && SameBox(MediaBox(), *margins_->grownMediaBox)
                            ? *margins_->netMediaBox
                            : MediaBox();
    bool portrait = orientation_ == PageOrientation::Portrait;
    double width = (portrait ? base.Width() : base.Height()) + trim.left + trim.right;
    double height = (portrait ? base.Height() : base.Width()) + trim.top + trim.bottom;
    // The media box is kept portrait (it is turned when written); the other
    // boxes are written as they are, so they take the page as it is seen.
    SetMediaBox(portrait ? PdfRectangle(0, 0, width, height) : PdfRectangle(0, 0, height, width));
    SetCropBox(PdfRectangle(0, 0, width, height));
    SetBleedBox(PdfRectangle(0, 0, width, height));
    SetTrimBox(PdfRectangle(trim.left, trim.top, width - trim.right, height - trim.bottom));
    SetArtBox(TrimBox());
    margins_ = std::make_shared<const Margins>(Margins{trim, base, MediaBox()});
}

void PdfPage::AddTransparencyGroup() {
    if (Elements().ContainsKey(Keys::Group))
        return;
    bool cmyk = Owner() != nullptr && Owner()->Options().ColorMode() == PdfColorMode::Cmyk;
    auto group = std::make_unique<PdfDictionary>(Owner());
    group->Elements().SetName("/CS", cmyk ? "/DeviceCMYK" : "/DeviceRGB");
    group->Elements().SetName("/S", "/Transparency");
    group->Elements().SetBoolean("/I", false);
    group->Elements().SetBoolean("/K", false);
    Elements().SetObject(Keys::Group, std::move(group));
}

void PdfPage::WriteObject(IO::PdfWriter &writer) const {
    // The writer sees objects as const; a page adjusts itself for the
    // duration of its own write.
    auto &self = const_cast<PdfPage &>(*this);
    self.AddTransparencyGroup();
    if (orientation_ == PageOrientation::Portrait) {
        PdfDictionary::WriteObject(writer);
        return;
    }
    PdfRectangle box = MediaBox();
    RestoreMediaBox restore(self, box);
    self.SetMediaBox(PdfRectangle(box.X1(), box.Y1(), box.Y2(), box.X2()));
    PdfDictionary::WriteObject(writer);
}

}  // namespace ZavorPdf::Pdf
