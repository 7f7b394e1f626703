// One element of an array or dictionary. A direct item is owned by the
// slot; a reference is shared and owned by the document's reference table.
#pragma once

#include <memory>

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

    PdfItemSlot(PdfItemSlot &&) noexcept = default;
    PdfItemSlot &operator=(PdfItemSlot &&) noexcept = default;
    PdfItemSlot(const PdfItemSlot &) = delete;
    PdfItemSlot &operator=(const PdfItemSlot &) = delete;

    PdfItem *Get() const;
    PdfReference *Reference() const { return reference_; }
    bool IsReference() const { return reference_ != nullptr; }

    // Swaps the owned item for another (typed conversion in place).
    void ReplaceOwned(std::unique_ptr<PdfItem> item) { owned_ = std::move(item); }

    // Direct items are cloned, references stay shared.
    PdfItemSlot Clone() const;

private:
    std::unique_ptr<PdfItem> owned_;
    PdfReference *reference_ = nullptr;
};

}  // namespace ZavorPdf::Pdf
