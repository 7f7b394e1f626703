#include "pdf/pdf_document_information.h"

#include "pdf/item_access.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_text_string.h"

namespace ZavorPdf::Pdf {

const DictionaryMeta &PdfDocumentInformation::Keys::Meta() {
    static const DictionaryMeta meta({
        KeyDescriptor(Title, KeyType::TextString | KeyType::Optional),
        KeyDescriptor(Author, KeyType::TextString | KeyType::Optional),
        KeyDescriptor(Subject, KeyType::TextString | KeyType::Optional, "1.1"),
        KeyDescriptor(Keywords, KeyType::TextString | KeyType::Optional, "1.1"),
        KeyDescriptor(Creator, KeyType::TextString | KeyType::Optional),
        KeyDescriptor(Producer, KeyType::TextString | KeyType::Optional),
        KeyDescriptor(CreationDate, KeyType::Date | KeyType::Optional),
        KeyDescriptor(ModDate, KeyType::Date | KeyType::Optional, "1.1"),
        KeyDescriptor(Trapped, KeyType::Name | KeyType::Optional, "1.3"),
    });
    return meta;
}

LocalDateTime PdfDocumentInformation::CreationDate() const {
    return Elements().GetDateTime(Keys::CreationDate, PdfDate::CurrentTime());
}

LocalDateTime PdfDocumentInformation::ModificationDate() const {
    return Elements().GetDateTime(Keys::ModDate, PdfDate::CurrentTime());
}

std::u16string PdfDocumentInformation::Text(const char *key) const {
    const PdfItem *item = Internal::Resolve(Elements()[key]);
    if (const auto *text = dynamic_cast<const PdfString *>(item)) return Internal::TextStringValue(*text);
    if (const auto *text = dynamic_cast<const PdfStringObject *>(item)) return Internal::TextStringValue(text->Value());
    return Elements().GetString(key);
}

void PdfDocumentInformation::SetText(const char *key, std::u16string value) {
    Elements().SetValue(key, std::make_unique<PdfString>(Internal::DocEncodedTextString(std::move(value))));
}

}  // namespace ZavorPdf::Pdf
