// Glyph names as simple fonts use them in "/Differences", read as the
// Unicode text they stand for.
#pragma once

#include <string>
#include <string_view>

namespace ZavorPdf::Pdf::Content {

// The text of a glyph name (without the "/"): the common Latin names,
// "uniXXXX" (one or more four-digit groups) and "uXXXX" to "uXXXXXX",
// ligatures as their letters ("fi" gives "fi"), components joined by "_"
// one after the other, and a suffix after "." ignored ("a.sc" is "a").
// Empty for a name that stands for no known character.
std::u16string GlyphNameToUnicode(std::string_view name);

// The letters of a ligature character (U+FB00..U+FB06); other text as it is.
std::u16string ExpandLigatures(std::u16string_view text);

}  // namespace ZavorPdf::Pdf::Content
