// Links on imported pages lead to the copies of their target pages. A
// page is copied on its own, and its links to other pages cannot be copied
// with it (that would bring in the whole source), so they are settled once
// the copies of their targets are known.
#pragma once

#include <span>

namespace ZavorPdf::Pdf {

class PdfImportedObjectTable;
class PdfPage;

struct ImportedPage {
    const PdfPage *external;  // non-owning, a page of the table's source
    PdfPage *local;           // non-owning, its copy in the table's owner
};

// Points the destination of every link on the copies ("/Dest", or "/D" of
// a go-to action; an array, a name or a string) at the copy of its target
// page among `pages`, written as an explicit array. A link whose target is
// not among them, or whose destination no viewer could follow, is left out
// of its page's "/Annots" rather than written dead; any other annotation
// only loses the entry, and a go-to action chained after another ("/Next")
// drops out of the chain, as does a triggered action ("/AA") whose page is
// not among them, without taking its annotation along. Links to other files or to the web stay as they
// are. Does nothing once the source is gone. Settling the same pages again
// gives the same result, so a later call with more pages may redo it.
void ResolveImportedLinks(PdfImportedObjectTable &table, std::span<const ImportedPage> pages);

}  // namespace ZavorPdf::Pdf
