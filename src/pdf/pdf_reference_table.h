// The table of a document's indirect objects. It owns every indirect object
// and every reference: containers only point at references, and a reference
// only points at its object, so no ownership cycle can form however the
// objects refer to each other.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "pdf/pdf_object_id.h"

namespace ZavorPdf::Pdf {

class PdfDictionary;
class PdfDocument;
class PdfObject;
class PdfReference;

class PdfReferenceTable {
public:
    // Nesting depth of one closure pass; deeper objects wait for a further
    // pass, so that the walk's own stack stays bounded.
    static constexpr int ClosurePassDepth = 1000;

    explicit PdfReferenceTable(PdfDocument *document);
    PdfReferenceTable(const PdfReferenceTable &) = delete;
    PdfReferenceTable &operator=(const PdfReferenceTable &) = delete;
    ~PdfReferenceTable();

    // Makes the object indirect under the next new number. An object
    // without a document gets this table's; one of another document fails
    // with "Cannot change document.".
    PdfReference *Add(std::unique_ptr<PdfObject> object);
    // Files the object under a given ID (the reader). A reference already
    // made for the ID by GetOrCreateReference is reused; an ID that already
    // has an object fails with "Object already in table.".
    PdfReference *Add(PdfObjectID id, std::unique_ptr<PdfObject> object);
    // The reference for an ID whose object has not been read yet.
    PdfReference *GetOrCreateReference(PdfObjectID id);

    // Frees the object. Its reference stays alive, without value, for
    // containers that still point at it, until the next Compact.
    void Remove(PdfObjectID id);

    // Null when absent.
    PdfReference *operator[](PdfObjectID id) const;
    bool Contains(PdfObjectID id) const { return entries_.contains(id); }
    int Count() const { return static_cast<int>(entries_.size()); }
    // Sorted by object number, then generation.
    std::vector<PdfReference *> AllReferences() const;
    std::vector<PdfObjectID> AllObjectIDs() const;
    // Those numbered `objectNumber` or higher, sorted as above.
    std::vector<PdfReference *> ReferencesFrom(std::int32_t objectNumber) const;

    // Increments the highest number handed out so far and returns it.
    std::int32_t GetNewObjectNumber() { return ++maxObjectNumber_; }
    std::int32_t MaxObjectNumber() const { return maxObjectNumber_; }

    // The references reachable from the object, in the order first met.
    // The start belongs to it only when some reference reaches it.
    std::vector<PdfReference *> TransitiveClosure(const PdfObject &start, int depth = 32767) const;

    // Keeps exactly the objects reachable from the root (the trailer) and
    // frees the rest; returns the number dropped. A reachable reference
    // without object gets a null object, so that every number written has
    // an object behind it.
    int Compact(const PdfObject &root);
    // Numbers the objects 1, 2, 3 ... (generation 0) in their current order.
    void Renumber();

    // Replaces the object behind a reference by another that has taken its
    // place (typed conversion); the old one is freed.
    void ReplaceObject(PdfReference &reference, std::unique_ptr<PdfObject> object);
    // Frees the object behind the reference and marks it damaged; the
    // reference stays in the table (the reader, for an object that it
    // parsed but could not decrypt).
    void DiscardDamaged(PdfReference &reference);

    // Grows whenever objects leave the table (Remove, Compact), so that
    // whoever keeps references can tell whether one may be gone without
    // searching the table.
    std::uint64_t DropCount() const { return dropCount_; }

    // True while a file is being read into the document.
    bool IsUnderConstruction() const { return underConstruction_; }
    void SetUnderConstruction(bool value) { underConstruction_ = value; }

    PdfDocument *Document() const { return document_; }

private:
    struct Entry {
        std::unique_ptr<PdfReference> reference;
        std::unique_ptr<PdfObject> object;
    };

    PdfReference *Attach(Entry &entry, std::unique_ptr<PdfObject> object);

    PdfDocument *document_;  // non-owning back pointer
    std::map<PdfObjectID, Entry> entries_;
    // References whose objects were removed while containers may still
    // point at them.
    std::vector<std::unique_ptr<PdfReference>> detached_;
    std::int32_t maxObjectNumber_ = 0;
    std::uint64_t dropCount_ = 0;
    bool underConstruction_ = false;
};

}  // namespace ZavorPdf::Pdf
