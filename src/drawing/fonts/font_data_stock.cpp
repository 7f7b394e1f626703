#include "drawing/fonts/font_data_stock.h"

#include <algorithm>
#include <charconv>

#include "platform/flate_codec.h"

namespace ZavorPdf::Fonts {

FontDataStock &FontDataStock::Global() {
    static FontDataStock stock;
    return stock;
}

const OpenType::FontData &FontDataStock::GetOrAdd(std::vector<std::uint8_t> bytes) {
    std::string key = Key(bytes);
    // Every lookup holds the lock: a map may not be read while another
    // thread inserts into it.
    std::lock_guard<std::mutex> guard(lock_);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return *it->second;
    auto data = std::make_unique<OpenType::FontData>(std::move(bytes));
    return *fonts_.emplace(key, std::move(data)).first->second;
}

std::string FontDataStock::Key(std::span<const std::uint8_t> bytes) {
    char hex[8];
    auto result = std::to_chars(hex, hex + sizeof hex, CalcChecksum(bytes), 16);
    std::string key = "??" + std::string(hex, result.ptr);
    std::transform(key.begin(), key.end(), key.begin(), [](char c) { return c >= 'a' && c <= 'f' ? c - 32 : c; });
    return key;
}

std::uint32_t FontDataStock::CalcChecksum(std::span<const std::uint8_t> bytes) {
    // Both sums start at nought and are kept modulo 65521: zlib's Adler-32
    // from 0, which goes through a font file many bytes at a time.
    return ZavorPlatform::Adler32(0, bytes);
}

}  // namespace ZavorPdf::Fonts
