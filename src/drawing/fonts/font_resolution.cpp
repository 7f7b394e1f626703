#include "drawing/fonts/font_resolution.h"

#include <map>
#include <mutex>
#include <utility>

#include "drawing/fonts/font_data_stock.h"
#include "drawing/fonts/font_descriptor_stock.h"
#include "drawing/fonts/font_messages.h"
#include "pdf/errors.h"
#include "platform/code_page.h"
#include "platform/font_resolver.h"

namespace ZavorPdf::Fonts {

namespace {

constexpr int BoldBit = 1;
constexpr int ItalicBit = 2;

std::unique_ptr<OpenType::OpenTypeDescriptor> LoadDescriptor(const std::string &name, const ZavorPlatform::FontFace &face) {
    std::vector<std::uint8_t> bytes = ZavorPlatform::ReadFontFace(face);
    if (bytes.empty()) throw ZavorPdfException(FontMessages::CannotAllocateFontData);
    if (bytes.size() >= 4 && bytes[0] == 't' && bytes[1] == 't' && bytes[2] == 'c' && bytes[3] == 'f')
        bytes = OpenType::ExtractCollectionFace(bytes, face.faceIndex);
    const OpenType::FontData &data = FontDataStock::Global().GetOrAdd(std::move(bytes));
    return std::make_unique<OpenType::OpenTypeDescriptor>(name, data);
}

ResolvedFont Resolve(std::u16string_view familyName, int style) {
    std::string family = ZavorPlatform::Utf16ToUtf8(familyName);
    std::optional<ZavorPlatform::FontFace> face =
        ZavorPlatform::MatchFont(family, (style & BoldBit) != 0, (style & ItalicBit) != 0);
    if (!face) throw ZavorPdfException(FontMessages::CannotAllocateFontData);
    ResolvedFont result;
    result.name = ZavorPlatform::Utf8ToUtf16(face->family);
    result.bold = face->bold;
    result.italic = face->italic;
    result.descriptor = &FontDescriptorStock::Global().GetOrCreate(
        face->family, style, [&] { return LoadDescriptor(face->family, *face); });
    return result;
}

}  // namespace

ResolvedFont ResolveFont(std::u16string_view familyName, int style) {
    static std::mutex lock;
    static std::map<std::pair<std::u16string, int>, ResolvedFont> resolved;
    auto key = std::make_pair(std::u16string(familyName), style);
    {
        std::lock_guard<std::mutex> guard(lock);
        auto it = resolved.find(key);
        if (it != resolved.end()) return it->second;
    }
    ResolvedFont result = Resolve(familyName, style);
    std::lock_guard<std::mutex> guard(lock);
    return resolved.emplace(key, result).first->second;
}

}  // namespace ZavorPdf::Fonts
