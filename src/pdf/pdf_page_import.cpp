#include "pdf/pdf_page_import.h"

#include <map>

#include "pdf/pdf_document.h"
#include "pdf/pdf_imported_object_table.h"
#include "pdf/pdf_page.h"

namespace ZavorPdf::Pdf {

PdfPage &PdfPageImport::Append(PdfPage &externalPage) {
    PdfPage &copy = target_.AddPage(externalPage);
    // A page of the target itself is moved, not copied: nothing to settle.
    if (externalPage.Owner() != &target_) pages_.push_back({&externalPage, &copy});
    return copy;
}

void PdfPageImport::ResolveLinks() {
    // A link leads only to pages of its own source.
    std::map<const PdfDocument *, std::vector<ImportedPage>> bySource;
    for (const ImportedPage &page : pages_) bySource[page.external->Owner()].push_back(page);
    for (const auto &[source, pages] : bySource)
        ResolveImportedLinks(target_.ImportedObjectTables().For(*source), pages);
}

}  // namespace ZavorPdf::Pdf
