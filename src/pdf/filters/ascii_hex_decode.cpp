#include "pdf/filters/ascii_hex_decode.h"

#include "pdf/errors.h"

namespace ZavorPdf::Pdf::Filters {

namespace {

int HexValue(std::uint8_t digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    // Other writers use lower case, which the file format allows as well.
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    throw ArgumentException("Illegal character.", "data");
}

}  // namespace

std::vector<std::uint8_t> ASCIIHexDecode::Encode(const std::vector<std::uint8_t> &data) const {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::vector<std::uint8_t> hex;
    hex.reserve(data.size() * 2);
    for (const std::uint8_t byte : data) {
        hex.push_back(static_cast<std::uint8_t>(Digits[byte >> 4]));
        hex.push_back(static_cast<std::uint8_t>(Digits[byte & 0x0F]));
    }
    return hex;
}

std::optional<std::vector<std::uint8_t>> ASCIIHexDecode::Decode(const std::vector<std::uint8_t> &data,
                                                                const FilterParms *parms) const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(data.size() / 2 + 1);
    int high = -1;
    for (const std::uint8_t digit : data) {
        if (IsWhiteSpace(digit)) {
            continue;
        }
        // The end-of-data marker; what follows it is not part of the stream.
        if (digit == '>') {
            break;
        }
        const int value = HexValue(digit);
        if (high < 0) {
            high = value;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | value));
            high = -1;
        }
    }
    if (high >= 0) {
        bytes.push_back(static_cast<std::uint8_t>(high << 4));
    }
    Charge(parms, bytes.size());
    return bytes;
}

}  // namespace ZavorPdf::Pdf::Filters
