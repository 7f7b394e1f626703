// LZW with early change, decode only.
#pragma once

#include <cstddef>

#include "pdf/filters/filter.h"

namespace ZavorPdf::Pdf::Filters {

class LzwDecode : public Filter {
public:
    // One 12-bit code can stand for some thousand bytes, enough for a few
    // megabytes of input to ask for gigabytes.
    static constexpr std::size_t DefaultDecodedLimit = std::size_t{512} * 1024 * 1024;

    using Filter::Decode;
    using Filter::Encode;

    // Always throws NotImplementedException "ZavorPdf does not support LZW
    // encoding.".
    std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t> &data) const override;

    // The old flavour (starting 0x00 0x01) throws NotSupportedException "LZW
    // flavour not supported."; a code that the table does not hold yet and
    // output beyond the limit throw PdfReaderException. Data that ends
    // without the end code yields what was decoded so far.
    std::optional<std::vector<std::uint8_t>> Decode(const std::vector<std::uint8_t> &data,
                                                    const FilterParms *parms) const override;

    // Where the parameters' budget is smaller than the limit, output beyond
    // it throws ReadBudgetExceededException.
    static std::vector<std::uint8_t> Expand(const std::vector<std::uint8_t> &data, std::size_t decodedLimit,
                                            const FilterParms *parms = nullptr);
};

}  // namespace ZavorPdf::Pdf::Filters
