// The password check of an encrypted file being opened, and the decryption
// of its objects once they are read.
#pragma once

#include <optional>
#include <string>

#include "pdf/io/pdf_reader.h"

namespace ZavorPdf::Pdf {
class PdfStandardSecurityHandler;
}

namespace ZavorPdf::Pdf::IO {

class Parser;

class ReaderSecurity {
public:
    // What a password opens.
    enum class Access { None, User, Owner };

    // Both must outlive this object.
    ReaderSecurity(PdfDocument &document, Parser &parser);

    bool IsEncrypted() const { return encrypted_; }
    // Checks the password against the mode; false when the provider gave up.
    // Fails with the password messages when no usable password is known.
    bool Authenticate(const std::optional<std::u16string> &password, PdfDocumentOpenMode mode,
                      const PdfPasswordProvider &provider);
    // Decrypts the strings and streams of every object read.
    void DecryptDocument();
    // The document's "/Encrypt" dictionary; null for a file without one.
    PdfStandardSecurityHandler *Handler() const { return handler_; }

private:
    Access Validate(const std::u16string &password);
    bool Sufficient(Access access, PdfDocumentOpenMode mode) const;

    PdfDocument &document_;  // non-owning
    Parser &parser_;         // non-owning
    bool encrypted_ = false;
    PdfStandardSecurityHandler *handler_ = nullptr;  // non-owning, the document's "/Encrypt"
};

}  // namespace ZavorPdf::Pdf::IO
