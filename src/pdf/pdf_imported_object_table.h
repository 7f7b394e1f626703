// What one document has copied from another: for each object of the source
// document that was imported, the reference of its local copy. Importing a
// further page of the same source reuses these copies, so objects shared by
// several pages (fonts, images) arrive only once.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>

#include "pdf/pdf_object_id.h"

namespace ZavorPdf::Pdf {

class PdfDocument;
class PdfNamedDestinations;
class PdfPage;
class PdfReference;

class PdfImportedObjectTable {
public:
    PdfImportedObjectTable(PdfDocument &owner, const PdfDocument &external);
    ~PdfImportedObjectTable();
    PdfImportedObjectTable(const PdfImportedObjectTable &) = delete;
    PdfImportedObjectTable &operator=(const PdfImportedObjectTable &) = delete;

    // The importing document.
    PdfDocument &Owner() const { return owner_; }
    // The source document while it exists; null once it has been destroyed.
    // The table never keeps it alive.
    PdfDocument *ExternalDocument() const;

    // The local copy of an external object, null when it was not imported.
    PdfReference *operator[](PdfObjectID externalId) const;
    bool Contains(PdfObjectID externalId) const { return map_.contains(externalId); }
    void Add(PdfObjectID externalId, PdfReference *local);
    // Saving compacts the owner's table and frees the copies that nothing
    // reached any more; their entries are forgotten before the next import,
    // which then copies those objects again.
    void ForgetDropped();
    int Count() const { return static_cast<int>(map_.size()); }

    // One slot per external page (0-based) for the page forms made of it.
    PdfReference *Form(int pageIndex) const;
    void SetForm(int pageIndex, PdfReference *form);

    // The source's named destinations, read once on first use, as every
    // page imported from it may need them. Null once the source is gone.
    const PdfNamedDestinations *NamedDestinations();

private:
    PdfDocument &owner_;  // non-owning back pointer
    std::weak_ptr<PdfDocument *const> external_;
    // A copy remembered with the serial it had, so that a reference freed by
    // a save and another one later allocated at its address are not taken
    // for each other.
    struct LocalCopy {
        PdfReference *reference;  // owned by owner_'s table
        std::uint64_t serial;
    };
    static LocalCopy Remember(PdfReference *reference);

    std::map<PdfObjectID, LocalCopy> map_;
    std::map<int, LocalCopy> forms_;
    // The owner table's drop count when the copies were last checked: while
    // it stays the same, every remembered copy is still alive, and importing
    // page after page does not search the whole table each time.
    std::uint64_t checkedDropCount_;
    std::unique_ptr<PdfNamedDestinations> namedDestinations_;
};

// The tables of one importing document, one per source document.
class PdfImportedObjectTables {
public:
    explicit PdfImportedObjectTables(PdfDocument &owner) : owner_(owner) {}

    // The table for the source document, created on first use.
    PdfImportedObjectTable &For(const PdfDocument &external);
    // The table for the document that owns the page.
    PdfImportedObjectTable &GetImportedObjectTable(const PdfPage &page);

private:
    PdfDocument &owner_;  // non-owning back pointer
    // Keyed by the source's GUID: an address could be reused by a later
    // document once the source is gone.
    std::map<std::array<std::uint8_t, 16>, std::unique_ptr<PdfImportedObjectTable>> tables_;
};

}  // namespace ZavorPdf::Pdf
