#include "pdf/read_budget.h"

#include <algorithm>
#include <string>

namespace ZavorPdf::Pdf {

ReadBudget ReadBudget::ForFileSize(std::size_t fileSize) {
    // Past the ceiling's share the product is not formed: on a 32-bit system
    // a file of 16 MiB times 256 wraps around to a small budget.
    std::size_t decoded = fileSize >= DecodedCeiling / DecodedPerFileByte
                              ? DecodedCeiling
                              : std::clamp(fileSize * DecodedPerFileByte, DecodedFloor, DecodedCeiling);
    std::size_t items = std::clamp(fileSize / FileBytesPerItem, ItemFloor, ItemCeiling);
    return ReadBudget(decoded, items);
}

void ReadBudget::ChargeDecoded(std::size_t count) {
    if (count > DecodedRoom()) RefuseDecoded();
    decoded_ += count;
}

void ReadBudget::RefuseDecoded() {
    decoded_ = decodedLimit_;
    refused_ = true;
    throw ReadBudgetExceededException("The streams of the file decode to more than " + std::to_string(decodedLimit_) +
                                      " bytes in all.");
}

void ReadBudget::ChargeItems(std::size_t count) {
    if (count > itemLimit_ - items_) {
        refused_ = true;
        throw ReadBudgetExceededException("The arrays and dictionaries of the file hold more than " +
                                          std::to_string(itemLimit_) + " items in all.");
    }
    items_ += count;
}

void ReadBudget::AllowItemsFor(std::size_t textBytes) {
    if (itemLimit_ >= ItemCeiling) return;
    itemLimit_ = std::min(ItemCeiling, itemLimit_ + textBytes / FileBytesPerItem);
}

}  // namespace ZavorPdf::Pdf
