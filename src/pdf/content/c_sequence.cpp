#include "pdf/content/c_sequence.h"

#include <string>

#include "pdf/errors.h"

namespace ZavorPdf::Pdf::Content::Objects {

CSequence::CSequence(const CSequence &other) : CObject(other) { Add(other); }

CSequence &CSequence::operator=(const CSequence &other) {
    if (this != &other) {
        Items copy;
        copy.reserve(other.items_.size());
        for (const auto &item : other.items_)
            copy.push_back(item->Clone());
        items_ = std::move(copy);
    }
    return *this;
}

void CSequence::Add(std::unique_ptr<CObject> value) {
    if (value == nullptr)
        throw ArgumentNullException("value");
    items_.push_back(std::move(value));
}

void CSequence::Add(const CSequence &sequence) {
    // Copied first, so that adding a sequence to itself stays finite.
    Items copy;
    copy.reserve(sequence.items_.size());
    for (const auto &item : sequence.items_)
        copy.push_back(item->Clone());
    for (auto &item : copy)
        items_.push_back(std::move(item));
}

void CSequence::CheckIndex(int index, int limit) const {
    if (index < 0 || index > limit)
        throw ArgumentOutOfRangeException("Index was out of range. Must be non-negative and less than the size of "
                                          "the collection. (Parameter 'index')",
                                          "index");
}

void CSequence::Insert(int index, std::unique_ptr<CObject> value) {
    CheckIndex(index, Count());
    if (value == nullptr)
        throw ArgumentNullException("value");
    items_.insert(items_.begin() + index, std::move(value));
}

bool CSequence::Remove(const CObject *value) {
    int index = IndexOf(value);
    if (index < 0)
        return false;
    items_.erase(items_.begin() + index);
    return true;
}

void CSequence::RemoveAt(int index) {
    CheckIndex(index, Count() - 1);
    items_.erase(items_.begin() + index);
}

int CSequence::IndexOf(const CObject *value) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == value)
            return static_cast<int>(i);
    return -1;
}

CSequence::Items CSequence::TakeAll() {
    Items taken = std::move(items_);
    items_.clear();
    return taken;
}

CObject &CSequence::operator[](int index) const {
    CheckIndex(index, Count() - 1);
    return *items_[static_cast<std::size_t>(index)];
}

}  // namespace ZavorPdf::Pdf::Content::Objects
