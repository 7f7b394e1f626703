// The stack on which the parser collects the items of arrays and
// dictionaries. Direct items are owned by the stack; references are shared
// handles owned by the document's reference table.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "pdf/pdf_item.h"

namespace ZavorPdf::Pdf {
class PdfReference;
class ReadBudget;
}

namespace ZavorPdf::Pdf::IO {

class ShiftStack {
public:
    // Far beyond any real object; keeps a hostile file from turning a few
    // bytes per number into unbounded memory.
    static constexpr int MaxItems = 1 << 22;

    ShiftStack() = default;
    // Every item shifted is charged to the budget, which must outlive the
    // stack.
    explicit ShiftStack(ReadBudget &budget) : budget_(&budget) {}

    struct Entry {
        std::unique_ptr<PdfItem> owned;
        PdfReference *reference = nullptr;  // non-owning
        PdfItem *Get() const;
    };

    void Shift(std::unique_ptr<PdfItem> item);
    void Shift(PdfReference *reference);
    int SP() const { return static_cast<int>(entries_.size()); }

    // A non-negative index counts from the bottom, a negative one from the
    // top (-1 is the top). Outside: "Value out of stack range.".
    PdfItem *GetItem(int relativeIndex) const;
    // The item must be a direct integer.
    std::int32_t GetInteger(int relativeIndex) const;

    // Drops the top count items; "count causes stack underflow." when there
    // are fewer.
    void Reduce(int count);
    // Replaces the top count items by one.
    void Reduce(std::unique_ptr<PdfItem> item, int count);
    void Reduce(PdfReference *reference, int count);

    // Moves the entries [start, start + length) out; their places stay on
    // the stack, empty, until they are reduced.
    std::vector<Entry> ToArray(int start, int length);

private:
    const Entry &At(int relativeIndex) const;
    void MakeRoom();

    ReadBudget *budget_ = nullptr;  // non-owning, may be null
    std::vector<Entry> entries_;
};

}  // namespace ZavorPdf::Pdf::IO
