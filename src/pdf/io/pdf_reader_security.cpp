#include "pdf/io/pdf_reader_security.h"

#include "pdf/errors.h"
#include "pdf/io/parser.h"
#include "pdf/io/reader_messages.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_trailer.h"

namespace ZavorPdf::Pdf::IO {

ReaderSecurity::ReaderSecurity(PdfDocument &document, Parser &parser) : document_(document), parser_(parser) {
    encrypted_ = document_.Trailer().Elements().GetReference(PdfTrailer::Keys::Encrypt) != nullptr;
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
            if (access == Access::User) throw PdfReaderException(ReaderMessages::OwnerPasswordRequired);
            if (!password) throw PdfReaderException(ReaderMessages::PasswordRequired);
            throw PdfReaderException(ReaderMessages::InvalidPassword);
        }
        PdfPasswordProviderArgs args;
        provider(args);
        if (args.Abort) return false;
        access = Validate(args.Password);
    }
    return true;
}

ReaderSecurity::Access ReaderSecurity::Validate(const std::u16string &) {
    throw NotSupportedException("Encrypted PDF files cannot be opened yet.");
}

void ReaderSecurity::DecryptDocument() {}

}  // namespace ZavorPdf::Pdf::IO
