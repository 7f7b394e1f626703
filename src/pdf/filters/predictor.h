// Undoes the PNG and TIFF predictors that a "/DecodeParms" dictionary names
// for Flate or LZW data. Cross-reference streams are almost always written
// with PNG "Up" rows, so their entries cannot be read without this.
#pragma once

#include <cstdint>
#include <vector>

namespace ZavorPdf::Pdf {
class PdfItem;
}

namespace ZavorPdf::Pdf::Filters {

class Predictor {
public:
    Predictor() = delete;

    // The decoded bytes with the predictor of the parameters undone; the
    // data unchanged without parameters or with "/Predictor 1". Fails
    // (PdfReaderException "Unsupported predictor parameters.") for values
    // out of range, "/Predictor" 2 with other than 8 bits per component
    // included. A last row cut short is dropped, as it cannot be complete.
    static std::vector<std::uint8_t> Undo(std::vector<std::uint8_t> data, const PdfItem *decodeParms);

    // The parameters of the last filter of a stream's chain, references
    // resolved: the predictor applies to what the whole chain decoded, and
    // the writers that use predictors use one filter only. Null for none.
    static const PdfItem *LastFilterParms(PdfItem *decodeParms);
};

}  // namespace ZavorPdf::Pdf::Filters
