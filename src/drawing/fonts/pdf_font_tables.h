// Attaches a font table to each document without the document knowing the
// font layer: the tables live here, keyed by the document. The document's
// save sequence calls PrepareForSave before it drops unreferenced objects,
// and its destructor calls Release.
#pragma once

namespace ZavorPdf::Pdf {
class PdfDocument;
}

namespace ZavorPdf::Pdf::Advanced {

class PdfFontTable;

class PdfFontTables {
public:
    // The document's table, created on first use.
    static PdfFontTable &Of(PdfDocument &document);
    // Prepares the document's fonts; nothing when it has no table.
    static void PrepareForSave(PdfDocument &document);
    // Drops the document's table; a later document at the same address
    // then starts with a fresh one.
    static void Release(const PdfDocument *document);
    static int Count();
};

}  // namespace ZavorPdf::Pdf::Advanced
