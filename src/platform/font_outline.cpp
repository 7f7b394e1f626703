#include "platform/font_outline.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <stdexcept>

namespace ZavorPlatform {

struct FontOutlineFace::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::vector<std::uint8_t> bytes;

    ~Impl() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

namespace {

// Collects FreeType's decomposition as figures of lines and cubic curves,
// scaled to the em size with y turned downwards.
struct OutlineSink {
    std::vector<OutlinePoint> points;
    double scale = 1;
    double lastX = 0, lastY = 0;

    void Add(const FT_Vector *v, std::uint8_t type) {
        lastX = v->x * scale;
        lastY = -v->y * scale;
        points.push_back({lastX, lastY, type});
    }
    void CloseFigure() {
        if (!points.empty()) points.back().type |= 0x80;
    }
};

int MoveTo(const FT_Vector *to, void *user) {
    auto *sink = static_cast<OutlineSink *>(user);
    sink->CloseFigure();
    sink->Add(to, 0);
    return 0;
}

int LineTo(const FT_Vector *to, void *user) {
    static_cast<OutlineSink *>(user)->Add(to, 1);
    return 0;
}

int ConicTo(const FT_Vector *control, const FT_Vector *to, void *user) {
    // A quadratic segment is the cubic with controls two thirds of the way
    // towards the quadratic control.
    auto *sink = static_cast<OutlineSink *>(user);
    double cx = control->x * sink->scale, cy = -control->y * sink->scale;
    double ex = to->x * sink->scale, ey = -to->y * sink->scale;
    sink->points.push_back({sink->lastX + 2.0 / 3 * (cx - sink->lastX), sink->lastY + 2.0 / 3 * (cy - sink->lastY), 3});
    sink->points.push_back({ex + 2.0 / 3 * (cx - ex), ey + 2.0 / 3 * (cy - ey), 3});
    sink->Add(to, 3);
    return 0;
}

int CubicTo(const FT_Vector *c1, const FT_Vector *c2, const FT_Vector *to, void *user) {
    auto *sink = static_cast<OutlineSink *>(user);
    sink->Add(c1, 3);
    sink->Add(c2, 3);
    sink->Add(to, 3);
    return 0;
}

}  // namespace

FontOutlineFace::FontOutlineFace(std::vector<std::uint8_t> bytes, int faceIndex) : impl_(std::make_unique<Impl>()) {
    impl_->bytes = std::move(bytes);
    if (FT_Init_FreeType(&impl_->library) != 0) throw std::runtime_error("FreeType cannot start.");
    if (FT_New_Memory_Face(impl_->library, impl_->bytes.data(), static_cast<FT_Long>(impl_->bytes.size()), faceIndex,
                           &impl_->face) != 0)
        throw std::runtime_error("FreeType cannot read the font.");
}

FontOutlineFace::~FontOutlineFace() = default;

long FontOutlineFace::GlyphCount() const { return impl_->face->num_glyphs; }

int FontOutlineFace::UnitsPerEm() const { return impl_->face->units_per_EM; }

std::string FontOutlineFace::FamilyName() const {
    return impl_->face->family_name ? impl_->face->family_name : "";
}

long FontOutlineFace::GlyphAdvance(unsigned glyph) const {
    if (FT_Load_Glyph(impl_->face, glyph, FT_LOAD_NO_SCALE) != 0)
        throw std::runtime_error("FreeType cannot load the glyph.");
    return impl_->face->glyph->metrics.horiAdvance;
}

std::vector<OutlinePoint> FontOutlineFace::GlyphOutline(unsigned glyph, double emSize) const {
    if (FT_Load_Glyph(impl_->face, glyph, FT_LOAD_NO_SCALE) != 0)
        throw std::runtime_error("FreeType cannot load the glyph.");
    FT_Outline_Funcs funcs{};
    funcs.move_to = MoveTo;
    funcs.line_to = LineTo;
    funcs.conic_to = ConicTo;
    funcs.cubic_to = CubicTo;
    OutlineSink sink;
    int unitsPerEm = impl_->face->units_per_EM;
    sink.scale = unitsPerEm > 0 ? emSize / unitsPerEm : 0;
    if (FT_Outline_Decompose(&impl_->face->glyph->outline, &funcs, &sink) != 0)
        throw std::runtime_error("FreeType cannot trace the glyph.");
    sink.CloseFigure();
    return sink.points;
}

}  // namespace ZavorPlatform
