// Reads the cross-reference table as the file states it and, only where
// that fails, rebuilds it from a scan of the file's bytes. A file whose
// table reads is never rebuilt, so its pages stay exactly what they were.
#pragma once

namespace ZavorPdf::Pdf {
class PdfDocument;
}

namespace ZavorPdf::Pdf::IO {

class Parser;

class XRefRepair {
public:
    // Fills the document's reference table and trailer. Entries of a table
    // that reads but points at another object than their own move to where
    // a scan finds the object. A table that does not read, or that lacks
    // the catalog the trailer names, is rebuilt from every "N G obj" in the
    // file, the newest definition of each number winning, with the catalog
    // of the last trailer that names one or else the last "/Type /Catalog".
    // When the scan finds nothing usable, the failure of the table stands.
    // Returns whether anything was repaired.
    static bool ReadTrailer(Parser &parser, PdfDocument &document);
};

}  // namespace ZavorPdf::Pdf::IO
