// ASCIIHex: two hex digits per byte.
#pragma once

#include "pdf/filters/filter.h"

namespace ZavorPdf::Pdf::Filters {

class ASCIIHexDecode : public Filter {
public:
    using Filter::Decode;
    using Filter::Encode;

    // Two upper-case digits per byte, high nibble first; no separators and no
    // end marker.
    std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t> &data) const override;

    // White space is skipped, ">" ends the data, an odd last digit is
    // completed by a 0. Upper- and lower-case digits are accepted; any other
    // character throws ArgumentException "Illegal character." ("data").
    std::optional<std::vector<std::uint8_t>> Decode(const std::vector<std::uint8_t> &data,
                                                    const FilterParms *parms) const override;
};

}  // namespace ZavorPdf::Pdf::Filters
