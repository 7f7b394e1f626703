// Glyph outlines through FreeType, for text drawn as a path and for
// checking that a font file we wrote loads in an independent engine.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ZavorPlatform {

// One point of an outline. Type 0 starts a figure, 1 ends a straight
// segment, 3 is one of three cubic Bezier points; 0x80 closes the figure
// after the point.
struct OutlinePoint {
    double x = 0;
    double y = 0;
    std::uint8_t type = 0;
};

class FontOutlineFace {
public:
    // Fails with std::runtime_error when FreeType refuses the data. The
    // bytes are copied: FreeType reads them for the face's lifetime.
    explicit FontOutlineFace(std::vector<std::uint8_t> bytes, int faceIndex = 0);
    FontOutlineFace(const FontOutlineFace &) = delete;
    FontOutlineFace &operator=(const FontOutlineFace &) = delete;
    ~FontOutlineFace();

    long GlyphCount() const;
    int UnitsPerEm() const;
    std::string FamilyName() const;
    // The outline at the em size, y growing downwards from the baseline;
    // fails with std::runtime_error for a glyph FreeType cannot load.
    std::vector<OutlinePoint> GlyphOutline(unsigned glyph, double emSize) const;
    // The advance width in design units.
    long GlyphAdvance(unsigned glyph) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ZavorPlatform
