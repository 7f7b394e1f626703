#include "pdf/pdf_catalog.h"

#include <array>

#include "pdf/pdf_outline.h"
#include "pdf/pdf_pages.h"

namespace ZavorPdf::Pdf {
namespace {

constexpr std::array<EnumName<PdfPageLayout>, 6> kLayouts = {{
    {PdfPageLayout::SinglePage, "SinglePage"},
    {PdfPageLayout::OneColumn, "OneColumn"},
    {PdfPageLayout::TwoColumnLeft, "TwoColumnLeft"},
    {PdfPageLayout::TwoColumnRight, "TwoColumnRight"},
    {PdfPageLayout::TwoPageLeft, "TwoPageLeft"},
    {PdfPageLayout::TwoPageRight, "TwoPageRight"},
}};

constexpr std::array<EnumName<PdfPageMode>, 6> kModes = {{
    {PdfPageMode::UseNone, "UseNone"},
    {PdfPageMode::UseOutlines, "UseOutlines"},
    {PdfPageMode::UseThumbs, "UseThumbs"},
    {PdfPageMode::FullScreen, "FullScreen"},
    {PdfPageMode::UseOC, "UseOC"},
    {PdfPageMode::UseAttachments, "UseAttachments"},
}};

}  // namespace

const DictionaryMeta &PdfCatalog::Keys::Meta() {
    static const DictionaryMeta meta({
        KeyDescriptor(Type, KeyType::Name | KeyType::Required),
        KeyDescriptor(Version, KeyType::Name | KeyType::Optional, "1.4"),
        TypedKey<PdfPages>(Pages, KeyType::Dictionary | KeyType::Required | KeyType::MustBeIndirect),
        KeyDescriptor(PageLabels, KeyType::NumberTree | KeyType::Optional, "1.3"),
        KeyDescriptor(Names, KeyType::Dictionary | KeyType::Optional, "1.2"),
        KeyDescriptor(Dests, KeyType::Dictionary | KeyType::Optional, "1.1"),
        KeyDescriptor(ViewerPreferences, KeyType::Dictionary | KeyType::Optional, "1.2"),
        KeyDescriptor(PageLayout, KeyType::Name | KeyType::Optional),
        KeyDescriptor(PageMode, KeyType::Name | KeyType::Optional),
        TypedKey<PdfOutline>(Outlines, KeyType::Dictionary | KeyType::Optional | KeyType::MustBeIndirect),
        KeyDescriptor(OpenAction, KeyType::ArrayOrDictionary | KeyType::Optional, "1.1"),
        KeyDescriptor(AcroForm, KeyType::Dictionary | KeyType::Optional, "1.2"),
        KeyDescriptor(Metadata, KeyType::Stream | KeyType::Optional, "1.4"),
        KeyDescriptor(Lang, KeyType::TextString | KeyType::Optional, "1.4"),
    });
    return meta;
}

PdfCatalog::PdfCatalog(PdfDocument *document) : PdfDictionary(document) { Elements().SetName(Keys::Type, "/Catalog"); }

PdfPages &PdfCatalog::Pages() { return *Elements().GetValue<PdfPages>(Keys::Pages, VCF::CreateIndirect); }

PdfOutline &PdfCatalog::Outlines() { return *Elements().GetValue<PdfOutline>(Keys::Outlines, VCF::CreateIndirect); }

PdfPageLayout PdfCatalog::PageLayout() const {
    return Elements().GetEnumFromName(Keys::PageLayout, PdfPageLayout::SinglePage,
                                      std::span<const EnumName<PdfPageLayout>>(kLayouts));
}

void PdfCatalog::SetPageLayout(PdfPageLayout value) {
    Elements().SetEnumAsName(Keys::PageLayout, value, std::span<const EnumName<PdfPageLayout>>(kLayouts));
}

PdfPageMode PdfCatalog::PageMode() const {
    return Elements().GetEnumFromName(Keys::PageMode, PdfPageMode::UseNone,
                                      std::span<const EnumName<PdfPageMode>>(kModes));
}

void PdfCatalog::SetPageMode(PdfPageMode value) {
    Elements().SetEnumAsName(Keys::PageMode, value, std::span<const EnumName<PdfPageMode>>(kModes));
}

void PdfCatalog::PrepareForSave() {
    if (Elements().ContainsKey(Keys::Pages))
        Pages().PrepareForSave();
    // A file read may name an outline root that it lacks.
    if (Elements().GetDictionary(Keys::Outlines) == nullptr) return;
    PdfOutline &root = Outlines();
    if (!root.HasChildren()) return;
    if (!HasPageMode()) SetPageMode(PdfPageMode::UseOutlines);
    root.PrepareForSave();
}

}  // namespace ZavorPdf::Pdf
