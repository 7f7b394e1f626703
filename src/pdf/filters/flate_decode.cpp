#include "pdf/filters/flate_decode.h"

#include "pdf/errors.h"
#include "pdf/read_budget.h"
#include "platform/flate_codec.h"

namespace ZavorPdf::Pdf::Filters {

std::vector<std::uint8_t> FlateDecode::Encode(const std::vector<std::uint8_t> &data) const {
    try {
        return ZavorPlatform::Deflate(data);
    } catch (const ZavorPlatform::FlateError &error) {
        throw ZavorPdfException(std::string("Flate compression failed: ") + error.what());
    }
}

std::optional<std::vector<std::uint8_t>> FlateDecode::Decode(const std::vector<std::uint8_t> &data,
                                                             const FilterParms *parms) const {
    return Inflate(data, DefaultDecodedLimit, parms);
}

std::vector<std::uint8_t> FlateDecode::Inflate(const std::vector<std::uint8_t> &data, std::size_t decodedLimit,
                                               const FilterParms *parms) {
    // zlib stops at the limit, so a bomb never grows past what the file may
    // still spend.
    const std::size_t limit = DecodedLimit(parms, decodedLimit);
    try {
        std::vector<std::uint8_t> out = ZavorPlatform::Inflate(data, limit);
        Charge(parms, out.size());
        return out;
    } catch (const ZavorPlatform::FlateError &error) {
        using Kind = ZavorPlatform::FlateError::Kind;
        switch (error.GetKind()) {
        case Kind::Damaged:
            throw PdfReaderException(std::string("Flate data is damaged: ") + error.what());
        case Kind::LimitExceeded:
            if (limit < decodedLimit) parms->Budget()->RefuseDecoded();
            throw PdfReaderException("Flate data inflates to more than " + std::to_string(decodedLimit) +
                                     " bytes.");
        case Kind::Failed:
            break;
        }
        throw ZavorPdfException(std::string("Flate decompression failed: ") + error.what());
    }
}

}  // namespace ZavorPdf::Pdf::Filters
