// Base of the values that can live as indirect objects of a document
// ("n g obj ... endobj"): arrays, dictionaries and the indirect twins of the
// simple values.
#pragma once

#include <cstdint>

#include "pdf/pdf_item.h"
#include "pdf/pdf_object_id.h"

namespace ZavorPdf::Pdf {

class PdfDocument;
class PdfReference;
class PdfReferenceTable;

class PdfObject : public PdfItem {
public:
    ~PdfObject() override = default;

    // Non-owning: the document owns its objects, never the other way round.
    PdfDocument *Owner() const { return document_; }
    // Set once; giving an object a different document fails with
    // "Cannot change document.", the same document again is allowed.
    void SetOwner(PdfDocument *document);

    // Non-owning: the reference table owns the reference. Set exactly when
    // the object is indirect.
    PdfReference *Reference() const { return reference_; }
    bool IsIndirect() const { return reference_ != nullptr; }
    PdfObjectID ObjectID() const;
    std::int32_t ObjectNumber() const { return ObjectID().ObjectNumber(); }
    std::uint16_t GenerationNumber() const { return ObjectID().GenerationNumber(); }

protected:
    explicit PdfObject(PdfDocument *document = nullptr) : PdfItem(Kind::Object), document_(document) {}
    // For the containers, which tell their kind apart.
    PdfObject(Kind kind, PdfDocument *document) : PdfItem(kind), document_(document) {}
    // A copy belongs to the same document but is direct until it is added
    // to a table.
    PdfObject(const PdfObject &other) : PdfItem(other), document_(other.document_) {}
    PdfObject &operator=(const PdfObject &) = delete;
    // Taking over from a more generic object (typed conversion): the new
    // object steps into the old one's place, reference included.
    PdfObject(PdfObject &&other) noexcept;

private:
    friend class PdfReferenceTable;
    friend class PdfReference;

    PdfDocument *document_ = nullptr;
    PdfReference *reference_ = nullptr;
};

}  // namespace ZavorPdf::Pdf
