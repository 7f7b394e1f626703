// The common base of the stream filters: each filter turns encoded stream
// bytes back into plain bytes and, where the engine writes that format,
// plain bytes into encoded ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ZavorPdf::Pdf {
class PdfItem;
class ReadBudget;
}

namespace ZavorPdf::Pdf::Filters {

// The decode parameters of a stream ("/DecodeParms"), and the budget of the
// file the stream comes from. The parameters are carried along for callers
// that want them; no filter of ours evaluates them: a stream undoes its
// predictor after its whole chain (Predictor). The filters charge what they
// decode to the budget and stop decoding where it runs out.
class FilterParms {
public:
    FilterParms() = default;
    explicit FilterParms(const PdfItem *decodeParms, ReadBudget *budget = nullptr)
        : decodeParms_(decodeParms), budget_(budget) {}

    // Non-owning; may be null.
    const PdfItem *DecodeParms() const noexcept { return decodeParms_; }
    ReadBudget *Budget() const noexcept { return budget_; }

private:
    const PdfItem *decodeParms_ = nullptr;
    ReadBudget *budget_ = nullptr;
};

class Filter {
public:
    virtual ~Filter() = default;

    virtual std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t> &data) const = 0;
    // The text's raw bytes (the low 8 bits of each code unit), encoded.
    std::vector<std::uint8_t> Encode(std::u16string_view text) const;

    // Nothing only where a filter cannot decode at all; damaged data throws.
    virtual std::optional<std::vector<std::uint8_t>> Decode(const std::vector<std::uint8_t> &data,
                                                            const FilterParms *parms) const = 0;
    std::optional<std::vector<std::uint8_t>> Decode(const std::vector<std::uint8_t> &data) const;

    // Decodes, then maps each byte to the UTF-16 code unit of the same value.
    std::optional<std::u16string> DecodeToString(const std::vector<std::uint8_t> &data,
                                                 const FilterParms *parms = nullptr) const;

    // Drops 0x00, 0x09, 0x0A, 0x0C, 0x0D and 0x20; 0x0B stays.
    static std::vector<std::uint8_t> RemoveWhiteSpace(const std::vector<std::uint8_t> &data);
    static bool IsWhiteSpace(std::uint8_t byte) noexcept;

protected:
    // Charges decoded bytes to the parameters' budget, if there is one.
    static void Charge(const FilterParms *parms, std::size_t count);
    // The output limit for one stream: the filter's own, or the room left
    // in the budget when that is smaller.
    static std::size_t DecodedLimit(const FilterParms *parms, std::size_t filterLimit);

    Filter() = default;
    Filter(const Filter &) = default;
    Filter &operator=(const Filter &) = default;
};

// Raw encoding of text: one byte per code unit and back.
std::vector<std::uint8_t> RawBytes(std::u16string_view text);
std::u16string RawText(const std::vector<std::uint8_t> &bytes);

}  // namespace ZavorPdf::Pdf::Filters
