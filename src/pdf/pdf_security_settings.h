// The security of one document: how strongly a saved file is encrypted, its
// passwords and permissions. Passwords and permissions live in the
// document's security handler ("/Encrypt"), created on first need.
#pragma once

#include <string>

#include "pdf/pdf_standard_security_handler.h"

namespace ZavorPdf::Pdf {

class PdfDocument;

class PdfSecuritySettings {
public:
    // Why a document with security but no password cannot be saved.
    static constexpr const char *NoPasswordMessage =
        "A PDF document with security enabled cannot be saved without a user or owner password.";

    // Non-owning: the document owns its settings.
    explicit PdfSecuritySettings(PdfDocument &document) : document_(document) {}
    PdfSecuritySettings(const PdfSecuritySettings &) = delete;
    PdfSecuritySettings &operator=(const PdfSecuritySettings &) = delete;

    PdfDocumentSecurityLevel DocumentSecurityLevel() const { return level_; }
    // Fails for a value outside the enumeration (argument "value").
    void SetDocumentSecurityLevel(PdfDocumentSecurityLevel value);

    // Setting either password raises the level None to Encrypted128Bit. A
    // password that the handler refuses changes neither.
    void SetUserPassword(std::u16string value);
    void SetOwnerPassword(std::u16string value);

    bool HasOwnerPermissions() const { return hasOwnerPermissions_; }
    void SetHasOwnerPermissions(bool value) { hasOwnerPermissions_ = value; }

    // False, with the reason, when the level asks for encryption but no
    // password is set.
    bool CanSave(std::string &message) const;

    // Each flag is one bit of the handler's "/P".
    bool PermitPrint() const { return Permitted(PdfUserAccessPermission::PermitPrint); }
    void SetPermitPrint(bool value) { Permit(PdfUserAccessPermission::PermitPrint, value); }
    bool PermitModifyDocument() const { return Permitted(PdfUserAccessPermission::PermitModifyDocument); }
    void SetPermitModifyDocument(bool value) { Permit(PdfUserAccessPermission::PermitModifyDocument, value); }
    bool PermitExtractContent() const { return Permitted(PdfUserAccessPermission::PermitExtractContent); }
    void SetPermitExtractContent(bool value) { Permit(PdfUserAccessPermission::PermitExtractContent, value); }
    bool PermitAnnotations() const { return Permitted(PdfUserAccessPermission::PermitAnnotations); }
    void SetPermitAnnotations(bool value) { Permit(PdfUserAccessPermission::PermitAnnotations, value); }
    bool PermitFormsFill() const { return Permitted(PdfUserAccessPermission::PermitFormsFill); }
    void SetPermitFormsFill(bool value) { Permit(PdfUserAccessPermission::PermitFormsFill, value); }
    bool PermitAccessibilityExtractContent() const {
        return Permitted(PdfUserAccessPermission::PermitAccessibilityExtractContent);
    }
    void SetPermitAccessibilityExtractContent(bool value) {
        Permit(PdfUserAccessPermission::PermitAccessibilityExtractContent, value);
    }
    bool PermitAssembleDocument() const { return Permitted(PdfUserAccessPermission::PermitAssembleDocument); }
    void SetPermitAssembleDocument(bool value) { Permit(PdfUserAccessPermission::PermitAssembleDocument, value); }
    bool PermitFullQualityPrint() const { return Permitted(PdfUserAccessPermission::PermitFullQualityPrint); }
    void SetPermitFullQualityPrint(bool value) { Permit(PdfUserAccessPermission::PermitFullQualityPrint, value); }

    // The document's handler, created (as the trailer's indirect "/Encrypt")
    // on first use.
    PdfStandardSecurityHandler &SecurityHandler();
    // Null while there is none.
    PdfStandardSecurityHandler *ExistingSecurityHandler() const;

private:
    bool Permitted(PdfUserAccessPermission flag) const;
    void Permit(PdfUserAccessPermission flag, bool value);

    PdfDocument &document_;
    PdfDocumentSecurityLevel level_ = PdfDocumentSecurityLevel::None;
    bool hasOwnerPermissions_ = true;
};

}  // namespace ZavorPdf::Pdf
