// One element of an array or dictionary. A direct item is owned by the
// slot; a reference is shared and owned by the document's reference table.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "pdf/pdf_item.h"

namespace ZavorPdf::Pdf {

class PdfReference;

class PdfItemSlot {
public:
    PdfItemSlot() = default;
    // Fails for a PdfReference: references are never owned by containers.
    explicit PdfItemSlot(std::unique_ptr<PdfItem> item);
    // Non-owning.
    explicit PdfItemSlot(PdfReference *reference);

    PdfItemSlot(PdfItemSlot &&other) noexcept : bits_(std::exchange(other.bits_, 0)) {}
    PdfItemSlot &operator=(PdfItemSlot &&other) noexcept {
        if (this != &other) {
            Release();
            bits_ = std::exchange(other.bits_, 0);
        }
        return *this;
    }
    PdfItemSlot(const PdfItemSlot &) = delete;
    PdfItemSlot &operator=(const PdfItemSlot &) = delete;
    ~PdfItemSlot() { Release(); }

    PdfItem *Get() const;
    PdfReference *Reference() const {
        return IsReference() ? reinterpret_cast<PdfReference *>(bits_ & ~kReferenceBit) : nullptr;
    }
    bool IsReference() const { return (bits_ & kReferenceBit) != 0; }

    // Swaps the owned item for another (typed conversion in place).
    void ReplaceOwned(std::unique_ptr<PdfItem> item);

    // Direct items are cloned, references stay shared.
    PdfItemSlot Clone() const;

private:
    // Every array element and dictionary entry of a document has a slot:
    // one word holds either the owned item or, marked in its lowest bit
    // (items are aligned to more than one byte), the shared reference.
    static constexpr std::uintptr_t kReferenceBit = 1;

    void Release() noexcept {
        if (bits_ != 0 && !IsReference()) DeleteOwned();
        bits_ = 0;
    }
    void DeleteOwned() noexcept;

    std::uintptr_t bits_ = 0;
};

}  // namespace ZavorPdf::Pdf
