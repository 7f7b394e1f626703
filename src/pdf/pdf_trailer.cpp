#include "pdf/pdf_trailer.h"

#include "pdf/pdf_array.h"
#include "pdf/pdf_catalog.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_standard_security_handler.h"
#include "pdf/pdf_string.h"
#include "platform/random_id.h"

namespace ZavorPdf::Pdf {

const DictionaryMeta &PdfTrailer::Keys::Meta() {
    static const DictionaryMeta meta({
        KeyDescriptor(Size, KeyType::Integer | KeyType::Required),
        KeyDescriptor(Prev, KeyType::Integer | KeyType::Optional),
        TypedKey<PdfCatalog>(Root, KeyType::Dictionary | KeyType::Required | KeyType::MustBeIndirect),
        TypedKey<PdfStandardSecurityHandler>(Encrypt,
                                             KeyType::Dictionary | KeyType::Optional | KeyType::MustBeIndirect),
        TypedKey<PdfDocumentInformation>(Info, KeyType::Dictionary | KeyType::Optional | KeyType::MustBeIndirect),
        KeyDescriptor(ID, KeyType::Array | KeyType::Optional),
        KeyDescriptor(XRefStm, KeyType::Integer | KeyType::Optional),
    });
    return meta;
}

PdfDocumentInformation &PdfTrailer::Info() {
    return *Elements().GetValue<PdfDocumentInformation>(Keys::Info, VCF::CreateIndirect);
}

PdfCatalog &PdfTrailer::Root() { return *Elements().GetValue<PdfCatalog>(Keys::Root, VCF::CreateIndirect); }

PdfStandardSecurityHandler &PdfTrailer::SecurityHandler() {
    return *Elements().GetValue<PdfStandardSecurityHandler>(Keys::Encrypt, VCF::CreateIndirect);
}

PdfStandardSecurityHandler *PdfTrailer::ExistingSecurityHandler() {
    if (!Elements().ContainsKey(Keys::Encrypt)) return nullptr;
    return Elements().GetValue<PdfStandardSecurityHandler>(Keys::Encrypt);
}

void PdfTrailer::CreateNewDocumentIDs() {
    auto guid = ZavorPlatform::NewGuid();
    std::vector<std::uint8_t> bytes(guid.begin(), guid.end());
    auto ids = std::make_unique<PdfArray>(Owner());
    ids->Elements().Add(std::make_unique<PdfString>(PdfString::FromBytes(bytes, PdfStringFlags::HexLiteral)));
    ids->Elements().Add(std::make_unique<PdfString>(PdfString::FromBytes(bytes, PdfStringFlags::HexLiteral)));
    Elements().SetObject(Keys::ID, std::move(ids));
}

std::vector<std::uint8_t> PdfTrailer::DocumentID(int index) const {
    const PdfArray *ids = Elements().GetArray(Keys::ID);
    if (ids == nullptr || index < 0 || index >= ids->Elements().Count())
        return {};
    std::u16string text = ids->Elements().GetString(index);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace ZavorPdf::Pdf
