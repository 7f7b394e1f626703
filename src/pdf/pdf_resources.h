// The resource dictionary of a page: the names under which its content
// streams reach fonts, images, forms, graphics states, patterns and
// shadings. A view onto the dictionary; it owns nothing.
#pragma once

#include <string>

#include "pdf/pdf_dictionary.h"

namespace ZavorPdf::Pdf {

class PdfPage;

enum class ResourceKind { Font, Image, Form, ExtGState, Pattern, Shading };

class PdfResources {
public:
    // The dictionary must outlive the view.
    explicit PdfResources(PdfDictionary &dictionary) : dictionary_(&dictionary) {}

    // The page's "/Resources", created with the usual "/ProcSet" when absent.
    static PdfResources ForPage(PdfPage &page);

    PdfDictionary &Dictionary() const { return *dictionary_; }

    // The name of an indirect object in the kind's subdictionary ("/Font",
    // "/XObject", "/ExtGState", "/Pattern", "/Shading"). An object already
    // there keeps its name; a new one gets "/F0", "/I0", "/Fm0", "/GS0",
    // "/Pa0" or "/Sh0" and so on, skipping names in use in any
    // subdictionary. A direct object fails with "PdfObject must be an
    // indirect object.".
    std::string Add(ResourceKind kind, const PdfObject &object);

    // The subdictionary key and the name prefix of a kind.
    static const char *SubdictionaryKey(ResourceKind kind);
    static const char *NamePrefix(ResourceKind kind);

private:
    PdfDictionary &Subdictionary(ResourceKind kind);
    bool NameInUse(const std::string &name) const;

    PdfDictionary *dictionary_;  // non-owning
};

}  // namespace ZavorPdf::Pdf
