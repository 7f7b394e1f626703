#include "pdf/pdf_security_settings.h"

#include "pdf/errors.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_trailer.h"

namespace ZavorPdf::Pdf {

void PdfSecuritySettings::SetDocumentSecurityLevel(PdfDocumentSecurityLevel value) {
    auto number = static_cast<int>(value);
    if (number < 0 || number > 2)
        throw ArgumentException("The value of argument 'value' (" + std::to_string(number) +
                                    ") is invalid for Enum type 'PdfDocumentSecurityLevel'.",
                                "value");
    level_ = value;
}

void PdfSecuritySettings::SetUserPassword(std::u16string value) {
    SecurityHandler().SetUserPassword(std::move(value));
    if (level_ == PdfDocumentSecurityLevel::None) level_ = PdfDocumentSecurityLevel::Encrypted128Bit;
}

void PdfSecuritySettings::SetOwnerPassword(std::u16string value) {
    SecurityHandler().SetOwnerPassword(std::move(value));
    if (level_ == PdfDocumentSecurityLevel::None) level_ = PdfDocumentSecurityLevel::Encrypted128Bit;
}

bool PdfSecuritySettings::CanSave(std::string &message) const {
    if (level_ == PdfDocumentSecurityLevel::None) return true;
    const PdfStandardSecurityHandler *handler = ExistingSecurityHandler();
    bool hasUser = handler != nullptr && !handler->UserPassword().value_or(u"").empty();
    bool hasOwner = handler != nullptr && !handler->OwnerPassword().value_or(u"").empty();
    if (hasUser || hasOwner) return true;
    message = NoPasswordMessage;
    return false;
}

PdfStandardSecurityHandler &PdfSecuritySettings::SecurityHandler() { return document_.Trailer().SecurityHandler(); }

PdfStandardSecurityHandler *PdfSecuritySettings::ExistingSecurityHandler() const {
    return document_.Trailer().ExistingSecurityHandler();
}

bool PdfSecuritySettings::Permitted(PdfUserAccessPermission flag) const {
    const PdfStandardSecurityHandler *handler = ExistingSecurityHandler();
    std::int32_t permission = handler != nullptr ? handler->Permission()
                                                 : static_cast<std::int32_t>(PdfUserAccessPermission::PermitAll);
    return (permission & static_cast<std::int32_t>(flag)) != 0;
}

void PdfSecuritySettings::Permit(PdfUserAccessPermission flag, bool value) {
    PdfStandardSecurityHandler &handler = SecurityHandler();
    std::int32_t bit = static_cast<std::int32_t>(flag);
    handler.SetPermission(value ? (handler.Permission() | bit) : (handler.Permission() & ~bit));
}

}  // namespace ZavorPdf::Pdf
