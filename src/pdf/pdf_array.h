// A PDF array: an ordered list of items.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pdf/pdf_item_slot.h"
#include "pdf/pdf_object.h"
#include "pdf/pdf_rectangle.h"

namespace ZavorPdf::Pdf {

class PdfArray;
class PdfDictionary;

// The elements of an array with typed accessors by index. An index out of
// range fails with an ArgumentOutOfRangeException for "index".
class ArrayElements {
public:
    explicit ArrayElements(PdfArray *owner) : owner_(owner) {}
    ArrayElements(const ArrayElements &other, PdfArray *owner);
    ArrayElements(ArrayElements &&other, PdfArray *owner) noexcept;
    ArrayElements(const ArrayElements &) = delete;
    ArrayElements &operator=(const ArrayElements &) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    // The stored item (a reference is returned as such).
    PdfItem *operator[](int index) const { return At(index).Get(); }

    void Add(std::unique_ptr<PdfItem> item);
    void AddReference(PdfReference *reference);
    // Fails with "PdfObject must be an indirect object." for a direct one.
    void AddReference(const PdfObject &object);
    void Insert(int index, std::unique_ptr<PdfItem> item);
    void SetAt(int index, std::unique_ptr<PdfItem> item);
    void RemoveAt(int index);
    void Clear() { items_.clear(); }
    // Room for `count` items, for an array whose length is known up front.
    void Reserve(int count) { items_.reserve(static_cast<std::size_t>(count)); }

    // Typed accessors: they look through references and accept the direct
    // and the indirect twin alike; a value of another kind fails with the
    // same invalid-cast messages as the dictionary accessors.
    bool GetBoolean(int index) const;
    std::int32_t GetInteger(int index) const;
    double GetReal(int index) const;
    std::u16string GetString(int index) const;
    std::string GetName(int index) const;
    // Null when the element is not of that kind.
    PdfDictionary *GetDictionary(int index) const;
    PdfArray *GetArray(int index) const;
    PdfReference *GetReference(int index) const;
    PdfObject *GetObject(int index) const;

    const std::vector<PdfItemSlot> &Items() const { return items_; }

private:
    const PdfItemSlot &At(int index) const;
    PdfItem *Resolved(int index) const;

    PdfArray *owner_;  // non-owning back pointer
    std::vector<PdfItemSlot> items_;
};

class PdfArray : public PdfObject {
public:
    explicit PdfArray(PdfDocument *document = nullptr) : PdfObject(Kind::Array, document), elements_(this) {}
    PdfArray(const PdfArray &other) : PdfObject(other), elements_(other.elements_, this) {}
    // Takes over a generic array in place (typed conversion).
    PdfArray(PdfArray &&other) noexcept : PdfObject(std::move(other)), elements_(std::move(other.elements_), this) {}
    PdfArray &operator=(const PdfArray &) = delete;

    ArrayElements &Elements() { return elements_; }
    const ArrayElements &Elements() const { return elements_; }

    // Reads "[x1 y1 x2 y2]"; fails (invalid cast) unless the array holds
    // exactly four numbers.
    PdfRectangle ToRectangle() const;

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfArray>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override;

private:
    ArrayElements elements_;
};

}  // namespace ZavorPdf::Pdf
