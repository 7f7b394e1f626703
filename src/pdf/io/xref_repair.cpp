#include "pdf/io/xref_repair.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "pdf/errors.h"
#include "pdf/io/parser.h"
#include "pdf/io/xref_scan.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"
#include "pdf/pdf_trailer.h"
#include "pdf/read_budget.h"

namespace ZavorPdf::Pdf::IO {
namespace {

bool IsBlank(std::uint8_t c) { return c == 0 || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' '; }

// Reads "N G obj" at the position as the parser would, without the lexer:
// a table of many entries pointing into one long string must not cost a
// pass over that string for each. A few blanks before the header are
// allowed, as the parser allows them.
bool HeaderAt(std::span<const std::uint8_t> bytes, std::int32_t position, PdfObjectID id) {
    constexpr std::size_t MaxLeadingBlanks = 64;
    std::size_t at = static_cast<std::size_t>(position);
    std::size_t limit = at + MaxLeadingBlanks;
    while (at < bytes.size() && at < limit && IsBlank(bytes[at])) ++at;
    auto number = [&](std::int64_t expected) {
        std::int64_t value = 0;
        std::size_t start = at;
        while (at < bytes.size() && at - start < 11 && bytes[at] >= '0' && bytes[at] <= '9')
            value = value * 10 + (bytes[at++] - '0');
        if (at == start || value != expected) return false;
        std::size_t blanks = at;
        while (at < bytes.size() && at - blanks < MaxLeadingBlanks && IsBlank(bytes[at])) ++at;
        return at > blanks;
    };
    if (!number(id.ObjectNumber()) || !number(id.GenerationNumber())) return false;
    constexpr std::string_view keyword = "obj";
    return bytes.size() - at >= keyword.size() &&
           std::equal(keyword.begin(), keyword.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

// Entries that point at another object than their own take the scan's
// place for their object; one the scan does not find under the same ID is
// not in the file at all. The scan is made only when an entry is wrong.
bool MoveMisplacedEntries(Parser &parser, PdfDocument &document, std::optional<XRefScan> &scan) {
    std::span<const std::uint8_t> bytes = parser.GetLexer().Bytes();
    std::vector<PdfReference *> misplaced;
    for (PdfReference *reference : document.ReferenceTable().AllReferences())
        if (reference->Position() > 0 && !HeaderAt(bytes, reference->Position(), reference->ObjectID()))
            misplaced.push_back(reference);
    if (misplaced.empty()) return false;
    if (!scan) scan.emplace(bytes, document.Budget());
    for (PdfReference *reference : misplaced) {
        const XRefScan::Definition *found = scan->Find(reference->ObjectNumber());
        bool same = found != nullptr && found->id == reference->ObjectID();
        reference->SetPosition(same ? found->position : 0);
    }
    return true;
}

// A table that lacks the catalog the trailer names is damaged, as when it
// was cut short or its count is wrong.
bool CatalogIsListed(PdfDocument &document) {
    for (const auto &entry : document.Trailer().Elements().Entries())
        if (entry.key == PdfTrailer::Keys::Root)
            return entry.value.Reference() == nullptr || entry.value.Reference()->Position() > 0;
    return false;
}

// The trailer dictionaries the scan found, newest first; those that do
// not read are left out.
std::vector<std::unique_ptr<PdfDictionary>> ReadTrailers(Parser &parser, PdfDocument &document,
                                                         const XRefScan &scan) {
    std::vector<std::unique_ptr<PdfDictionary>> trailers;
    for (auto it = scan.Trailers().rbegin(); it != scan.Trailers().rend(); ++it) {
        auto dictionary = std::make_unique<PdfDictionary>(&document);
        try {
            parser.GetLexer().SetPosition(*it);
            if (parser.GetLexer().ScanNextToken() != Symbol::BeginDictionary) continue;
            parser.ReadDictionary(*dictionary);
        } catch (const ReadBudgetExceededException &) {
            throw;
        } catch (const ZavorPdfException &) {
            continue;
        }
        trailers.push_back(std::move(dictionary));
    }
    return trailers;
}

void CopyEntry(const PdfDictionary &from, PdfDictionary &to, std::string_view key) {
    for (const auto &entry : from.Elements().Entries()) {
        if (entry.key != key) continue;
        if (entry.value.Reference() != nullptr)
            to.Elements().SetReference(key, entry.value.Reference());
        else if (entry.value.Get() != nullptr)
            to.Elements().SetValue(key, entry.value.Get()->Clone());
    }
}

// A catalog reference counts only when the scan found that object.
bool NamesFoundCatalog(const PdfDictionary &trailer, const XRefScan &scan) {
    for (const auto &entry : trailer.Elements().Entries())
        if (entry.key == PdfTrailer::Keys::Root && entry.value.Reference() != nullptr) {
            const XRefScan::Definition *found = scan.Find(entry.value.Reference()->ObjectNumber());
            return found != nullptr && found->id == entry.value.Reference()->ObjectID();
        }
    return false;
}

// The newest trailer that names a catalog the file holds gives the
// trailer; the document information, the IDs and the encryption come
// from the newest trailer that has them, as an update may repeat only
// some entries. Without such a trailer the last catalog object is used.
void RebuildTrailer(Parser &parser, PdfDocument &document, const XRefScan &scan) {
    std::vector<std::unique_ptr<PdfDictionary>> trailers = ReadTrailers(parser, document, scan);
    PdfTrailer &trailer = document.Trailer();
    trailer.Elements().Clear();
    for (const auto &candidate : trailers) {
        if (!NamesFoundCatalog(*candidate, scan)) continue;
        for (const auto &entry : candidate->Elements().Entries()) CopyEntry(*candidate, trailer, entry.key);
        break;
    }
    for (const char *key : {PdfTrailer::Keys::Info, PdfTrailer::Keys::ID, PdfTrailer::Keys::Encrypt}) {
        for (const auto &candidate : trailers) {
            if (!candidate->Elements().ContainsKey(key)) continue;
            CopyEntry(*candidate, trailer, key);
            break;
        }
    }
    if (!NamesFoundCatalog(trailer, scan) && scan.Catalog().has_value())
        trailer.Elements().SetReference(PdfTrailer::Keys::Root,
                                        document.ReferenceTable().GetOrCreateReference(*scan.Catalog()));
    trailer.Elements().Remove(PdfTrailer::Keys::Prev);
}

// Returns false when the scan finds no object at all or no catalog.
bool Rebuild(Parser &parser, PdfDocument &document, const XRefScan &scan) {
    if (scan.Objects().empty()) return false;
    PdfReferenceTable &table = document.ReferenceTable();
    // What the damaged table said is dropped: position 0 reads as an
    // object the file lacks.
    for (PdfReference *reference : table.AllReferences())
        if (reference->Value() == nullptr) reference->SetPosition(0);
    for (const XRefScan::Definition &definition : scan.Objects())
        table.GetOrCreateReference(definition.id)->SetPosition(definition.position);
    RebuildTrailer(parser, document, scan);
    return NamesFoundCatalog(document.Trailer(), scan);
}

}  // namespace

bool XRefRepair::ReadTrailer(Parser &parser, PdfDocument &document) {
    std::exception_ptr failure;
    std::optional<XRefScan> scan;
    try {
        parser.ReadTrailer();
        if (CatalogIsListed(document)) return MoveMisplacedEntries(parser, document, scan);
        // A catalog in an object stream has no position of its own: with
        // object streams in the file, an unlisted catalog is no sign of a
        // damaged table.
        scan.emplace(parser.GetLexer().Bytes(), document.Budget());
        if (scan->HasObjectStreams()) return MoveMisplacedEntries(parser, document, scan);
    } catch (const ReadBudgetExceededException &) {
        throw;
    } catch (const ZavorPdfException &) {
        failure = std::current_exception();
    }
    if (!scan) scan.emplace(parser.GetLexer().Bytes(), document.Budget());
    bool rebuilt = Rebuild(parser, document, *scan);
    if (!rebuilt && failure) std::rethrow_exception(failure);
    return rebuilt;
}

}  // namespace ZavorPdf::Pdf::IO
