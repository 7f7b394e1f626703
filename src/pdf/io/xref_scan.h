// Finds the objects and trailers of a file by its bytes alone, for a file
// whose cross-reference table cannot be used: missing, pointing nowhere,
// damaged, or the file cut short before it.
//
// The scan is one pass over the bytes. An object header counts where
// "N G obj" starts a line or follows blanks; stream data is stepped over up
// to its "endstream", so that bytes which happen to spell a header inside a
// stream are not taken for an object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "pdf/pdf_object_id.h"

namespace ZavorPdf::Pdf {
class ReadBudget;
}

namespace ZavorPdf::Pdf::IO {

class XRefScan {
public:
    struct Definition {
        PdfObjectID id;
        std::int32_t position = 0;
    };

    // Only the last few trailers are read: a damaged file may hold many
    // that each run to its end.
    static constexpr std::size_t MaxTrailers = 8;

    // Every object found charges one item to the budget, so the number of
    // definitions is bounded as any other reading of the file.
    XRefScan(std::span<const std::uint8_t> bytes, ReadBudget &budget);

    // The newest definition of each object number, by number.
    const std::vector<Definition> &Objects() const { return objects_; }
    const Definition *Find(std::int32_t number) const;
    // Positions just after the last "trailer" keywords, oldest first.
    const std::vector<std::int32_t> &Trailers() const { return trailers_; }
    // The newest object that says "/Type /Catalog".
    std::optional<PdfObjectID> Catalog() const { return catalog_; }
    // Whether the file names "/ObjStm" outside stream data, as object
    // streams do in their dictionaries.
    bool HasObjectStreams() const { return hasObjectStreams_; }

private:
    void Scan();
    void DropCutShort();
    std::size_t AfterStream(std::size_t at);
    void AddHeaderEndingAt(std::size_t objAt);
    void NoteCatalogAt(std::size_t at);
    void Finish();

    std::span<const std::uint8_t> bytes_;
    ReadBudget &budget_;
    // Every header in file order, while the scan runs.
    std::vector<Definition> found_;
    std::vector<Definition> objects_;
    std::vector<std::int32_t> trailers_;
    // Headers (index into found_) of objects that say "/Type /Catalog".
    std::vector<std::size_t> catalogs_;
    std::optional<PdfObjectID> catalog_;
    bool hasObjectStreams_ = false;
    // No "endstream" follows this position: no later stream needs a search.
    std::size_t noEndstreamFrom_ = SIZE_MAX;
};

}  // namespace ZavorPdf::Pdf::IO
