// Pages of other documents appended to one document in a single step, with
// the links among them kept: a link on the first page to the last one can
// only be settled once the last page is there.
#pragma once

#include <vector>

#include "pdf/pdf_imported_links.h"

namespace ZavorPdf::Pdf {

class PdfDocument;
class PdfPage;

class PdfPageImport {
public:
    explicit PdfPageImport(PdfDocument &target) : target_(target) {}
    PdfPageImport(const PdfPageImport &) = delete;
    PdfPageImport &operator=(const PdfPageImport &) = delete;

    // As PdfDocument::AddPage with a page of another document, failures
    // included; the copy's links to pages not yet appended wait for
    // ResolveLinks.
    PdfPage &Append(PdfPage &externalPage);
    // Points the links of every page appended so far at the copies of their
    // targets among them and leaves out the links to other pages. Call it
    // after the last page, and after a failed Append too, since the pages
    // appended before a failure stay. The source documents must still be
    // open.
    void ResolveLinks();

private:
    PdfDocument &target_;  // non-owning
    std::vector<ImportedPage> pages_;
};

}  // namespace ZavorPdf::Pdf
