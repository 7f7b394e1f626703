// The number under which an indirect object is filed: object number and
// generation number.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace ZavorPdf::Pdf {

class PdfObjectID {
public:
    constexpr PdfObjectID() = default;
    constexpr PdfObjectID(std::int32_t objectNumber, std::uint16_t generationNumber = 0)
        : objectNumber_(objectNumber), generationNumber_(generationNumber) {}

    constexpr std::int32_t ObjectNumber() const { return objectNumber_; }
    constexpr std::uint16_t GenerationNumber() const { return generationNumber_; }
    // (0, 0) marks an object that has not been given a number yet.
    constexpr bool IsEmpty() const { return objectNumber_ == 0 && generationNumber_ == 0; }

    constexpr bool operator==(const PdfObjectID &) const = default;
    constexpr std::strong_ordering operator<=>(const PdfObjectID &) const = default;

    // "n g", one blank between.
    std::string ToString() const {
        return std::to_string(objectNumber_) + " " + std::to_string(generationNumber_);
    }

private:
    std::int32_t objectNumber_ = 0;
    std::uint16_t generationNumber_ = 0;
};

}  // namespace ZavorPdf::Pdf

template <>
struct std::hash<ZavorPdf::Pdf::PdfObjectID> {
    std::size_t operator()(const ZavorPdf::Pdf::PdfObjectID &id) const noexcept {
        return static_cast<std::size_t>(static_cast<std::uint32_t>(id.ObjectNumber()) ^ id.GenerationNumber());
    }
};
