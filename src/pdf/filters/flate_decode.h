// Flate (zlib format): the only filter the engine writes.
#pragma once

#include <cstddef>

#include "pdf/filters/filter.h"

namespace ZavorPdf::Pdf::Filters {

class FlateDecode : public Filter {
public:
    // Streams that inflate past this many bytes are refused, so that a few
    // kilobytes of crafted input cannot exhaust memory. 512 MiB is far above
    // any content stream or page image we meet in practice.
    static constexpr std::size_t DefaultDecodedLimit = std::size_t{512} * 1024 * 1024;

    using Filter::Decode;
    using Filter::Encode;

    // zlib's default level, with the zlib header and Adler-32 trailer.
    std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t> &data) const override;

    // Damaged or truncated data throws PdfReaderException "Flate data is
    // damaged: " plus zlib's reason; so does output beyond the limit.
    std::optional<std::vector<std::uint8_t>> Decode(const std::vector<std::uint8_t> &data,
                                                    const FilterParms *parms) const override;

    // As Decode, with an explicit output limit in bytes. Output beyond the
    // limit throws PdfReaderException "Flate data inflates to more than N
    // bytes."; where the parameters' budget is the smaller limit,
    // ReadBudgetExceededException.
    static std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t> &data, std::size_t decodedLimit,
                                             const FilterParms *parms = nullptr);
};

}  // namespace ZavorPdf::Pdf::Filters
