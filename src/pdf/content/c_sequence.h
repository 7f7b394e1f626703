// An ordered list of content objects that owns them, and the operand kinds
// built on it: arrays and inline dictionaries.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "pdf/content/c_objects.h"

namespace ZavorPdf::Pdf::Content::Objects {

class CSequence : public CObject {
public:
    using Items = std::vector<std::unique_ptr<CObject>>;

    CSequence() = default;
    CSequence(const CSequence &other);
    CSequence &operator=(const CSequence &other);
    CSequence(CSequence &&) noexcept = default;
    CSequence &operator=(CSequence &&) noexcept = default;

    std::unique_ptr<CObject> Clone() const override { return std::make_unique<CSequence>(*this); }

    // A null object fails with ArgumentNullException ("value").
    void Add(std::unique_ptr<CObject> value);
    // Appends copies of all objects of the other sequence.
    void Add(const CSequence &sequence);
    void Clear() { items_.clear(); }
    // An index outside 0..Count() fails with ArgumentOutOfRangeException.
    void Insert(int index, std::unique_ptr<CObject> value);
    // Removes (and destroys) the object; false when it is not held here.
    bool Remove(const CObject *value);
    void RemoveAt(int index);
    // -1 when the object is not held here; identity, not equality.
    int IndexOf(const CObject *value) const;
    bool Contains(const CObject *value) const { return IndexOf(value) >= 0; }
    // Hands out ownership of every element, leaving the sequence empty.
    Items TakeAll();

    CObject &operator[](int index) const;
    int Count() const { return static_cast<int>(items_.size()); }

    Items::const_iterator begin() const { return items_.begin(); }
    Items::const_iterator end() const { return items_.end(); }

private:
    void CheckIndex(int index, int limit) const;

    Items items_;
};

// An operand written between "[" and "]".
class CArray final : public CSequence {
public:
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<CArray>(*this); }
};

// An operand written between "<<" and ">>"; keys and values alternate in
// the order they were written.
class CDictionary final : public CSequence {
public:
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<CDictionary>(*this); }
};

}  // namespace ZavorPdf::Pdf::Content::Objects
