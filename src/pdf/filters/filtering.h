// Maps filter names ("/FlateDecode", "/Fl", ...) to the filters and applies
// the "/Filter" value of a stream.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/filters/filter.h"

namespace ZavorPdf::Pdf {
class PdfItem;
class ReadBudget;
}

namespace ZavorPdf::Pdf::Filters {

class FlateDecode;
class ASCIIHexDecode;
class ASCII85Decode;
class LzwDecode;

class Filtering {
public:
    Filtering() = delete;

    // The filter for a name, with or without its leading "/" (exact,
    // case-sensitive match; abbreviations such as "Fl" and "AHx" included).
    // Nothing for a known filter that we cannot decode ("DCTDecode" ...);
    // NotImplementedException "Unknown filter: X" for any other name.
    static const Filter *GetFilter(std::string_view name);

    // These look the filter up as GetFilter does; a known filter that we
    // cannot decode yields nothing.
    static std::optional<std::vector<std::uint8_t>> Encode(const std::vector<std::uint8_t> &data,
                                                           std::string_view name);
    static std::optional<std::vector<std::uint8_t>> Encode(std::u16string_view text, std::string_view name);
    static std::optional<std::vector<std::uint8_t>> Decode(const std::vector<std::uint8_t> &data,
                                                           std::string_view name,
                                                           const FilterParms *parms = nullptr);
    static std::optional<std::u16string> DecodeToString(const std::vector<std::uint8_t> &data,
                                                        std::string_view name,
                                                        const FilterParms *parms = nullptr);

    // Applies a stream's "/Filter" value: a name decodes with that filter, an
    // array applies its names in order. Nothing when a filter in it cannot be
    // decoded, and for any other item (null included). filterItem is
    // non-owning. With a budget, every filter in the chain charges its
    // output to it (ReadBudgetExceededException once it runs out).
    static std::optional<std::vector<std::uint8_t>> Decode(const std::vector<std::uint8_t> &data,
                                                           const PdfItem *filterItem, ReadBudget *budget = nullptr);

    // The shared instances, created on first use.
    static const class FlateDecode &FlateDecode();
    static const class ASCIIHexDecode &ASCIIHexDecode();
    static const class ASCII85Decode &ASCII85Decode();
    static const class LzwDecode &LzwDecode();
};

}  // namespace ZavorPdf::Pdf::Filters
