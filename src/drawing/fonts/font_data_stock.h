// Process-wide registry of parsed font files, keyed by a checksum of their
// bytes, so that one file read for several fonts is parsed once.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "drawing/fonts/font_data.h"

namespace ZavorPdf::Fonts {

class FontDataStock {
public:
    static FontDataStock &Global();

    // The parsed font for these bytes, parsed on first sight. The returned
    // object lives as long as the process.
    const OpenType::FontData &GetOrAdd(std::vector<std::uint8_t> bytes);

    // "??" and the upper-case hex checksum of the bytes.
    static std::string Key(std::span<const std::uint8_t> bytes);
    // Two sums modulo 65521 over blocks of at most 3800 bytes, the block
    // size at which neither sum can overflow 32 bits.
    static std::uint32_t CalcChecksum(std::span<const std::uint8_t> bytes);

private:
    std::mutex lock_;
    std::map<std::string, std::unique_ptr<OpenType::FontData>> fonts_;
};

}  // namespace ZavorPdf::Fonts
