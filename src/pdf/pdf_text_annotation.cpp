#include "pdf/pdf_text_annotation.h"

#include <array>

namespace ZavorPdf::Pdf {
namespace {

constexpr std::array<EnumName<PdfTextAnnotationIcon>, 7> kIcons = {{
    {PdfTextAnnotationIcon::Comment, "Comment"},
    {PdfTextAnnotationIcon::Help, "Help"},
    {PdfTextAnnotationIcon::Insert, "Insert"},
    {PdfTextAnnotationIcon::Key, "Key"},
    {PdfTextAnnotationIcon::NewParagraph, "NewParagraph"},
    {PdfTextAnnotationIcon::Note, "Note"},
    {PdfTextAnnotationIcon::Paragraph, "Paragraph"},
}};

}  // namespace

const DictionaryMeta &PdfTextAnnotation::Keys::Meta() {
    static const DictionaryMeta meta(
        {
            KeyDescriptor(Open, KeyType::Boolean | KeyType::Optional),
            KeyDescriptor(Name, KeyType::Name | KeyType::Optional),
        },
        &PdfAnnotation::Keys::Meta());
    return meta;
}

PdfTextAnnotation::PdfTextAnnotation(PdfDocument *document) : PdfAnnotation(document) {
    Elements().SetName(Keys::Subtype, "/Text");
    SetIcon(PdfTextAnnotationIcon::Comment);
}

void PdfTextAnnotation::SetOpen(bool value) {
    Elements().SetBoolean(Keys::Open, value);
    Touch();
}

PdfTextAnnotationIcon PdfTextAnnotation::Icon() const {
    return Elements().GetEnumFromName(Keys::Name, PdfTextAnnotationIcon::NoIcon,
                                      std::span<const EnumName<PdfTextAnnotationIcon>>(kIcons));
}

void PdfTextAnnotation::SetIcon(PdfTextAnnotationIcon value) {
    bool named = false;
    for (const auto &icon : kIcons) named = named || icon.value == value;
    if (named)
        Elements().SetEnumAsName(Keys::Name, value, std::span<const EnumName<PdfTextAnnotationIcon>>(kIcons));
    else
        Elements().Remove(Keys::Name);
    Touch();
}

}  // namespace ZavorPdf::Pdf
