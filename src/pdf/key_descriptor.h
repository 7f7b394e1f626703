// Key metadata of the typed dictionaries: for each key its kind, its flags
// and, for dictionaries and arrays with a class of their own, how to make an
// object of that class. A typed accessor that finds a key missing or holding
// a generic dictionary uses it to create or convert the value.
//
// A typed dictionary class declares a nested Keys class with the key texts
// as constants and a static Meta() that builds its table once:
//
//   const DictionaryMeta &PdfCatalog::Keys::Meta() {
//       static const DictionaryMeta meta({
//           KeyDescriptor(Type, KeyType::Name | KeyType::Required),
//           TypedKey<PdfPages>(Pages, KeyType::Dictionary | KeyType::MustBeIndirect),
//       });
//       return meta;
//   }
//
// and overrides PdfDictionary::Meta() to return &Keys::Meta(). A class
// named by TypedKey needs the constructors T(PdfDocument *) and
// T(PdfDictionary &&) (or T(PdfArray &&) for arrays); the second takes over
// a generic object in place.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace ZavorPdf::Pdf {

class PdfArray;
class PdfDictionary;
class PdfDocument;
class PdfObject;

enum class KeyType : std::uint32_t {
    Name = 1,
    String = 2,
    Boolean = 3,
    Integer = 4,
    Real = 5,
    Date = 6,
    Rectangle = 7,
    Array = 8,
    Dictionary = 9,
    Stream = 10,
    NumberTree = 11,
    Function = 12,
    TextString = 13,
    NameOrArray = 16,
    NameOrDictionary = 32,
    ArrayOrDictionary = 48,
    StreamOrArray = 64,
    StreamOrName = 80,
    ArrayOrNameOrString = 96,
    FunctionOrName = 112,
    Various = 128,
    TypeMask = 255,
    Optional = 256,
    Required = 512,
    Inheritable = 1024,
    MustBeIndirect = 4096,
    MustNotBeIndirect = 8192,
};

constexpr KeyType operator|(KeyType a, KeyType b) {
    return static_cast<KeyType>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}
constexpr KeyType operator&(KeyType a, KeyType b) {
    return static_cast<KeyType>(static_cast<std::uint32_t>(a) & static_cast<std::uint32_t>(b));
}
constexpr bool HasFlag(KeyType value, KeyType flag) { return (value & flag) == flag; }

struct KeyDescriptor {
    using Factory = std::unique_ptr<PdfObject> (*)(PdfDocument *document);
    using Converter = std::unique_ptr<PdfObject> (*)(PdfObject &&generic);
    using InstanceTest = bool (*)(const PdfObject &object);

    KeyDescriptor(std::string key, KeyType type, std::string version = "1.0")
        : keyValue(std::move(key)), keyType(type), version(std::move(version)) {}

    std::string keyValue;
    KeyType keyType;
    std::string version;

    // Set when the value has a class of its own.
    bool hasValueClass = false;
    Factory create = nullptr;      // null when that class is no array or dictionary
    Converter convert = nullptr;   // from a plain PdfDictionary or PdfArray
    InstanceTest isInstance = nullptr;
    bool valueIsArray = false;

    KeyType Kind() const { return keyType & KeyType::TypeMask; }
};

namespace Detail {
template <class T>
std::unique_ptr<PdfObject> CreateTyped(PdfDocument *document) {
    return std::make_unique<T>(document);
}
template <class T, class Generic>
std::unique_ptr<PdfObject> ConvertTyped(PdfObject &&generic) {
    return std::make_unique<T>(static_cast<Generic &&>(generic));
}
template <class T>
bool IsInstance(const PdfObject &object) {
    return dynamic_cast<const T *>(&object) != nullptr;
}
}  // namespace Detail

// A key whose value is an object of class T. For a T that is neither a
// dictionary nor an array class, the accessors refuse to create it.
template <class T>
KeyDescriptor TypedKey(std::string key, KeyType type, std::string version = "1.0") {
    KeyDescriptor descriptor(std::move(key), type, std::move(version));
    descriptor.hasValueClass = true;
    if constexpr (std::is_base_of_v<PdfDictionary, T>) {
        descriptor.create = &Detail::CreateTyped<T>;
        descriptor.convert = &Detail::ConvertTyped<T, PdfDictionary>;
        descriptor.isInstance = &Detail::IsInstance<T>;
    } else if constexpr (std::is_base_of_v<PdfArray, T>) {
        descriptor.create = &Detail::CreateTyped<T>;
        descriptor.convert = &Detail::ConvertTyped<T, PdfArray>;
        descriptor.isInstance = &Detail::IsInstance<T>;
        descriptor.valueIsArray = true;
    }
    return descriptor;
}

// The key table of one typed dictionary class, built once. A derived class
// passes its base class's table to inherit those keys.
class DictionaryMeta {
public:
    DictionaryMeta(std::initializer_list<KeyDescriptor> keys, const DictionaryMeta *base = nullptr);

    const KeyDescriptor *Find(std::string_view key) const;
    const std::vector<KeyDescriptor> &Keys() const { return keys_; }

private:
    std::vector<KeyDescriptor> keys_;
};

// Base of every nested Keys class.
struct KeysBase {};

}  // namespace ZavorPdf::Pdf
