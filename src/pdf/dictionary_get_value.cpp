// GetValue: creation of missing values and the typed conversion in place,
// both driven by the key metadata of the owning dictionary's class.
#include <typeinfo>

#include "pdf/dictionary_elements.h"
#include "pdf/errors.h"
#include "pdf/key_descriptor.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"

namespace ZavorPdf::Pdf {
namespace {

const KeyDescriptor *DescriptorOf(const PdfDictionary *owner, std::string_view key) {
    const DictionaryMeta *meta = owner != nullptr ? owner->Meta() : nullptr;
    return meta != nullptr ? meta->Find(key) : nullptr;
}

std::unique_ptr<PdfObject> NewValue(const KeyDescriptor &descriptor, PdfDocument *document) {
    if (descriptor.hasValueClass) {
        if (descriptor.create == nullptr) throw InvalidOperationException("Type other than array or dictionary.");
        return descriptor.create(document);
    }
    switch (descriptor.Kind()) {
    case KeyType::Array: return std::make_unique<PdfArray>(document);
    case KeyType::Dictionary:
    case KeyType::Stream: return std::make_unique<PdfDictionary>(document);
    default: throw InvalidOperationException("Type other than array or dictionary.");
    }
}

}  // namespace

DictionaryMeta::DictionaryMeta(std::initializer_list<KeyDescriptor> keys, const DictionaryMeta *base)
    : keys_(keys) {
    if (base == nullptr) return;
    for (const auto &inherited : base->keys_)
        if (Find(inherited.keyValue) == nullptr) keys_.push_back(inherited);
}

const KeyDescriptor *DictionaryMeta::Find(std::string_view key) const {
    for (const auto &descriptor : keys_)
        if (descriptor.keyValue == key) return &descriptor;
    return nullptr;
}

PdfItem *DictionaryElements::GetValue(std::string_view key, VCF options) {
    Entry *entry = Find(key);
    if (entry == nullptr) return options == VCF::None ? nullptr : CreateValue(key, options);
    if (PdfReference *reference = entry->value.Reference()) {
        PdfObject *value = reference->Value();
        if (value == nullptr) throw InvalidOperationException("Indirect reference without value.");
        return ConvertIfGeneric(*entry, value);
    }
    PdfItem *item = entry->value.Get();
    if (auto *object = dynamic_cast<PdfObject *>(item)) return ConvertIfGeneric(*entry, object);
    return item;
}

PdfItem *DictionaryElements::CreateValue(std::string_view key, VCF options) {
    const KeyDescriptor *descriptor = DescriptorOf(owner_, key);
    if (descriptor == nullptr) throw InvalidOperationException("Cannot create value for key: " + std::string(key));
    PdfDocument *document = owner_->Owner();
    std::unique_ptr<PdfObject> value = NewValue(*descriptor, document);
    if (options == VCF::CreateIndirect) {
        if (document == nullptr)
            throw InvalidOperationException("An indirect value needs a dictionary that belongs to a document.");
        PdfReference *reference = document->ReferenceTable().Add(std::move(value));
        SetReference(key, reference);
        return reference->Value();
    }
    PdfObject *raw = value.get();
    SetObject(key, std::move(value));
    return raw;
}

// Only a plain PdfDictionary or PdfArray is converted: a value that already
// has a typed class of its own keeps it, even if the metadata names another.
PdfObject *DictionaryElements::ConvertIfGeneric(Entry &entry, PdfObject *value) {
    const KeyDescriptor *descriptor = DescriptorOf(owner_, entry.key);
    if (descriptor == nullptr || descriptor->convert == nullptr || descriptor->isInstance(*value)) return value;
    const std::type_info &generic = descriptor->valueIsArray ? typeid(PdfArray) : typeid(PdfDictionary);
    if (typeid(*value) != generic) return value;

    std::unique_ptr<PdfObject> converted = descriptor->convert(std::move(*value));
    PdfObject *raw = converted.get();
    if (PdfReference *reference = raw->Reference()) {
        // The table owns indirect objects: its slot takes the new object,
        // whose reference already points at it.
        PdfDocument *document = reference->Document();
        if (document == nullptr) throw InvalidOperationException("Indirect reference without document.");
        document->ReferenceTable().ReplaceObject(*reference, std::move(converted));
    } else {
        entry.value.ReplaceOwned(std::move(converted));
    }
    return raw;
}

}  // namespace ZavorPdf::Pdf
