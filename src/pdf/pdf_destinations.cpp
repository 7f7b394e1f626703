#include "pdf/pdf_destinations.h"

#include <array>
#include <string_view>

#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_null.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_trailer.h"

namespace ZavorPdf::Pdf {
namespace {

// Deeper trees than this are no real file's: a tree of a million names is
// a handful of levels deep.
constexpr int kMaxNameTreeDepth = 64;

struct DestinationKind {
    std::string_view name;
    int parameters;
};

constexpr std::array<DestinationKind, 8> Kinds{{
    {"/XYZ", 3},
    {"/Fit", 0},
    {"/FitH", 1},
    {"/FitV", 1},
    {"/FitR", 4},
    {"/FitB", 0},
    {"/FitBH", 1},
    {"/FitBV", 1},
}};

const PdfItem *Resolved(const PdfItem *item) {
    if (item != nullptr && item->IsReference()) return static_cast<const PdfReference *>(item)->Value();
    return item;
}

std::optional<double> NumberOf(const PdfItem *item) {
    if (auto *number = dynamic_cast<const PdfNumber *>(item)) return number->AsDouble();
    if (auto *number = dynamic_cast<const PdfNumberObject *>(item)) return number->AsDouble();
    return std::nullopt;
}

const std::string *NameOf(const PdfItem *item) {
    if (auto *name = dynamic_cast<const PdfName *>(item)) return &name->Value();
    if (auto *name = dynamic_cast<const PdfNameObject *>(item)) return &name->Value();
    return nullptr;
}

const std::u16string *StringOf(const PdfItem *item) {
    if (auto *text = dynamic_cast<const PdfString *>(item)) return &text->Value();
    if (auto *text = dynamic_cast<const PdfStringObject *>(item)) return &text->Value().Value();
    return nullptr;
}

// A name without its slash as the string a name tree would hold, and back.
std::u16string NameAsString(const std::string &name) {
    std::u16string text;
    for (std::size_t i = 1; i < name.size(); ++i) text += static_cast<char16_t>(static_cast<unsigned char>(name[i]));
    return text;
}

std::optional<std::string> StringAsName(const std::u16string &text) {
    std::string name = "/";
    for (char16_t unit : text) {
        if (unit > 0xFF) return std::nullopt;
        name += static_cast<char>(unit);
    }
    return name;
}

// The slot's reference when it has one, else the direct item.
const PdfItem *Stored(const PdfItemSlot &slot) {
    return slot.IsReference() ? static_cast<const PdfItem *>(slot.Reference()) : slot.Get();
}

}  // namespace

std::optional<PdfExplicitDestination> TryReadExplicitDestination(const PdfItem &item) {
    auto *array = dynamic_cast<const PdfArray *>(Resolved(&item));
    if (array == nullptr || array->Elements().Count() < 2) return std::nullopt;
    const ArrayElements &elements = array->Elements();
    PdfExplicitDestination destination;
    const PdfItem *page = elements[0];
    if (page != nullptr && page->IsReference()) {
        destination.pageObject = static_cast<const PdfReference *>(page)->ObjectID();
    } else if (auto *index = dynamic_cast<const PdfInteger *>(page); index != nullptr && index->Value() >= 0) {
        destination.pageIndex = index->Value();
    } else {
        return std::nullopt;
    }
    const std::string *kind = NameOf(Resolved(elements[1]));
    if (kind == nullptr) return std::nullopt;
    for (const DestinationKind &known : Kinds) {
        if (known.name != *kind) continue;
        destination.kind = *kind;
        for (int i = 0; i < known.parameters; ++i) {
            std::optional<double> value;
            if (2 + i < elements.Count()) value = NumberOf(Resolved(elements[2 + i]));
            // A zoom rectangle with a hole cannot be shown.
            if (!value && known.name == "/FitR") return std::nullopt;
            destination.parameters.push_back(value);
        }
        return destination;
    }
    return std::nullopt;
}

std::unique_ptr<PdfArray> MakeDestinationArray(const PdfExplicitDestination &destination, PdfReference *page,
                                               PdfDocument *owner) {
    auto array = std::make_unique<PdfArray>(owner);
    array->Elements().AddReference(page);
    array->Elements().Add(std::make_unique<PdfName>(destination.kind));
    for (const std::optional<double> &value : destination.parameters) {
        if (value)
            array->Elements().Add(std::make_unique<PdfReal>(*value));
        else
            array->Elements().Add(std::make_unique<PdfNull>());
    }
    return array;
}

PdfNamedDestinations::PdfNamedDestinations(const PdfDocument &document) {
    const PdfDictionary *catalog = document.Trailer().Elements().GetDictionary(PdfTrailer::Keys::Root);
    if (catalog == nullptr) return;
    if (const PdfDictionary *dests = catalog->Elements().GetDictionary("/Dests"))
        for (const auto &entry : dests->Elements().Entries()) byName_.emplace(entry.key, Stored(entry.value));
    const PdfDictionary *names = catalog->Elements().GetDictionary("/Names");
    const PdfDictionary *tree = names != nullptr ? names->Elements().GetDictionary("/Dests") : nullptr;
    std::set<const PdfObject *> visited;
    if (tree != nullptr) ReadTree(*tree, 0, visited);
}

void PdfNamedDestinations::ReadTree(const PdfDictionary &node, int depth, std::set<const PdfObject *> &visited) {
    if (depth > kMaxNameTreeDepth || !visited.insert(&node).second) return;
    if (const PdfArray *pairs = node.Elements().GetArray("/Names")) {
        const std::vector<PdfItemSlot> &items = pairs->Elements().Items();
        // The first of two equal keys wins, as a lookup by the tree's
        // limits would find it.
        for (std::size_t i = 0; i + 1 < items.size(); i += 2) {
            const PdfItem *key = Resolved(items[i].Get());
            if (const std::u16string *text = StringOf(key))
                byString_.emplace(*text, Stored(items[i + 1]));
            else if (const std::string *name = NameOf(key))
                byString_.emplace(NameAsString(*name), Stored(items[i + 1]));
        }
    }
    if (const PdfArray *kids = node.Elements().GetArray("/Kids"))
        for (int i = 0; i < kids->Elements().Count(); ++i)
            if (const PdfDictionary *kid = kids->Elements().GetDictionary(i)) ReadTree(*kid, depth + 1, visited);
}

std::optional<PdfExplicitDestination> PdfNamedDestinations::Find(const PdfItem &name) const {
    const PdfItem *key = Resolved(&name);
    const PdfItem *value = nullptr;
    auto findName = [&](const std::string &text) {
        auto found = byName_.find(text);
        if (found != byName_.end()) value = found->second;
    };
    auto findString = [&](const std::u16string &text) {
        auto found = byString_.find(text);
        if (found != byString_.end()) value = found->second;
    };
    if (const std::string *text = NameOf(key)) {
        findName(*text);
        if (value == nullptr) findString(NameAsString(*text));
    } else if (const std::u16string *text = StringOf(key)) {
        findString(*text);
        if (value == nullptr)
            if (std::optional<std::string> asName = StringAsName(*text)) findName(*asName);
    }
    value = Resolved(value);
    if (value == nullptr) return std::nullopt;
    if (auto *dictionary = dynamic_cast<const PdfDictionary *>(value)) {
        value = dictionary->Elements()["/D"];
        if (value == nullptr) return std::nullopt;
    }
    return TryReadExplicitDestination(*value);
}

}  // namespace ZavorPdf::Pdf
