#include "pdf/pdf_imported_object_table.h"

#include <unordered_set>

#include "pdf/errors.h"
#include "pdf/pdf_destinations.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"

namespace ZavorPdf::Pdf {

PdfImportedObjectTable::PdfImportedObjectTable(PdfDocument &owner, const PdfDocument &external)
    : owner_(owner), external_(external.Handle()), checkedDropCount_(owner.ReferenceTable().DropCount()) {}

PdfImportedObjectTable::~PdfImportedObjectTable() = default;

PdfDocument *PdfImportedObjectTable::ExternalDocument() const {
    std::shared_ptr<PdfDocument *const> handle = external_.lock();
    return handle ? *handle : nullptr;
}

PdfReference *PdfImportedObjectTable::operator[](PdfObjectID externalId) const {
    auto found = map_.find(externalId);
    return found == map_.end() ? nullptr : found->second.reference;
}

PdfImportedObjectTable::LocalCopy PdfImportedObjectTable::Remember(PdfReference *reference) {
    return {reference, reference != nullptr ? reference->Serial() : 0};
}

void PdfImportedObjectTable::Add(PdfObjectID externalId, PdfReference *local) { map_[externalId] = Remember(local); }

void PdfImportedObjectTable::ForgetDropped() {
    std::uint64_t dropCount = owner_.ReferenceTable().DropCount();
    if (dropCount == checkedDropCount_) return;
    checkedDropCount_ = dropCount;
    if (map_.empty() && forms_.empty()) return;
    std::vector<PdfReference *> all = owner_.ReferenceTable().AllReferences();
    std::unordered_set<const PdfReference *> live(all.begin(), all.end());
    // Only a pointer found among the live references may be read.
    auto dropped = [&](const auto &entry) {
        const LocalCopy &copy = entry.second;
        return !live.contains(copy.reference) || copy.reference->Serial() != copy.serial;
    };
    std::erase_if(map_, dropped);
    std::erase_if(forms_, dropped);
}

PdfReference *PdfImportedObjectTable::Form(int pageIndex) const {
    auto found = forms_.find(pageIndex);
    return found == forms_.end() ? nullptr : found->second.reference;
}

void PdfImportedObjectTable::SetForm(int pageIndex, PdfReference *form) { forms_[pageIndex] = Remember(form); }

const PdfNamedDestinations *PdfImportedObjectTable::NamedDestinations() {
    PdfDocument *external = ExternalDocument();
    if (external == nullptr) {
        // What was read points into the source.
        namedDestinations_.reset();
        return nullptr;
    }
    if (namedDestinations_ == nullptr) namedDestinations_ = std::make_unique<PdfNamedDestinations>(*external);
    return namedDestinations_.get();
}

PdfImportedObjectTable &PdfImportedObjectTables::For(const PdfDocument &external) {
    std::unique_ptr<PdfImportedObjectTable> &table = tables_[external.Guid()];
    if (table == nullptr || table->ExternalDocument() != &external)
        table = std::make_unique<PdfImportedObjectTable>(owner_, external);
    return *table;
}

PdfImportedObjectTable &PdfImportedObjectTables::GetImportedObjectTable(const PdfPage &page) {
    if (page.Owner() == nullptr) throw ArgumentException("The page belongs to no document.", "page");
    return For(*page.Owner());
}

}  // namespace ZavorPdf::Pdf
