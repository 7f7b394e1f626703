#include "pdf/pdf_array.h"

#include "pdf/errors.h"
#include "pdf/item_access.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_writer.h"

namespace ZavorPdf::Pdf {

ArrayElements::ArrayElements(const ArrayElements &other, PdfArray *owner) : owner_(owner) {
    items_.reserve(other.items_.size());
    for (const auto &item : other.items_) items_.push_back(item.Clone());
}

ArrayElements::ArrayElements(ArrayElements &&other, PdfArray *owner) noexcept
    : owner_(owner), items_(std::move(other.items_)) {}

const PdfItemSlot &ArrayElements::At(int index) const {
    if (index < 0 || index >= Count()) throw ArgumentOutOfRangeException("Index was out of range.", "index");
    return items_[static_cast<std::size_t>(index)];
}

PdfItem *ArrayElements::Resolved(int index) const { return Internal::Resolve(At(index).Get()); }

namespace {

PdfItemSlot DirectSlot(std::unique_ptr<PdfItem> item) {
    if (item != nullptr && item->IsObject() && static_cast<const PdfObject &>(*item).IsIndirect())
        throw ArgumentException("PdfObject must not be an indirect object.", "item");
    return PdfItemSlot(std::move(item));
}

}  // namespace

void ArrayElements::Add(std::unique_ptr<PdfItem> item) { items_.push_back(DirectSlot(std::move(item))); }

void ArrayElements::AddReference(PdfReference *reference) { items_.emplace_back(reference); }

void ArrayElements::AddReference(const PdfObject &object) {
    if (!object.IsIndirect()) throw ArgumentException("PdfObject must be an indirect object.", "obj");
    items_.emplace_back(object.Reference());
}

void ArrayElements::Insert(int index, std::unique_ptr<PdfItem> item) {
    if (index < 0 || index > Count()) throw ArgumentOutOfRangeException("Index was out of range.", "index");
    items_.insert(items_.begin() + index, DirectSlot(std::move(item)));
}

void ArrayElements::SetAt(int index, std::unique_ptr<PdfItem> item) {
    At(index);
    items_[static_cast<std::size_t>(index)] = DirectSlot(std::move(item));
}

void ArrayElements::RemoveAt(int index) {
    At(index);
    items_.erase(items_.begin() + index);
}

bool ArrayElements::GetBoolean(int index) const {
    PdfItem *item = Resolved(index);
    return Internal::IsAbsent(item) ? false : Internal::ReadBoolean(*item);
}

std::int32_t ArrayElements::GetInteger(int index) const {
    PdfItem *item = Resolved(index);
    return Internal::IsAbsent(item) ? 0 : Internal::ReadInteger(*item);
}

double ArrayElements::GetReal(int index) const {
    PdfItem *item = Resolved(index);
    return Internal::IsAbsent(item) ? 0.0 : Internal::ReadReal(*item);
}

std::u16string ArrayElements::GetString(int index) const {
    PdfItem *item = Resolved(index);
    return Internal::IsAbsent(item) ? std::u16string() : Internal::ReadString(*item);
}

std::string ArrayElements::GetName(int index) const {
    PdfItem *item = Resolved(index);
    return Internal::IsAbsent(item) ? std::string() : Internal::ReadName(*item);
}

PdfDictionary *ArrayElements::GetDictionary(int index) const {
    return dynamic_cast<PdfDictionary *>(Resolved(index));
}

PdfArray *ArrayElements::GetArray(int index) const { return dynamic_cast<PdfArray *>(Resolved(index)); }

PdfReference *ArrayElements::GetReference(int index) const { return At(index).Reference(); }

PdfObject *ArrayElements::GetObject(int index) const { return dynamic_cast<PdfObject *>(Resolved(index)); }

PdfRectangle PdfArray::ToRectangle() const { return Internal::ReadRectangle(*this); }

void PdfArray::WriteObject(IO::PdfWriter &writer) const {
    writer.WriteBeginObject(*this);
    for (const auto &slot : elements_.Items()) slot.Get()->WriteObject(writer);
    writer.WriteEndObject();
}

std::string PdfArray::ToString() const {
    std::string text = "[";
    for (const auto &slot : elements_.Items()) {
        if (text.size() > 1) text += ' ';
        text += slot.Get()->ToString();
    }
    return text + "]";
}

}  // namespace ZavorPdf::Pdf
