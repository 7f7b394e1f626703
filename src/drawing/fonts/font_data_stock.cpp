#include "drawing/fonts/font_data_stock.h"

#include <algorithm>
#include <charconv>

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
    constexpr std::uint32_t Prime = 65521;
    constexpr std::size_t Block = 3800;
    std::uint32_t s1 = 0, s2 = 0;
    for (std::size_t start = 0; start < bytes.size(); start += Block) {
        std::size_t end = std::min(bytes.size(), start + Block);
        for (std::size_t i = start; i < end; ++i) {
            s1 += bytes[i];
            s2 += s1;
        }
        s1 %= Prime;
        s2 %= Prime;
    }
    return (s2 << 16) | s1;
}

}  // namespace ZavorPdf::Fonts
