// Bounds-checked little-endian reads from a picture file held in memory,
// shared by the decoders that parse their formats by hand (BMP, icons).
// Every read past the end is the file's fault: it ends in ImageError
// Damaged ("<format>: the file is cut short").
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/image_formats.h"

namespace ZavorPlatform::ImageFormats {

class LittleEndianBytes {
public:
    LittleEndianBytes(std::span<const std::uint8_t> bytes, const char *format) : bytes_(bytes), format_(format) {}

    std::uint32_t U32(std::size_t at) const {
        Need(at, 4);
        return bytes_[at] | bytes_[at + 1] << 8 | bytes_[at + 2] << 16 |
               static_cast<std::uint32_t>(bytes_[at + 3]) << 24;
    }
    std::uint16_t U16(std::size_t at) const {
        Need(at, 2);
        return static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
    }
    std::uint8_t U8(std::size_t at) const {
        Need(at, 1);
        return bytes_[at];
    }
    void Need(std::size_t at, std::size_t count) const {
        if (!Has(at, count)) Damaged(format_, "the file is cut short");
    }
    bool Has(std::size_t at, std::size_t count) const { return at <= bytes_.size() && count <= bytes_.size() - at; }
    const std::uint8_t *At(std::size_t at) const { return bytes_.data() + at; }
    // The bytes from `at` to the end (empty when `at` lies beyond it).
    std::span<const std::uint8_t> From(std::size_t at) const {
        return at < bytes_.size() ? bytes_.subspan(at) : std::span<const std::uint8_t>();
    }
    std::size_t Size() const { return bytes_.size(); }
    const char *Format() const { return format_; }

private:
    std::span<const std::uint8_t> bytes_;
    const char *format_;
};

}  // namespace ZavorPlatform::ImageFormats
