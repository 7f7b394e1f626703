// ASCII85: five characters "!".."u" per four bytes, "z" for four zeros,
// "~>" at the end.
#pragma once

#include "pdf/filters/filter.h"

namespace ZavorPdf::Pdf::Filters {

class ASCII85Decode : public Filter {
public:
    using Filter::Decode;
    using Filter::Encode;

    // Groups of five characters, "z" for an all-zero group, a short last
    // group and the "~>" terminator.
    std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t> &data) const override;

    // Bytes outside "!".."u" and "z" are skipped. A missing "~>" throws
    // ArgumentException "Illegal character." ("data"); a last group of a
    // single character, a "z" inside a group and a group worth more than
    // 32 bits throw InvalidOperationException "Illegal character.".
    std::optional<std::vector<std::uint8_t>> Decode(const std::vector<std::uint8_t> &data,
                                                    const FilterParms *parms) const override;
};

}  // namespace ZavorPdf::Pdf::Filters
