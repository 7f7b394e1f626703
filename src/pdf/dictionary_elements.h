// The entries of a dictionary in insertion order, with typed accessors.
// Keys are stored with their leading "/".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "pdf/pdf_date.h"
#include "pdf/pdf_item_slot.h"
#include "pdf/pdf_rectangle.h"

namespace ZavorPdf::Pdf {

class PdfArray;
class PdfDictionary;
class PdfName;
class PdfObject;
class PdfReference;

// a b c d e f of a transformation matrix.
using PdfMatrix = std::array<double, 6>;
inline constexpr PdfMatrix IdentityMatrix{1, 0, 0, 1, 0, 0};

// How GetValue treats a missing key.
enum class VCF { None = 0, Create = 1, CreateIndirect = 2 };

template <class E>
struct EnumName {
    E value;
    const char *name;  // without the "/"
};

class DictionaryElements {
public:
    struct Entry {
        std::string key;
        PdfItemSlot value;
    };

    explicit DictionaryElements(PdfDictionary *owner) : owner_(owner) {}
    DictionaryElements(const DictionaryElements &other, PdfDictionary *owner);
    DictionaryElements(DictionaryElements &&other, PdfDictionary *owner) noexcept;
    DictionaryElements(const DictionaryElements &) = delete;
    DictionaryElements &operator=(const DictionaryElements &) = delete;

    // The stored item (a reference is returned as such), null when absent.
    PdfItem *operator[](std::string_view key) const;
    bool ContainsKey(std::string_view key) const { return Find(key) != nullptr; }
    int Count() const { return static_cast<int>(entries_.size()); }
    bool Remove(std::string_view key);
    void Clear();
    // Room for `count` entries, for a dictionary whose keys are known up
    // front (otherwise the first entry makes room for two).
    void Reserve(int count) { entries_.reserve(static_cast<std::size_t>(count)); }
    const std::vector<Entry> &Entries() const { return entries_; }
    std::vector<PdfName> KeyNames() const;

    // Stores a direct value; a key already present keeps its position.
    // Fails with "The key must start with a slash '/'." for a bad key and
    // refuses an indirect object or a reference (use SetReference).
    void SetValue(std::string_view key, std::unique_ptr<PdfItem> value);
    // Fails with "PdfObject must not be an indirect object.".
    void SetObject(std::string_view key, std::unique_ptr<PdfObject> object);
    // Fails with "PdfObject must be an indirect object.".
    void SetReference(std::string_view key, const PdfObject &object);
    void SetReference(std::string_view key, PdfReference *reference);

    // Typed getters; they look through references and accept the direct and
    // the indirect twin alike. A missing key yields the neutral value; the
    // overloads with `create` store it first when create is true.
    bool GetBoolean(std::string_view key) const;
    bool GetBoolean(std::string_view key, bool create);
    std::int32_t GetInteger(std::string_view key) const;
    std::int32_t GetInteger(std::string_view key, bool create);
    double GetReal(std::string_view key) const;
    double GetReal(std::string_view key, bool create);
    std::u16string GetString(std::string_view key) const;
    std::u16string GetString(std::string_view key, bool create);
    std::string GetName(std::string_view key) const;
    PdfRectangle GetRectangle(std::string_view key) const;
    // Also replaces a stored four-number array by a PdfRectangle.
    PdfRectangle GetRectangle(std::string_view key, bool create);
    PdfMatrix GetMatrix(std::string_view key) const;
    PdfMatrix GetMatrix(std::string_view key, bool create);
    LocalDateTime GetDateTime(std::string_view key, const LocalDateTime &defaultValue) const;

    template <class E>
    E GetEnumFromName(std::string_view key, E defaultValue, std::span<const EnumName<E>> names) const {
        std::string name = GetName(key);
        if (name.empty()) return defaultValue;
        for (const auto &entry : names)
            if (name.compare(1, std::string::npos, entry.name) == 0) return entry.value;
        return defaultValue;
    }
    template <class E>
    void SetEnumAsName(std::string_view key, E value, std::span<const EnumName<E>> names) {
        for (const auto &entry : names)
            if (entry.value == value) return SetName(key, entry.name);
        SetName(key, std::to_string(static_cast<long long>(value)));
    }

    void SetBoolean(std::string_view key, bool value);
    void SetInteger(std::string_view key, std::int32_t value);
    void SetReal(std::string_view key, double value);
    // A raw-encoded string.
    void SetString(std::string_view key, std::u16string value);
    // Prefixes the "/" when missing.
    void SetName(std::string_view key, std::string_view value);
    void SetRectangle(std::string_view key, const PdfRectangle &rectangle);
    void SetMatrix(std::string_view key, const PdfMatrix &matrix);
    void SetDateTime(std::string_view key, const LocalDateTime &value);

    // The value under the key, looked up through a reference; missing keys
    // are created as the key metadata says when options is not None, and a
    // generic dictionary or array is converted in place into the class that
    // the metadata names. The converted object takes the old one's place
    // in its container or table slot and its reference; pointers to the
    // old object taken before the call no longer hold.
    PdfItem *GetValue(std::string_view key, VCF options = VCF::None);
    template <class T>
    T *GetValue(std::string_view key, VCF options = VCF::None) {
        return dynamic_cast<T *>(GetValue(key, options));
    }

    // Null when absent or of another kind; they look through references.
    PdfDictionary *GetDictionary(std::string_view key) const;
    PdfArray *GetArray(std::string_view key) const;
    PdfReference *GetReference(std::string_view key) const;
    PdfObject *GetObject(std::string_view key) const;
    // The object only when the key holds a reference.
    PdfObject *GetIndirectObject(std::string_view key) const;

private:
    // Hashes std::string and std::string_view alike, so that a lookup by
    // view needs no string of its own.
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const noexcept { return std::hash<std::string_view>{}(key); }
    };
    // Small dictionaries, by far the most, are scanned; a larger one keeps
    // an index from key to position, so that a file with one dictionary of
    // a hundred thousand keys reads in linear time.
    static constexpr std::size_t IndexedFrom = 16;
    using Index = std::unordered_map<std::string, std::size_t, KeyHash, std::equal_to<>>;

    void RebuildIndex();
    const Entry *Find(std::string_view key) const;
    Entry *Find(std::string_view key);
    PdfItem *Resolved(std::string_view key) const;
    void Store(std::string_view key, PdfItemSlot slot);
    PdfItem *CreateValue(std::string_view key, VCF options);
    PdfObject *ConvertIfGeneric(Entry &entry, PdfObject *value);

    PdfDictionary *owner_;  // non-owning back pointer
    std::vector<Entry> entries_;  // in insertion order, as written
    // Null while small: a document holds many thousand small dictionaries,
    // and an empty map alone takes seven words.
    std::unique_ptr<Index> index_;
};

}  // namespace ZavorPdf::Pdf
