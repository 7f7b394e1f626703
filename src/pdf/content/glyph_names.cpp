#include "pdf/content/glyph_names.h"

#include <array>
#include <charconv>
#include <unordered_map>

namespace ZavorPdf::Pdf::Content {
namespace {

struct GlyphName {
    std::string_view name;
    char16_t code;
};

// The names that Latin text set by TeX, office suites and the standard
// encodings uses; single letters are read without the table.
constexpr GlyphName kGlyphNames[] = {
    {"space", 0x0020}, {"exclam", 0x0021}, {"quotedbl", 0x0022}, {"numbersign", 0x0023},
    {"dollar", 0x0024}, {"percent", 0x0025}, {"ampersand", 0x0026}, {"quotesingle", 0x0027},
    {"parenleft", 0x0028}, {"parenright", 0x0029}, {"asterisk", 0x002A}, {"plus", 0x002B},
    {"comma", 0x002C}, {"hyphen", 0x002D}, {"period", 0x002E}, {"slash", 0x002F},
    {"zero", 0x0030}, {"one", 0x0031}, {"two", 0x0032}, {"three", 0x0033}, {"four", 0x0034},
    {"five", 0x0035}, {"six", 0x0036}, {"seven", 0x0037}, {"eight", 0x0038}, {"nine", 0x0039},
    {"colon", 0x003A}, {"semicolon", 0x003B}, {"less", 0x003C}, {"equal", 0x003D},
    {"greater", 0x003E}, {"question", 0x003F}, {"at", 0x0040}, {"bracketleft", 0x005B},
    {"backslash", 0x005C}, {"bracketright", 0x005D}, {"asciicircum", 0x005E},
    {"underscore", 0x005F}, {"grave", 0x0060}, {"braceleft", 0x007B}, {"bar", 0x007C},
    {"braceright", 0x007D}, {"asciitilde", 0x007E}, {"nbspace", 0x00A0}, {"nonbreakingspace", 0x00A0},
    {"exclamdown", 0x00A1}, {"cent", 0x00A2}, {"sterling", 0x00A3}, {"currency", 0x00A4},
    {"yen", 0x00A5}, {"brokenbar", 0x00A6}, {"section", 0x00A7}, {"dieresis", 0x00A8},
    {"copyright", 0x00A9}, {"ordfeminine", 0x00AA}, {"guillemotleft", 0x00AB},
    {"logicalnot", 0x00AC}, {"sfthyphen", 0x00AD}, {"registered", 0x00AE}, {"macron", 0x00AF},
    {"degree", 0x00B0}, {"plusminus", 0x00B1}, {"twosuperior", 0x00B2}, {"threesuperior", 0x00B3},
    {"acute", 0x00B4}, {"mu", 0x00B5}, {"paragraph", 0x00B6}, {"periodcentered", 0x00B7},
    {"middot", 0x00B7}, {"cedilla", 0x00B8}, {"onesuperior", 0x00B9}, {"ordmasculine", 0x00BA},
    {"guillemotright", 0x00BB}, {"onequarter", 0x00BC}, {"onehalf", 0x00BD},
    {"threequarters", 0x00BE}, {"questiondown", 0x00BF}, {"Agrave", 0x00C0}, {"Aacute", 0x00C1},
    {"Acircumflex", 0x00C2}, {"Atilde", 0x00C3}, {"Adieresis", 0x00C4}, {"Aring", 0x00C5},
    {"AE", 0x00C6}, {"Ccedilla", 0x00C7}, {"Egrave", 0x00C8}, {"Eacute", 0x00C9},
    {"Ecircumflex", 0x00CA}, {"Edieresis", 0x00CB}, {"Igrave", 0x00CC}, {"Iacute", 0x00CD},
    {"Icircumflex", 0x00CE}, {"Idieresis", 0x00CF}, {"Eth", 0x00D0}, {"Ntilde", 0x00D1},
    {"Ograve", 0x00D2}, {"Oacute", 0x00D3}, {"Ocircumflex", 0x00D4}, {"Otilde", 0x00D5},
    {"Odieresis", 0x00D6}, {"multiply", 0x00D7}, {"Oslash", 0x00D8}, {"Ugrave", 0x00D9},
    {"Uacute", 0x00DA}, {"Ucircumflex", 0x00DB}, {"Udieresis", 0x00DC}, {"Yacute", 0x00DD},
    {"Thorn", 0x00DE}, {"germandbls", 0x00DF}, {"agrave", 0x00E0}, {"aacute", 0x00E1},
    {"acircumflex", 0x00E2}, {"atilde", 0x00E3}, {"adieresis", 0x00E4}, {"aring", 0x00E5},
    {"ae", 0x00E6}, {"ccedilla", 0x00E7}, {"egrave", 0x00E8}, {"eacute", 0x00E9},
    {"ecircumflex", 0x00EA}, {"edieresis", 0x00EB}, {"igrave", 0x00EC}, {"iacute", 0x00ED},
    {"icircumflex", 0x00EE}, {"idieresis", 0x00EF}, {"eth", 0x00F0}, {"ntilde", 0x00F1},
    {"ograve", 0x00F2}, {"oacute", 0x00F3}, {"ocircumflex", 0x00F4}, {"otilde", 0x00F5},
    {"odieresis", 0x00F6}, {"divide", 0x00F7}, {"oslash", 0x00F8}, {"ugrave", 0x00F9},
    {"uacute", 0x00FA}, {"ucircumflex", 0x00FB}, {"udieresis", 0x00FC}, {"yacute", 0x00FD},
    {"thorn", 0x00FE}, {"ydieresis", 0x00FF}, {"Amacron", 0x0100}, {"amacron", 0x0101},
    {"Abreve", 0x0102}, {"abreve", 0x0103}, {"Aogonek", 0x0104}, {"aogonek", 0x0105},
    {"Cacute", 0x0106}, {"cacute", 0x0107}, {"Ccaron", 0x010C}, {"ccaron", 0x010D},
    {"Dcaron", 0x010E}, {"dcaron", 0x010F}, {"Dcroat", 0x0110}, {"dcroat", 0x0111},
    {"Emacron", 0x0112}, {"emacron", 0x0113}, {"Edotaccent", 0x0116}, {"edotaccent", 0x0117},
    {"Eogonek", 0x0118}, {"eogonek", 0x0119}, {"Ecaron", 0x011A}, {"ecaron", 0x011B},
    {"Gbreve", 0x011E}, {"gbreve", 0x011F}, {"Gcommaaccent", 0x0122}, {"gcommaaccent", 0x0123},
    {"Imacron", 0x012A}, {"imacron", 0x012B}, {"Iogonek", 0x012E}, {"iogonek", 0x012F},
    {"Idotaccent", 0x0130}, {"dotlessi", 0x0131}, {"IJ", 0x0132}, {"ij", 0x0133},
    {"Kcommaaccent", 0x0136}, {"kcommaaccent", 0x0137}, {"Lacute", 0x0139}, {"lacute", 0x013A},
    {"Lcommaaccent", 0x013B}, {"lcommaaccent", 0x013C}, {"Lcaron", 0x013D}, {"lcaron", 0x013E},
    {"Lslash", 0x0141}, {"lslash", 0x0142}, {"Nacute", 0x0143}, {"nacute", 0x0144},
    {"Ncommaaccent", 0x0145}, {"ncommaaccent", 0x0146}, {"Ncaron", 0x0147}, {"ncaron", 0x0148},
    {"Eng", 0x014A}, {"eng", 0x014B}, {"Omacron", 0x014C}, {"omacron", 0x014D},
    {"Ohungarumlaut", 0x0150}, {"ohungarumlaut", 0x0151}, {"OE", 0x0152}, {"oe", 0x0153},
    {"Racute", 0x0154}, {"racute", 0x0155}, {"Rcommaaccent", 0x0156}, {"rcommaaccent", 0x0157},
    {"Rcaron", 0x0158}, {"rcaron", 0x0159}, {"Sacute", 0x015A}, {"sacute", 0x015B},
    {"Scedilla", 0x015E}, {"scedilla", 0x015F}, {"Scaron", 0x0160}, {"scaron", 0x0161},
    {"Tcommaaccent", 0x0162}, {"tcommaaccent", 0x0163}, {"Tcaron", 0x0164}, {"tcaron", 0x0165},
    {"Umacron", 0x016A}, {"umacron", 0x016B}, {"Uring", 0x016E}, {"uring", 0x016F},
    {"Uhungarumlaut", 0x0170}, {"uhungarumlaut", 0x0171}, {"Uogonek", 0x0172}, {"uogonek", 0x0173},
    {"Ydieresis", 0x0178}, {"Zacute", 0x0179}, {"zacute", 0x017A}, {"Zdotaccent", 0x017B},
    {"zdotaccent", 0x017C}, {"Zcaron", 0x017D}, {"zcaron", 0x017E}, {"longs", 0x017F},
    {"florin", 0x0192}, {"Scommaaccent", 0x0218}, {"scommaaccent", 0x0219}, {"dotlessj", 0x0237},
    {"circumflex", 0x02C6}, {"caron", 0x02C7}, {"breve", 0x02D8}, {"dotaccent", 0x02D9},
    {"ring", 0x02DA}, {"ogonek", 0x02DB}, {"tilde", 0x02DC}, {"hungarumlaut", 0x02DD},
    {"Gamma", 0x0393}, {"Theta", 0x0398}, {"Lambda", 0x039B}, {"Xi", 0x039E}, {"Pi", 0x03A0},
    {"Sigma", 0x03A3}, {"Phi", 0x03A6}, {"Psi", 0x03A8}, {"alpha", 0x03B1}, {"beta", 0x03B2},
    {"gamma", 0x03B3}, {"delta", 0x03B4}, {"epsilon", 0x03B5}, {"lambda", 0x03BB}, {"pi", 0x03C0},
    {"sigma", 0x03C3}, {"endash", 0x2013}, {"emdash", 0x2014}, {"quoteleft", 0x2018},
    {"quoteright", 0x2019}, {"quotesinglbase", 0x201A}, {"quotedblleft", 0x201C},
    {"quotedblright", 0x201D}, {"quotedblbase", 0x201E}, {"dagger", 0x2020}, {"daggerdbl", 0x2021},
    {"bullet", 0x2022}, {"ellipsis", 0x2026}, {"perthousand", 0x2030}, {"guilsinglleft", 0x2039},
    {"guilsinglright", 0x203A}, {"fraction", 0x2044}, {"Euro", 0x20AC}, {"trademark", 0x2122},
    {"Omega", 0x2126}, {"arrowleft", 0x2190}, {"arrowright", 0x2192}, {"partialdiff", 0x2202},
    {"Delta", 0x2206}, {"product", 0x220F}, {"summation", 0x2211}, {"minus", 0x2212},
    {"radical", 0x221A}, {"infinity", 0x221E}, {"integral", 0x222B}, {"approxequal", 0x2248},
    {"notequal", 0x2260}, {"lessequal", 0x2264}, {"greaterequal", 0x2265}, {"lozenge", 0x25CA},
    {"visiblespace", 0x2423}, {"ff", 0xFB00}, {"fi", 0xFB01}, {"fl", 0xFB02}, {"ffi", 0xFB03},
    {"ffl", 0xFB04},
};

const std::unordered_map<std::string_view, char16_t> &GlyphTable() {
    static const std::unordered_map<std::string_view, char16_t> table = [] {
        std::unordered_map<std::string_view, char16_t> map;
        for (const GlyphName &entry : kGlyphNames)
            map.emplace(entry.name, entry.code);
        return map;
    }();
    return table;
}

bool IsHexDigits(std::string_view text) {
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    return !text.empty();
}

void AppendCodePoint(std::u16string &text, std::uint32_t code) {
    if (code < 0x10000) {
        text.push_back(static_cast<char16_t>(code));
    } else {
        code -= 0x10000;
        text.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
        text.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    }
}

bool IsScalar(std::uint32_t code) { return code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF); }

std::uint32_t HexValue(std::string_view digits) {
    std::uint32_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    return value;
}

// One component: a name without "_" and without suffix.
std::u16string ComponentText(std::string_view name) {
    if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
        return std::u16string(1, static_cast<char16_t>(name[0]));
    if (auto found = GlyphTable().find(name); found != GlyphTable().end())
        return ExpandLigatures(std::u16string(1, found->second));
    std::u16string text;
    if (name.starts_with("uni") && name.size() > 3 && (name.size() - 3) % 4 == 0 && IsHexDigits(name.substr(3))) {
        for (std::size_t i = 3; i < name.size(); i += 4) {
            const std::uint32_t code = HexValue(name.substr(i, 4));
            if (!IsScalar(code))
                return {};
            text.push_back(static_cast<char16_t>(code));
        }
        return ExpandLigatures(text);
    }
    if (name.size() >= 5 && name.size() <= 7 && name[0] == 'u' && IsHexDigits(name.substr(1))) {
        const std::uint32_t code = HexValue(name.substr(1));
        if (IsScalar(code))
            AppendCodePoint(text, code);
        return ExpandLigatures(text);
    }
    return {};
}

}  // namespace

std::u16string GlyphNameToUnicode(std::string_view name) {
    if (auto dot = name.find('.'); dot != std::string_view::npos)
        name = name.substr(0, dot);
    std::u16string text;
    while (!name.empty()) {
        const std::size_t end = name.find('_');
        text += ComponentText(name.substr(0, end));
        if (end == std::string_view::npos)
            break;
        name.remove_prefix(end + 1);
    }
    return text;
}

std::u16string ExpandLigatures(std::u16string_view text) {
    static constexpr std::array<std::u16string_view, 7> kLetters = {u"ff", u"fi", u"fl", u"ffi", u"ffl", u"st", u"st"};
    std::u16string result;
    result.reserve(text.size());
    for (char16_t c : text) {
        if (c >= 0xFB00 && c <= 0xFB06)
            result += kLetters[c - 0xFB00];
        else
            result.push_back(c);
    }
    return result;
}

}  // namespace ZavorPdf::Pdf::Content
