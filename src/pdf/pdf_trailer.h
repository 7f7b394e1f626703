// The trailer dictionary: the entry point of a file, naming the catalog, the
// information dictionary, the encryption dictionary and the file's /ID.
#pragma once

#include <array>
#include <cstdint>

#include "pdf/pdf_dictionary.h"

namespace ZavorPdf::Pdf {

class PdfCatalog;
class PdfDocumentInformation;
class PdfStandardSecurityHandler;

class PdfTrailer : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Size = "/Size";
        static constexpr const char *Prev = "/Prev";
        static constexpr const char *Root = "/Root";
        static constexpr const char *Encrypt = "/Encrypt";
        static constexpr const char *Info = "/Info";
        static constexpr const char *ID = "/ID";
        static constexpr const char *XRefStm = "/XRefStm";
        static const DictionaryMeta &Meta();
    };

    explicit PdfTrailer(PdfDocument *document = nullptr) : PdfDictionary(document) {}
    explicit PdfTrailer(PdfDictionary &&dictionary) : PdfDictionary(std::move(dictionary)) {}

    const DictionaryMeta *Meta() const override { return &Keys::Meta(); }
    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfTrailer>(*this); }

    // Created as indirect objects on first use; the order of first use fixes
    // their object numbers.
    PdfDocumentInformation &Info();
    PdfCatalog &Root();
    // "/Encrypt": created as an indirect object on first use; the existing
    // one (a dictionary read from a file becomes the typed handler in
    // place), or null when there is none.
    PdfStandardSecurityHandler &SecurityHandler();
    PdfStandardSecurityHandler *ExistingSecurityHandler();

    int Size() const { return Elements().GetInteger(Keys::Size); }
    void SetSize(int value) { Elements().SetInteger(Keys::Size, value); }

    // "/ID": two equal hex strings, each the 16 bytes of a new random GUID.
    void CreateNewDocumentIDs();
    // One of the two identifiers (index 0 or 1) as raw bytes; empty when
    // there is none.
    std::vector<std::uint8_t> DocumentID(int index) const;
};

}  // namespace ZavorPdf::Pdf
