#include "pdf/filters/filter.h"

#include <algorithm>

#include "pdf/read_budget.h"

namespace ZavorPdf::Pdf::Filters {

std::vector<std::uint8_t> RawBytes(std::u16string_view text) {
    std::vector<std::uint8_t> bytes(text.size());
    std::transform(text.begin(), text.end(), bytes.begin(),
                   [](char16_t unit) { return static_cast<std::uint8_t>(unit & 0xFF); });
    return bytes;
}

std::u16string RawText(const std::vector<std::uint8_t> &bytes) {
    return std::u16string(bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> Filter::Encode(std::u16string_view text) const {
    return Encode(RawBytes(text));
}

std::optional<std::vector<std::uint8_t>> Filter::Decode(const std::vector<std::uint8_t> &data) const {
    return Decode(data, nullptr);
}

std::optional<std::u16string> Filter::DecodeToString(const std::vector<std::uint8_t> &data,
                                                     const FilterParms *parms) const {
    const auto decoded = Decode(data, parms);
    if (!decoded) {
        return std::nullopt;
    }
    return RawText(*decoded);
}

void Filter::Charge(const FilterParms *parms, std::size_t count) {
    if (parms != nullptr && parms->Budget() != nullptr) parms->Budget()->ChargeDecoded(count);
}

std::size_t Filter::DecodedLimit(const FilterParms *parms, std::size_t filterLimit) {
    if (parms == nullptr || parms->Budget() == nullptr) return filterLimit;
    return std::min(filterLimit, parms->Budget()->DecodedRoom());
}

bool Filter::IsWhiteSpace(std::uint8_t byte) noexcept {
    return byte == 0x00 || byte == 0x09 || byte == 0x0A || byte == 0x0C || byte == 0x0D || byte == 0x20;
}

std::vector<std::uint8_t> Filter::RemoveWhiteSpace(const std::vector<std::uint8_t> &data) {
    std::vector<std::uint8_t> compact;
    compact.reserve(data.size());
    std::copy_if(data.begin(), data.end(), std::back_inserter(compact),
                 [](std::uint8_t byte) { return !IsWhiteSpace(byte); });
    return compact;
}

}  // namespace ZavorPdf::Pdf::Filters
