// What reading one file may cost in memory beyond its own bytes: the bytes
// its streams decode to, all streams together, and the items of its arrays
// and dictionaries. A page can hold any number of streams that each stay
// under a filter's own limit, so only a sum over the whole file bounds it.
// A document read from a file owns one budget; the parser and the stream
// filters charge against it, and a new reading of the file starts afresh.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

#include "pdf/errors.h"

namespace ZavorPdf::Pdf {

// Thrown when a charge would exceed the budget. It is a reader failure like
// any damaged file, but code that tolerates a damaged object (a stream that
// stays encoded, an object that reads as null) must let it pass: going on
// would only spend more of what is already gone.
class ReadBudgetExceededException : public PdfReaderException {
public:
    using PdfReaderException::PdfReaderException;
};

class ReadBudget {
public:
    // Decoded bytes: the file's size this many times, but no less than the
    // floor, so that a small file with one long page of drawing commands
    // still opens, and never more than the ceiling.
    static constexpr std::size_t DecodedPerFileByte = 256;
    static constexpr std::size_t DecodedFloor = std::size_t{8} << 20;
    static constexpr std::size_t DecodedCeiling = std::size_t{512} << 20;
    // Items: one for every this many bytes of the file, at least the floor.
    // An item costs some eighty bytes in memory; real files spend far more
    // than four bytes of their own on each.
    static constexpr std::size_t FileBytesPerItem = 4;
    static constexpr std::size_t ItemFloor = std::size_t{1} << 16;
    static constexpr std::size_t ItemCeiling = std::size_t{1} << 24;

    // Without limits, for documents that are not read from a file.
    ReadBudget() = default;
    ReadBudget(std::size_t decodedLimit, std::size_t itemLimit)
        : decodedLimit_(decodedLimit), itemLimit_(itemLimit) {}
    static ReadBudget ForFileSize(std::size_t fileSize);

    std::size_t DecodedLimit() const { return decodedLimit_; }
    std::size_t ItemLimit() const { return itemLimit_; }
    // How many more decoded bytes fit; a decoder stops growing its output
    // there rather than finding out afterwards.
    std::size_t DecodedRoom() const { return decodedLimit_ - decoded_; }

    // Throw ReadBudgetExceededException when the count does not fit.
    void ChargeDecoded(std::size_t count);
    void ChargeItems(std::size_t count);
    // An object stream holds the text of many objects compressed: its
    // decoded bytes allow items as the file's own bytes do, up to the
    // ceiling. The decoded budget already bounds those bytes.
    void AllowItemsFor(std::size_t textBytes);
    // Also spends what was left: the next stream of a file that was
    // refused once fails at once instead of decoding as far again.
    [[noreturn]] void RefuseDecoded();
    // Whether a charge was ever refused: objects read meanwhile may have
    // been given up as damaged for want of budget alone.
    bool WasRefused() const { return refused_; }

private:
    std::size_t decodedLimit_ = std::numeric_limits<std::size_t>::max();
    std::size_t itemLimit_ = std::numeric_limits<std::size_t>::max();
    std::size_t decoded_ = 0;
    std::size_t items_ = 0;
    bool refused_ = false;
};

}  // namespace ZavorPdf::Pdf
