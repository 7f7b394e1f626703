// The English failure texts of the font layer.
#pragma once

namespace ZavorPdf::Fonts::FontMessages {

inline constexpr const char *CannotAllocateFontData = "Cannot allocate font data.";
inline constexpr const char *CollectionNotSupported = "TrueType collection fonts are not supported by ZavorPdf.";
inline constexpr const char *BitmapNotSupported = "Bitmap fonts are not supported by ZavorPdf.";
inline constexpr const char *NoUsableCMap =
    "Font has no usable platform or encoding ID. It cannot be used with ZavorPdf.";
inline constexpr const char *ParseError = "Error while parsing an OpenType font.";
inline constexpr const char *ImageReadOnly = "Font image cannot be modified.";
inline constexpr const char *MustUseWorldUnit = "Font must use GraphicsUnit.World.";

// Damage that the parser refuses before it could read out of bounds.
inline constexpr const char *TableOutsideFile = "A font table lies outside the font data.";
inline constexpr const char *MissingTable = "A required font table is missing.";
inline constexpr const char *ZeroUnitsPerEm = "The font has no units per em.";
inline constexpr const char *NoGlyphs = "The font has no glyphs.";
inline constexpr const char *NoHorizontalMetrics = "The font has no horizontal metrics.";
inline constexpr const char *BadGlyphLocations = "The glyph locations do not fit the glyph data.";
inline constexpr const char *TooManyTables = "A font subset cannot hold more than 30 tables.";
inline constexpr const char *EmSizeNotPositive = "The em size must be a number greater than 0.";
inline constexpr const char *FontNotFound = "No installed font can stand in for the family.";

}  // namespace ZavorPdf::Fonts::FontMessages
