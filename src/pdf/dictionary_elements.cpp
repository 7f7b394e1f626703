#include "pdf/dictionary_elements.h"

#include <utility>

#include "pdf/errors.h"
#include "pdf/item_access.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_boolean.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_literal.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_string.h"

namespace ZavorPdf::Pdf {

DictionaryElements::DictionaryElements(const DictionaryElements &other, PdfDictionary *owner) : owner_(owner) {
    entries_.reserve(other.entries_.size());
    for (const auto &entry : other.entries_) entries_.push_back({entry.key, entry.value.Clone()});
    if (other.index_) index_ = std::make_unique<Index>(*other.index_);
}

DictionaryElements::DictionaryElements(DictionaryElements &&other, PdfDictionary *owner) noexcept
    : owner_(owner), entries_(std::move(other.entries_)), index_(std::move(other.index_)) {}

void DictionaryElements::Clear() {
    entries_.clear();
    index_.reset();
}

void DictionaryElements::RebuildIndex() {
    index_.reset();
    if (entries_.size() < IndexedFrom) return;
    index_ = std::make_unique<Index>();
    index_->reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) index_->emplace(entries_[i].key, i);
}

const DictionaryElements::Entry *DictionaryElements::Find(std::string_view key) const {
    if (index_) {
        auto found = index_->find(key);
        return found != index_->end() ? &entries_[found->second] : nullptr;
    }
    for (const auto &entry : entries_)
        if (entry.key == key) return &entry;
    return nullptr;
}

DictionaryElements::Entry *DictionaryElements::Find(std::string_view key) {
    return const_cast<Entry *>(std::as_const(*this).Find(key));
}

PdfItem *DictionaryElements::operator[](std::string_view key) const {
    const Entry *entry = Find(key);
    return entry != nullptr ? entry->value.Get() : nullptr;
}

PdfItem *DictionaryElements::Resolved(std::string_view key) const { return Internal::Resolve((*this)[key]); }

// Positions after the removed entry shift, so a large dictionary indexes
// itself anew; removing is rare next to reading.
bool DictionaryElements::Remove(std::string_view key) {
    const Entry *entry = Find(key);
    if (entry == nullptr) return false;
    entries_.erase(entries_.begin() + (entry - entries_.data()));
    if (index_) RebuildIndex();
    return true;
}

std::vector<PdfName> DictionaryElements::KeyNames() const {
    std::vector<PdfName> names;
    names.reserve(entries_.size());
    for (const auto &entry : entries_) names.emplace_back(entry.key);
    return names;
}

void DictionaryElements::Store(std::string_view key, PdfItemSlot slot) {
    if (key.empty() || key[0] != '/') throw ArgumentException("The key must start with a slash '/'.", "key");
    if (Entry *entry = Find(key)) {
        entry->value = std::move(slot);
        return;
    }
    // Most dictionaries hold a handful of entries; room for two at once
    // saves the first round of growing, and a page's one-entry font and
    // state dictionaries, kept until the save, carry little unused room.
    if (entries_.capacity() == 0) entries_.reserve(2);
    entries_.push_back({std::string(key), std::move(slot)});
    if (index_)
        index_->emplace(entries_.back().key, entries_.size() - 1);
    else if (entries_.size() == IndexedFrom)
        RebuildIndex();
}

void DictionaryElements::SetValue(std::string_view key, std::unique_ptr<PdfItem> value) {
    if (value == nullptr) throw ArgumentNullException("value");
    if (value->IsObject() && static_cast<const PdfObject &>(*value).IsIndirect())
        throw ArgumentException("PdfObject must not be an indirect object.", "value");
    Store(key, PdfItemSlot(std::move(value)));
}

void DictionaryElements::SetObject(std::string_view key, std::unique_ptr<PdfObject> object) {
    if (object == nullptr) throw ArgumentNullException("obj");
    if (object->IsIndirect()) throw ArgumentException("PdfObject must not be an indirect object.", "obj");
    Store(key, PdfItemSlot(std::move(object)));
}

void DictionaryElements::SetReference(std::string_view key, const PdfObject &object) {
    if (!object.IsIndirect()) throw ArgumentException("PdfObject must be an indirect object.", "obj");
    Store(key, PdfItemSlot(object.Reference()));
}

void DictionaryElements::SetReference(std::string_view key, PdfReference *reference) {
    if (reference == nullptr) throw ArgumentNullException("iref");
    Store(key, PdfItemSlot(reference));
}

// Getters

bool DictionaryElements::GetBoolean(std::string_view key) const {
    PdfItem *item = Resolved(key);
    return Internal::IsAbsent(item) ? false : Internal::ReadBoolean(*item);
}

bool DictionaryElements::GetBoolean(std::string_view key, bool create) {
    if (create && !ContainsKey(key)) SetValue(key, std::make_unique<PdfBoolean>(false));
    return std::as_const(*this).GetBoolean(key);
}

std::int32_t DictionaryElements::GetInteger(std::string_view key) const {
    PdfItem *item = Resolved(key);
    return Internal::IsAbsent(item) ? 0 : Internal::ReadInteger(*item);
}

std::int32_t DictionaryElements::GetInteger(std::string_view key, bool create) {
    if (create && !ContainsKey(key)) SetValue(key, std::make_unique<PdfInteger>(0));
    return std::as_const(*this).GetInteger(key);
}

double DictionaryElements::GetReal(std::string_view key) const {
    PdfItem *item = Resolved(key);
    return Internal::IsAbsent(item) ? 0.0 : Internal::ReadReal(*item);
}

double DictionaryElements::GetReal(std::string_view key, bool create) {
    if (create && !ContainsKey(key)) SetValue(key, std::make_unique<PdfReal>(0.0));
    return std::as_const(*this).GetReal(key);
}

std::u16string DictionaryElements::GetString(std::string_view key) const {
    PdfItem *item = Resolved(key);
    return Internal::IsAbsent(item) ? std::u16string() : Internal::ReadString(*item);
}

std::u16string DictionaryElements::GetString(std::string_view key, bool create) {
    if (create && !ContainsKey(key)) SetValue(key, std::make_unique<PdfString>());
    return std::as_const(*this).GetString(key);
}

std::string DictionaryElements::GetName(std::string_view key) const {
    PdfItem *item = Resolved(key);
    return Internal::IsAbsent(item) ? std::string() : Internal::ReadName(*item);
}

PdfRectangle DictionaryElements::GetRectangle(std::string_view key) const {
    PdfItem *item = Resolved(key);
    return Internal::IsAbsent(item) ? PdfRectangle() : Internal::ReadRectangle(*item);
}

PdfRectangle DictionaryElements::GetRectangle(std::string_view key, bool create) {
    Entry *entry = Find(key);
    if (entry == nullptr) {
        if (create) SetValue(key, std::make_unique<PdfRectangle>());
        return PdfRectangle();
    }
    PdfItem *item = Internal::Resolve(entry->value.Get());
    if (Internal::IsAbsent(item)) return PdfRectangle();
    PdfRectangle rectangle = Internal::ReadRectangle(*item);
    // A four-number array becomes a rectangle under its key, so that later
    // reads and writes see one consistent value.
    if (dynamic_cast<PdfArray *>(item) != nullptr) SetValue(key, std::make_unique<PdfRectangle>(rectangle));
    return rectangle;
}

PdfMatrix DictionaryElements::GetMatrix(std::string_view key) const {
    PdfItem *item = Resolved(key);
    return Internal::IsAbsent(item) ? IdentityMatrix : Internal::ReadMatrix(*item);
}

PdfMatrix DictionaryElements::GetMatrix(std::string_view key, bool create) {
    if (create && !ContainsKey(key)) {
        SetValue(key, std::make_unique<PdfLiteral>("[1 0 0 1 0 0]"));
        return IdentityMatrix;
    }
    return std::as_const(*this).GetMatrix(key);
}

LocalDateTime DictionaryElements::GetDateTime(std::string_view key, const LocalDateTime &defaultValue) const {
    PdfItem *item = Resolved(key);
    if (Internal::IsAbsent(item)) return defaultValue;
    if (auto *date = dynamic_cast<PdfDate *>(item)) return date->Value();
    std::u16string text = Internal::ReadString(*item);
    std::string ascii(text.begin(), text.end());
    auto parsed = PdfDate::Parse(ascii);
    return parsed ? *parsed : defaultValue;
}

// Setters

void DictionaryElements::SetBoolean(std::string_view key, bool value) {
    SetValue(key, std::make_unique<PdfBoolean>(value));
}

void DictionaryElements::SetInteger(std::string_view key, std::int32_t value) {
    // /Length and /Count are set again on every save: a direct integer
    // already there takes the new value rather than being replaced.
    if (Entry *entry = Find(key); entry != nullptr && !entry->value.IsReference()) {
        if (auto *integer = dynamic_cast<PdfInteger *>(entry->value.Get())) {
            *integer = PdfInteger(value);
            return;
        }
    }
    SetValue(key, std::make_unique<PdfInteger>(value));
}

void DictionaryElements::SetReal(std::string_view key, double value) {
    SetValue(key, std::make_unique<PdfReal>(value));
}

void DictionaryElements::SetString(std::string_view key, std::u16string value) {
    SetValue(key, std::make_unique<PdfString>(std::move(value)));
}

void DictionaryElements::SetName(std::string_view key, std::string_view value) {
    std::string name;
    name.reserve(value.size() + 1);
    if (!value.starts_with('/')) name += '/';
    name += value;
    SetValue(key, std::make_unique<PdfName>(std::move(name)));
}

void DictionaryElements::SetRectangle(std::string_view key, const PdfRectangle &rectangle) {
    SetValue(key, std::make_unique<PdfRectangle>(rectangle));
}

void DictionaryElements::SetMatrix(std::string_view key, const PdfMatrix &matrix) {
    auto array = std::make_unique<PdfArray>();
    for (double value : matrix) array->Elements().Add(std::make_unique<PdfReal>(value));
    SetValue(key, std::move(array));
}

void DictionaryElements::SetDateTime(std::string_view key, const LocalDateTime &value) {
    SetValue(key, std::make_unique<PdfDate>(value));
}

// Values

PdfDictionary *DictionaryElements::GetDictionary(std::string_view key) const {
    return dynamic_cast<PdfDictionary *>(Resolved(key));
}

PdfArray *DictionaryElements::GetArray(std::string_view key) const {
    return dynamic_cast<PdfArray *>(Resolved(key));
}

PdfReference *DictionaryElements::GetReference(std::string_view key) const {
    const Entry *entry = Find(key);
    return entry != nullptr ? entry->value.Reference() : nullptr;
}

PdfObject *DictionaryElements::GetObject(std::string_view key) const {
    return dynamic_cast<PdfObject *>(Resolved(key));
}

PdfObject *DictionaryElements::GetIndirectObject(std::string_view key) const {
    PdfReference *reference = GetReference(key);
    return reference != nullptr ? reference->Value() : nullptr;
}

}  // namespace ZavorPdf::Pdf
