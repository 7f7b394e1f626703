#include "pdf/filters/predictor.h"

#include <cstdlib>

#include "pdf/errors.h"
#include "pdf/item_access.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_number.h"

namespace ZavorPdf::Pdf::Filters {
namespace {

constexpr const char *Unsupported = "Unsupported predictor parameters.";

// Larger values are no picture or table any writer makes; they would only
// let a few bytes of parameters ask for huge rows.
constexpr std::int32_t MaxColumns = 1 << 20;
constexpr std::int32_t MaxColors = 32;

std::int32_t Parameter(const PdfDictionary &parms, const char *key, std::int32_t fallback) {
    PdfItem *item = parms.Elements()[key];
    if (item == nullptr) return fallback;
    auto *integer = dynamic_cast<PdfInteger *>(item);
    if (integer == nullptr) throw PdfReaderException(Unsupported);
    return integer->Value();
}

std::uint8_t Paeth(int left, int up, int upLeft) {
    int estimate = left + up - upLeft;
    int toLeft = std::abs(estimate - left), toUp = std::abs(estimate - up), toUpLeft = std::abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) return static_cast<std::uint8_t>(left);
    return static_cast<std::uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

// Each row carries its own filter byte, whatever "/Predictor" 10 to 15
// says: the values only tell that PNG rows follow.
std::vector<std::uint8_t> UndoPng(const std::vector<std::uint8_t> &data, std::size_t rowLength,
                                  std::size_t pixelLength) {
    // Wide rows named by a few bytes of parameters cost nothing without
    // the data to fill them.
    if (data.size() < rowLength + 1) return {};
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> previous(rowLength, 0);
    std::vector<std::uint8_t> row(rowLength);
    for (std::size_t at = 0; at + 1 + rowLength <= data.size(); at += 1 + rowLength) {
        std::uint8_t type = data[at];
        for (std::size_t i = 0; i < rowLength; ++i) {
            int left = i >= pixelLength ? row[i - pixelLength] : 0;
            int up = previous[i];
            int upLeft = i >= pixelLength ? previous[i - pixelLength] : 0;
            int value = data[at + 1 + i];
            switch (type) {
            case 0: break;
            case 1: value += left; break;
            case 2: value += up; break;
            case 3: value += (left + up) / 2; break;
            case 4: value += Paeth(left, up, upLeft); break;
            default: throw PdfReaderException(Unsupported);
            }
            row[i] = static_cast<std::uint8_t>(value);
        }
        out.insert(out.end(), row.begin(), row.end());
        previous.swap(row);
    }
    return out;
}

std::vector<std::uint8_t> UndoTiff(std::vector<std::uint8_t> data, std::size_t rowLength, std::size_t colors) {
    std::size_t whole = data.size() / rowLength * rowLength;
    data.resize(whole);
    for (std::size_t at = 0; at < whole; at += rowLength)
        for (std::size_t i = colors; i < rowLength; ++i)
            data[at + i] = static_cast<std::uint8_t>(data[at + i] + data[at + i - colors]);
    return data;
}

}  // namespace

std::vector<std::uint8_t> Predictor::Undo(std::vector<std::uint8_t> data, const PdfItem *decodeParms) {
    auto *parms = dynamic_cast<const PdfDictionary *>(decodeParms);
    if (parms == nullptr) return data;
    std::int32_t predictor = Parameter(*parms, "/Predictor", 1);
    if (predictor == 1) return data;
    std::int32_t columns = Parameter(*parms, "/Columns", 1);
    std::int32_t colors = Parameter(*parms, "/Colors", 1);
    std::int32_t bits = Parameter(*parms, "/BitsPerComponent", 8);
    bool bitsValid = bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16;
    if (columns < 1 || columns > MaxColumns || colors < 1 || colors > MaxColors || !bitsValid)
        throw PdfReaderException(Unsupported);
    std::size_t pixelBits = static_cast<std::size_t>(colors) * static_cast<std::size_t>(bits);
    std::size_t rowLength = (static_cast<std::size_t>(columns) * pixelBits + 7) / 8;
    std::size_t pixelLength = (pixelBits + 7) / 8;
    if (predictor >= 10 && predictor <= 15) return UndoPng(data, rowLength, pixelLength);
    if (predictor == 2 && bits == 8) return UndoTiff(std::move(data), rowLength, static_cast<std::size_t>(colors));
    throw PdfReaderException(Unsupported);
}

const PdfItem *Predictor::LastFilterParms(PdfItem *decodeParms) {
    PdfItem *parms = Internal::Resolve(decodeParms);
    auto *array = dynamic_cast<PdfArray *>(parms);
    if (array == nullptr) return parms;
    int count = array->Elements().Count();
    return count > 0 ? Internal::Resolve(array->Elements()[count - 1]) : nullptr;
}

}  // namespace ZavorPdf::Pdf::Filters
