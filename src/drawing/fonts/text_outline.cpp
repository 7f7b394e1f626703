#include "drawing/fonts/text_outline.h"

#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>

#include "pdf/errors.h"
#include "platform/code_page.h"

namespace ZavorPdf::Fonts {

namespace {

// One outline face per font file for the process; FreeType faces are not
// safe for concurrent use, so the lock is held while one is used.
std::mutex &FaceLock() {
    static std::mutex lock;
    return lock;
}

ZavorPlatform::FontOutlineFace &FaceOf(const OpenType::FontData &data) {
    static std::map<const OpenType::FontData *, std::unique_ptr<ZavorPlatform::FontOutlineFace>> faces;
    auto &face = faces[&data];
    if (!face) face = std::make_unique<ZavorPlatform::FontOutlineFace>(data.Data());
    return *face;
}

}  // namespace

std::vector<ZavorPlatform::OutlinePoint> TextOutline(const Drawing::XFont &font, std::u16string_view text, double x,
                                                     double baselineY) {
    const OpenType::OpenTypeDescriptor &descriptor = font.Descriptor();
    std::u16string shown = font.Unicode() ? std::u16string(text)
                                          : ZavorPlatform::Windows1252ToUnicode(ZavorPlatform::UnicodeToWindows1252(text));
    char16_t offset = descriptor.IsSymbolFont() ? descriptor.SymbolOffset() : u'\0';
    std::vector<ZavorPlatform::OutlinePoint> points;
    std::lock_guard<std::mutex> guard(FaceLock());
    try {
        ZavorPlatform::FontOutlineFace &face = FaceOf(descriptor.Data());
        double penX = x;
        for (char16_t ch : shown) {
            int glyph = descriptor.CharCodeToGlyphIndex(static_cast<char16_t>(ch + offset));
            for (ZavorPlatform::OutlinePoint p : face.GlyphOutline(static_cast<unsigned>(glyph), font.Size())) {
                p.x += penX;
                p.y += baselineY;
                points.push_back(p);
            }
            penX += descriptor.GlyphIndexToPdfWidth(glyph) * font.Size() / 1000;
        }
    } catch (const std::runtime_error &e) {
        throw ZavorPdfException(e.what());
    }
    return points;
}

}  // namespace ZavorPdf::Fonts
