#include "pdf/io/shift_stack.h"

#include "pdf/errors.h"
#include "pdf/io/reader_messages.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"
#include "pdf/read_budget.h"

namespace ZavorPdf::Pdf::IO {

PdfItem *ShiftStack::Entry::Get() const { return reference != nullptr ? reference : owned.get(); }

void ShiftStack::MakeRoom() {
    if (entries_.size() >= static_cast<std::size_t>(MaxItems)) throw PdfReaderException(ReaderMessages::TooManyItems);
    if (budget_ != nullptr) budget_->ChargeItems(1);
}

void ShiftStack::Shift(std::unique_ptr<PdfItem> item) {
    if (item == nullptr) throw ArgumentNullException("item");
    MakeRoom();
    entries_.push_back(Entry{std::move(item), nullptr});
}

void ShiftStack::Shift(PdfReference *reference) {
    if (reference == nullptr) throw ArgumentNullException("item");
    MakeRoom();
    entries_.push_back(Entry{nullptr, reference});
}

const ShiftStack::Entry &ShiftStack::At(int relativeIndex) const {
    int index = relativeIndex < 0 ? SP() + relativeIndex : relativeIndex;
    if (index < 0 || index >= SP()) throw ArgumentOutOfRangeException(ReaderMessages::ValueOutOfStackRange, "index");
    return entries_[static_cast<std::size_t>(index)];
}

PdfItem *ShiftStack::GetItem(int relativeIndex) const { return At(relativeIndex).Get(); }

std::int32_t ShiftStack::GetInteger(int relativeIndex) const {
    const auto *integer = dynamic_cast<const PdfInteger *>(At(relativeIndex).Get());
    if (integer == nullptr) throw InvalidCastException("GetInteger: Object is not an integer.");
    return integer->Value();
}

void ShiftStack::Reduce(int count) {
    if (count < 0 || count > SP()) throw ArgumentOutOfRangeException(ReaderMessages::StackUnderflow, "count");
    entries_.resize(entries_.size() - static_cast<std::size_t>(count));
}

void ShiftStack::Reduce(std::unique_ptr<PdfItem> item, int count) {
    Reduce(count);
    Shift(std::move(item));
}

void ShiftStack::Reduce(PdfReference *reference, int count) {
    Reduce(count);
    Shift(reference);
}

std::vector<ShiftStack::Entry> ShiftStack::ToArray(int start, int length) {
    if (start < 0 || length < 0 || start > SP() - length)
        throw ArgumentOutOfRangeException(ReaderMessages::ValueOutOfStackRange, "index");
    std::vector<Entry> result;
    result.reserve(static_cast<std::size_t>(length));
    for (int i = start; i < start + length; ++i) result.push_back(std::move(entries_[static_cast<std::size_t>(i)]));
    return result;
}

}  // namespace ZavorPdf::Pdf::IO
