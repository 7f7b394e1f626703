// The installed fonts: which face stands for a family name and style, and
// the bytes of its file. Linux asks fontconfig, Windows asks GDI.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ZavorPlatform {

struct FontFace {
    std::string family;  // UTF-8, the family of the face found
    // The face's file (UTF-8) where the system names one; empty where the
    // bytes come only through the system's font service (Windows).
    std::string path;
    int faceIndex = 0;   // inside a collection
    bool bold = false;   // what the face really is
    bool italic = false;
};

// The face that the system's font configuration picks for the family and
// style; unknown families get the system's default family. Nothing when no
// font is installed at all.
std::optional<FontFace> MatchFont(std::string_view familyUtf8, bool bold, bool italic);

// The face's whole file, a collection ("ttcf") as a whole, in which case
// faceIndex says which face is meant; empty when it cannot be read.
std::vector<std::uint8_t> ReadFontFace(const FontFace &face);

// The whole file at the UTF-8 path; empty when it cannot be read.
std::vector<std::uint8_t> ReadFontFile(const std::string &path);

}  // namespace ZavorPlatform
