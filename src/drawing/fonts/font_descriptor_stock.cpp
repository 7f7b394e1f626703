#include "drawing/fonts/font_descriptor_stock.h"

namespace ZavorPdf::Fonts {

FontDescriptorStock &FontDescriptorStock::Global() {
    static FontDescriptorStock stock;
    return stock;
}

const OpenType::OpenTypeDescriptor &FontDescriptorStock::GetOrCreate(
    const std::string &name, int style, const std::function<std::unique_ptr<OpenType::OpenTypeDescriptor>()> &create) {
    // The lock covers lookup and insert alike; reading the map unlocked
    // while another thread inserts would be a data race.
    std::lock_guard<std::mutex> guard(lock_);
    auto key = std::make_pair(name, style);
    auto it = descriptors_.find(key);
    if (it != descriptors_.end()) return *it->second;
    return *descriptors_.emplace(key, create()).first->second;
}

}  // namespace ZavorPdf::Fonts
