// Where a link inside a document leads: a page of that document and how a
// viewer places it there, given directly as an array or by a name that the
// catalog resolves. Destinations are read from files, so every part is
// checked: a value no viewer could follow reads as no destination at all.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "pdf/pdf_object_id.h"

namespace ZavorPdf::Pdf {

class PdfArray;
class PdfDictionary;
class PdfDocument;
class PdfItem;
class PdfObject;
class PdfReference;

struct PdfExplicitDestination {
    // The page by its object, or by its 0-based index as some producers
    // write it; exactly one of them is set.
    std::optional<PdfObjectID> pageObject;
    int pageIndex = -1;
    std::string kind;  // "/XYZ", "/Fit" ...
    // As many as the kind takes; an empty one stands for null ("keep the
    // current value").
    std::vector<std::optional<double>> parameters;
};

// Reads "[page /Kind parameters…]" (through references). Missing or
// non-numeric parameters read as null, except for /FitR, whose rectangle
// must be complete; extra items are left out.
std::optional<PdfExplicitDestination> TryReadExplicitDestination(const PdfItem &item);

// The destination as a direct array of the owner's, leading to `page`.
std::unique_ptr<PdfArray> MakeDestinationArray(const PdfExplicitDestination &destination, PdfReference *page,
                                               PdfDocument *owner);

// The named destinations of a document: the catalog's "/Dests" dictionary
// (keys are names) and the "/Dests" name tree under "/Names" (keys are
// strings). Producers mix the two up, so a name is looked up in both.
class PdfNamedDestinations {
public:
    // Reads both forms. A name tree with cycles or absurd depth is read as
    // far as it is sound.
    explicit PdfNamedDestinations(const PdfDocument &document);

    // The destination a name or string stands for: an array, or a
    // dictionary whose "/D" is one. Nullopt when unknown or unusable.
    std::optional<PdfExplicitDestination> Find(const PdfItem &name) const;

private:
    void ReadTree(const PdfDictionary &node, int depth, std::set<const PdfObject *> &visited);

    // The values as stored: the reference when the file refers to them, so
    // that nothing here depends on an object staying at its address.
    // Non-owning; the source document owns them.
    std::map<std::string, const PdfItem *> byName_;
    std::map<std::u16string, const PdfItem *> byString_;
};

}  // namespace ZavorPdf::Pdf
