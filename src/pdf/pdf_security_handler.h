// Base of the encryption dictionaries ("/Encrypt"). Only the standard,
// password-based handler exists.
#pragma once

#include "pdf/pdf_dictionary.h"

namespace ZavorPdf::Pdf {

class PdfSecurityHandler : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Filter = "/Filter";
        static constexpr const char *SubFilter = "/SubFilter";
        static constexpr const char *V = "/V";
        static constexpr const char *Length = "/Length";
    };

protected:
    explicit PdfSecurityHandler(PdfDocument *document) : PdfDictionary(document) {}
    explicit PdfSecurityHandler(PdfDictionary &&dictionary) : PdfDictionary(std::move(dictionary)) {}
    PdfSecurityHandler(const PdfSecurityHandler &other) = default;
};

}  // namespace ZavorPdf::Pdf
