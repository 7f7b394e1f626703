// Copying objects and pages of one document into another. The copies are
// plain dictionaries and arrays of the target document; references inside
// them point at the target's copies of what the originals referred to.
#pragma once

#include "pdf/pdf_item_slot.h"

namespace ZavorPdf::Pdf {

class PdfDocument;
class PdfImportedObjectTable;
class PdfObject;
class PdfPage;
class PdfPages;

inline constexpr const char *ImportModeMessage =
    "A PDF document must be opened with PdfDocumentOpenMode.Import to import pages from it.";

// Copies the external object and everything it reaches into the owner; the
// caller has checked it with CheckImportable.
// Objects the table already maps are reused; the others are copied, filed
// in the owner's reference table and recorded in the table. The result
// holds the copy's reference when the external object is indirect, the
// copy itself when it is direct.
//
// Page objects and page tree nodes are never copied along (a link to
// another page would otherwise bring in the whole source document): a
// reference to one reads as null in the copy.
PdfItemSlot ImportClosure(PdfImportedObjectTable &table, PdfDocument &owner, const PdfObject &externalObject);

// Fails (PdfReaderException) when an entry of the external page that an
// import copies, or anything it reaches apart from other pages, is an
// object that the page's file holds but could not read, a stream whose
// data its filters refuse (see CheckStreamData), or content with a broken
// token (see FindBrokenToken): the copy would lose it without a word, or
// carry the damage on. Objects the file lacks read as null and pass;
// objects the table maps were checked when they were copied.
void CheckImportable(const PdfPage &externalPage, const PdfImportedObjectTable &table);

// Copies a page of another document (opened for Import) with its resources,
// contents, boxes and annotations, and inserts the copy into the tree at
// index. Fails with ImportModeMessage for a source opened otherwise. The
// copy keeps only its links to itself (ResolveImportedLinks); PdfPageImport
// keeps those among several pages.
PdfPage &ImportExternalPage(PdfPages &tree, int index, PdfPage &externalPage);

}  // namespace ZavorPdf::Pdf
