#include "pdf/pdf_imported_object_table.h"

#include "pdf/errors.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"

namespace ZavorPdf::Pdf {

PdfImportedObjectTable::PdfImportedObjectTable(PdfDocument &owner, const PdfDocument &external)
    : owner_(owner), external_(external.Handle()) {}

PdfDocument *PdfImportedObjectTable::ExternalDocument() const {
    std::shared_ptr<PdfDocument *const> handle = external_.lock();
    return handle ? *handle : nullptr;
}

PdfReference *PdfImportedObjectTable::operator[](PdfObjectID externalId) const {
    auto found = map_.find(externalId);
    return found == map_.end() ? nullptr : found->second;
}

void PdfImportedObjectTable::Add(PdfObjectID externalId, PdfReference *local) { map_[externalId] = local; }

PdfReference *PdfImportedObjectTable::Form(int pageIndex) const {
    auto found = forms_.find(pageIndex);
    return found == forms_.end() ? nullptr : found->second;
}

void PdfImportedObjectTable::SetForm(int pageIndex, PdfReference *form) { forms_[pageIndex] = form; }

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
