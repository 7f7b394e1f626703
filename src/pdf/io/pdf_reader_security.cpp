#include "pdf/io/pdf_reader_security.h"

#include "pdf/errors.h"
#include "pdf/io/parser.h"
#include "pdf/io/reader_messages.h"
#include "pdf/messages.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_standard_security_handler.h"
#include "pdf/pdf_trailer.h"

namespace ZavorPdf::Pdf::IO {

// The "/Encrypt" dictionary is read ahead of all other objects: their
// strings and streams can only be used once its key is known.
ReaderSecurity::ReaderSecurity(PdfDocument &document, Parser &parser) : document_(document), parser_(parser) {
    PdfTrailer &trailer = document_.Trailer();
    PdfReference *reference = trailer.Elements().GetReference(PdfTrailer::Keys::Encrypt);
    encrypted_ = reference != nullptr;
    if (!encrypted_) return;
    if (reference->Value() == nullptr) parser_.ReadObject(nullptr, reference->ObjectID());
    handler_ = trailer.ExistingSecurityHandler();
    if (handler_ == nullptr) throw PdfReaderException(Messages::InvalidPdf);
}

bool ReaderSecurity::Sufficient(Access access, PdfDocumentOpenMode mode) const {
    if (access == Access::Owner) return true;
    return access == Access::User && mode != PdfDocumentOpenMode::Modify;
}

// The provider is asked again after every password that does not suffice,
// until one does or it gives up.
bool ReaderSecurity::Authenticate(const std::optional<std::u16string> &password, PdfDocumentOpenMode mode,
                                  const PdfPasswordProvider &provider) {
    if (!encrypted_) return true;
    Access access = Validate(password.value_or(std::u16string()));
    while (!Sufficient(access, mode)) {
        if (!provider) {
            const PdfReadFailure reason = PdfReadFailure::Password;
            if (access == Access::User) throw PdfReaderException(ReaderMessages::OwnerPasswordRequired, reason);
            if (!password) throw PdfReaderException(ReaderMessages::PasswordRequired, reason);
            throw PdfReaderException(ReaderMessages::InvalidPassword, reason);
        }
        PdfPasswordProviderArgs args;
        provider(args);
        if (args.Abort) return false;
        access = Validate(args.Password);
    }
    return true;
}

ReaderSecurity::Access ReaderSecurity::Validate(const std::u16string &password) {
    switch (handler_->ValidatePassword(password)) {
    case PasswordValidity::OwnerPassword: return Access::Owner;
    case PasswordValidity::UserPassword: return Access::User;
    default: return Access::None;
    }
}

void ReaderSecurity::DecryptDocument() {
    if (handler_ != nullptr) handler_->EncryptDocument();
}

}  // namespace ZavorPdf::Pdf::IO
