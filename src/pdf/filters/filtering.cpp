#include "pdf/filters/filtering.h"

#include <array>
#include <string>

#include "pdf/errors.h"
#include "pdf/filters/ascii85_decode.h"
#include "pdf/filters/ascii_hex_decode.h"
#include "pdf/filters/flate_decode.h"
#include "pdf/filters/lzw_decode.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_reference.h"

namespace ZavorPdf::Pdf::Filters {

namespace {

enum class FilterKind { Flate, ASCIIHex, ASCII85, Lzw, Undecodable };

struct NamedFilter {
    std::string_view name;
    FilterKind kind;
};

constexpr std::array<NamedFilter, 14> KnownFilters{{
    {"ASCIIHexDecode", FilterKind::ASCIIHex},
    {"AHx", FilterKind::ASCIIHex},
    {"ASCII85Decode", FilterKind::ASCII85},
    {"A85", FilterKind::ASCII85},
    {"LZWDecode", FilterKind::Lzw},
    {"LZW", FilterKind::Lzw},
    {"FlateDecode", FilterKind::Flate},
    {"Fl", FilterKind::Flate},
    {"RunLengthDecode", FilterKind::Undecodable},
    {"CCITTFaxDecode", FilterKind::Undecodable},
    {"JBIG2Decode", FilterKind::Undecodable},
    {"DCTDecode", FilterKind::Undecodable},
    {"JPXDecode", FilterKind::Undecodable},
    {"Crypt", FilterKind::Undecodable},
}};

// The value behind a reference, or the item itself. A "/Filter" value may
// stand in an object of its own like any other value.
const PdfItem *Resolve(const PdfItem *item) {
    if (const auto *reference = dynamic_cast<const PdfReference *>(item)) {
        return reference->Value();
    }
    return item;
}

// The text of a name or of its indirect twin; null for anything else.
const std::string *NameText(const PdfItem *item) {
    item = Resolve(item);
    if (const auto *name = dynamic_cast<const PdfName *>(item)) {
        return &name->Value();
    }
    if (const auto *name = dynamic_cast<const PdfNameObject *>(item)) {
        return &name->Value();
    }
    return nullptr;
}

}  // namespace

const Filter *Filtering::GetFilter(std::string_view name) {
    if (!name.empty() && name.front() == '/') {
        name.remove_prefix(1);
    }
    for (const NamedFilter &known : KnownFilters) {
        if (known.name != name) {
            continue;
        }
        switch (known.kind) {
        case FilterKind::Flate:
            return &FlateDecode();
        case FilterKind::ASCIIHex:
            return &ASCIIHexDecode();
        case FilterKind::ASCII85:
            return &ASCII85Decode();
        case FilterKind::Lzw:
            return &LzwDecode();
        case FilterKind::Undecodable:
            return nullptr;
        }
    }
    throw NotImplementedException("Unknown filter: " + std::string(name));
}

std::optional<std::vector<std::uint8_t>> Filtering::Encode(const std::vector<std::uint8_t> &data,
                                                           std::string_view name) {
    const Filter *filter = GetFilter(name);
    if (filter == nullptr) {
        return std::nullopt;
    }
    return filter->Encode(data);
}

std::optional<std::vector<std::uint8_t>> Filtering::Encode(std::u16string_view text, std::string_view name) {
    return Encode(RawBytes(text), name);
}

std::optional<std::vector<std::uint8_t>> Filtering::Decode(const std::vector<std::uint8_t> &data,
                                                           std::string_view name, const FilterParms *parms) {
    const Filter *filter = GetFilter(name);
    if (filter == nullptr) {
        return std::nullopt;
    }
    return filter->Decode(data, parms);
}

std::optional<std::u16string> Filtering::DecodeToString(const std::vector<std::uint8_t> &data,
                                                        std::string_view name, const FilterParms *parms) {
    const Filter *filter = GetFilter(name);
    if (filter == nullptr) {
        return std::nullopt;
    }
    return filter->DecodeToString(data, parms);
}

std::optional<std::vector<std::uint8_t>> Filtering::Decode(const std::vector<std::uint8_t> &data,
                                                           const PdfItem *filterItem, ReadBudget *budget) {
    const FilterParms parms(nullptr, budget);
    if (const std::string *name = NameText(filterItem)) {
        return Decode(data, *name, &parms);
    }
    const auto *array = dynamic_cast<const PdfArray *>(Resolve(filterItem));
    if (array == nullptr) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes = data;
    for (int i = 0; i < array->Elements().Count(); ++i) {
        const std::string *name = NameText(array->Elements()[i]);
        if (name == nullptr) {
            return std::nullopt;
        }
        auto decoded = Decode(bytes, *name, &parms);
        if (!decoded) {
            return std::nullopt;
        }
        bytes = std::move(*decoded);
    }
    return bytes;
}

const FlateDecode &Filtering::FlateDecode() {
    static const Filters::FlateDecode instance;
    return instance;
}

const ASCIIHexDecode &Filtering::ASCIIHexDecode() {
    static const Filters::ASCIIHexDecode instance;
    return instance;
}

const ASCII85Decode &Filtering::ASCII85Decode() {
    static const Filters::ASCII85Decode instance;
    return instance;
}

const LzwDecode &Filtering::LzwDecode() {
    static const Filters::LzwDecode instance;
    return instance;
}

}  // namespace ZavorPdf::Pdf::Filters
