#include "platform/font_resolver.h"

#include <fontconfig/fontconfig.h>
// After fontconfig.h, which it needs.
#include <fontconfig/fcfreetype.h>

#include <fstream>
#include <iterator>
#include <memory>

namespace ZavorPlatform {

namespace {

struct PatternDeleter {
    void operator()(FcPattern *p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

std::string GetString(FcPattern *pattern, const char *object) {
    FcChar8 *value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value) return {};
    return reinterpret_cast<const char *>(value);
}

int GetInteger(FcPattern *pattern, const char *object, int fallback) {
    int value = fallback;
    FcPatternGetInteger(pattern, object, 0, &value);
    return value;
}

}  // namespace

std::optional<FontFace> MatchFont(std::string_view familyUtf8, bool bold, bool italic) {
    // fontconfig keeps its configuration for the process once loaded.
    if (!FcInit()) return std::nullopt;
    Pattern pattern(FcPatternCreate());
    if (!pattern) return std::nullopt;
    std::string family(familyUtf8);
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    // Only outline fonts carry the tables that PDF embedding needs.
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match || result != FcResultMatch) return std::nullopt;
    FontFace face;
    face.family = GetString(match.get(), FC_FAMILY);
    face.path = GetString(match.get(), FC_FILE);
    face.faceIndex = GetInteger(match.get(), FC_INDEX, 0);
    if (face.path.empty()) return std::nullopt;
    // The match reports the requested weight and slant where the
    // configuration would synthesise them; the file itself tells what the
    // face really is.
    int count = 0;
    Pattern own(FcFreeTypeQuery(reinterpret_cast<const FcChar8 *>(face.path.c_str()),
                                static_cast<unsigned>(face.faceIndex), nullptr, &count));
    FcPattern *style = own ? own.get() : match.get();
    face.bold = GetInteger(style, FC_WEIGHT, FC_WEIGHT_REGULAR) >= FC_WEIGHT_DEMIBOLD;
    face.italic = GetInteger(style, FC_SLANT, FC_SLANT_ROMAN) != FC_SLANT_ROMAN;
    return face;
}

std::vector<std::uint8_t> ReadFontFace(const FontFace &face) { return ReadFontFile(face.path); }

std::vector<std::uint8_t> ReadFontFile(const std::string &path) {
    // In one read: a font file is read at every start of the plug-in, and
    // byte by byte it cost as much as writing a dozen pages.
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return {};
    const std::streamoff size = file.tellg();
    if (size <= 0 || !file.seekg(0)) return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    file.read(reinterpret_cast<char *>(bytes.data()), size);
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return bytes;
}

}  // namespace ZavorPlatform

// GCC says it builds with AddressSanitizer one way, clang another.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZAVOR_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(ZAVOR_ADDRESS_SANITIZER)
// fontconfig loses a few blocks while it parses its configuration files;
// they are not ours to free, and the leak checker should not fail our
// programs for them.
extern "C" __attribute__((visibility("default"))) const char *__lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
