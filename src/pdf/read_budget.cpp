#include "pdf/read_budget.h"

#include <algorithm>
#include <string>

namespace ZavorPdf::Pdf {

ReadBudget ReadBudget::ForFileSize(std::size_t fileSize) {
    // The products cannot wrap: a file in memory is far below the maximum
    // divided by the factor.
    std::size_t decoded = std::clamp(fileSize * DecodedPerFileByte, DecodedFloor, DecodedCeiling);
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
