// Process-wide cache of font descriptors by family name and style.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "drawing/fonts/open_type_descriptor.h"

namespace ZavorPdf::Fonts {

class FontDescriptorStock {
public:
    static FontDescriptorStock &Global();

    // The descriptor of (name, style bits), made by `create` on a miss.
    // The result lives as long as the process. A failing `create` leaves
    // no entry behind.
    const OpenType::OpenTypeDescriptor &GetOrCreate(
        const std::string &name, int style, const std::function<std::unique_ptr<OpenType::OpenTypeDescriptor>()> &create);

private:
    std::mutex lock_;
    std::map<std::pair<std::string, int>, std::unique_ptr<OpenType::OpenTypeDescriptor>> descriptors_;
};

}  // namespace ZavorPdf::Fonts
