#include "pdf/pdf_document_information.h"

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

}  // namespace ZavorPdf::Pdf
