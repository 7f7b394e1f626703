#include "platform/code_page.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace ZavorPlatform {
namespace {

// Unicode of the bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The whole code page by byte, so that converting a text is one look-up
// per byte without a branch.
// Texts go eight bytes at a time where they can.
constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = kEveryByte * 0x80;

constexpr std::array<char16_t, 256> kByteToUnicode = [] {
    std::array<char16_t, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte)
        table[byte] = byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : static_cast<char16_t>(byte);
    return table;
}();

struct BestFit {
    char32_t character;
    char replacement;
};

// Look-alikes for characters outside the code page, in ascending order.
constexpr BestFit kBestFit[] = {
    {0x0100, 'A'}, {0x0101, 'a'}, {0x0102, 'A'}, {0x0103, 'a'}, {0x0104, 'A'}, {0x0105, 'a'},
    {0x0106, 'C'}, {0x0107, 'c'}, {0x0108, 'C'}, {0x0109, 'c'}, {0x010A, 'C'}, {0x010B, 'c'},
    {0x010C, 'C'}, {0x010D, 'c'}, {0x010E, 'D'}, {0x010F, 'd'}, {0x0110, 'D'}, {0x0111, 'd'},
    {0x0112, 'E'}, {0x0113, 'e'}, {0x0114, 'E'}, {0x0115, 'e'}, {0x0116, 'E'}, {0x0117, 'e'},
    {0x0118, 'E'}, {0x0119, 'e'}, {0x011A, 'E'}, {0x011B, 'e'}, {0x011C, 'G'}, {0x011D, 'g'},
    {0x011E, 'G'}, {0x011F, 'g'}, {0x0120, 'G'}, {0x0121, 'g'}, {0x0122, 'G'}, {0x0123, 'g'},
    {0x0124, 'H'}, {0x0125, 'h'}, {0x0126, 'H'}, {0x0127, 'h'}, {0x0128, 'I'}, {0x0129, 'i'},
    {0x012A, 'I'}, {0x012B, 'i'}, {0x012C, 'I'}, {0x012D, 'i'}, {0x012E, 'I'}, {0x012F, 'i'},
    {0x0130, 'I'}, {0x0131, 'i'}, {0x0134, 'J'}, {0x0135, 'j'}, {0x0136, 'K'}, {0x0137, 'k'},
    {0x0139, 'L'}, {0x013A, 'l'}, {0x013B, 'L'}, {0x013C, 'l'}, {0x013D, 'L'}, {0x013E, 'l'},
    {0x0141, 'L'}, {0x0142, 'l'}, {0x0143, 'N'}, {0x0144, 'n'}, {0x0145, 'N'}, {0x0146, 'n'},
    {0x0147, 'N'}, {0x0148, 'n'}, {0x014C, 'O'}, {0x014D, 'o'}, {0x014E, 'O'}, {0x014F, 'o'},
    {0x0150, 'O'}, {0x0151, 'o'}, {0x0154, 'R'}, {0x0155, 'r'}, {0x0156, 'R'}, {0x0157, 'r'},
    {0x0158, 'R'}, {0x0159, 'r'}, {0x015A, 'S'}, {0x015B, 's'}, {0x015C, 'S'}, {0x015D, 's'},
    {0x015E, 'S'}, {0x015F, 's'}, {0x0162, 'T'}, {0x0163, 't'}, {0x0164, 'T'}, {0x0165, 't'},
    {0x0166, 'T'}, {0x0167, 't'}, {0x0168, 'U'}, {0x0169, 'u'}, {0x016A, 'U'}, {0x016B, 'u'},
    {0x016C, 'U'}, {0x016D, 'u'}, {0x016E, 'U'}, {0x016F, 'u'}, {0x0170, 'U'}, {0x0171, 'u'},
    {0x0172, 'U'}, {0x0173, 'u'}, {0x0174, 'W'}, {0x0175, 'w'}, {0x0176, 'Y'}, {0x0177, 'y'},
    {0x0179, 'Z'}, {0x017A, 'z'}, {0x017B, 'Z'}, {0x017C, 'z'}, {0x0180, 'b'}, {0x0189, 'D'},
    {0x0191, 'F'}, {0x0197, 'I'}, {0x019A, 'l'}, {0x019F, 'O'}, {0x01A0, 'O'}, {0x01A1, 'o'},
    {0x01AB, 't'}, {0x01AE, 'T'}, {0x01AF, 'U'}, {0x01B0, 'u'}, {0x01B6, 'z'}, {0x01CD, 'A'},
    {0x01CE, 'a'}, {0x01CF, 'I'}, {0x01D0, 'i'}, {0x01D1, 'O'}, {0x01D2, 'o'}, {0x01D3, 'U'},
    {0x01D4, 'u'}, {0x01E4, 'G'}, {0x01E5, 'g'}, {0x01E6, 'G'}, {0x01E7, 'g'}, {0x01E8, 'K'},
    {0x01E9, 'k'}, {0x01EA, 'O'}, {0x01EB, 'o'}, {0x01F0, 'j'}, {0x0218, 'S'}, {0x0219, 's'},
    {0x021A, 'T'}, {0x021B, 't'}, {0x02B9, '\''}, {0x02BA, '"'}, {0x02BC, '\''}, {0x02C4, '^'},
    {0x02C8, '\''}, {0x02CB, '`'}, {0x02CD, '_'}, {0x0300, '`'}, {0x0302, '^'}, {0x0303, '~'},
    {0x030E, '"'}, {0x0331, '_'}, {0x0332, '_'}, {0x2000, ' '}, {0x2001, ' '}, {0x2002, ' '},
    {0x2003, ' '}, {0x2004, ' '}, {0x2005, ' '}, {0x2006, ' '}, {0x2007, ' '}, {0x2008, ' '},
    {0x2009, ' '}, {0x200A, ' '}, {0x2010, '-'}, {0x2011, '-'}, {0x2017, '='}, {0x2032, '\''},
    {0x2035, '`'}, {0x2044, '/'}, {0x2074, '4'}, {0x2075, '5'}, {0x2076, '6'}, {0x2077, '7'},
    {0x2078, '8'}, {0x2080, '0'}, {0x2081, '1'}, {0x2082, '2'}, {0x2083, '3'}, {0x2084, '4'},
    {0x2085, '5'}, {0x2086, '6'}, {0x2087, '7'}, {0x2088, '8'}, {0x2089, '9'}, {0x2102, 'C'},
    {0x2107, 'E'}, {0x210A, 'g'}, {0x210B, 'H'}, {0x210C, 'H'}, {0x210D, 'H'}, {0x210E, 'h'},
    {0x2110, 'I'}, {0x2111, 'I'}, {0x2112, 'L'}, {0x2113, 'l'}, {0x2115, 'N'}, {0x2118, 'P'},
    {0x2119, 'P'}, {0x211A, 'Q'}, {0x211B, 'R'}, {0x211C, 'R'}, {0x211D, 'R'}, {0x2124, 'Z'},
    {0x2128, 'Z'}, {0x212A, 'K'}, {0x212C, 'B'}, {0x212D, 'C'}, {0x212E, 'e'}, {0x212F, 'e'},
    {0x2130, 'E'}, {0x2131, 'F'}, {0x2133, 'M'}, {0x2134, 'o'}, {0x2212, '-'}, {0x2215, '/'},
    {0x2216, '\\'}, {0x2217, '*'}, {0x2223, '|'}, {0x2236, ':'}, {0x223C, '~'}, {0x2264, '='},
    {0x2265, '='}, {0x2303, '^'}, {0x2329, '<'}, {0x232A, '>'}, {0x2500, '-'}, {0x250C, '+'},
    {0x2510, '+'}, {0x2514, '+'}, {0x2518, '+'}, {0x251C, '+'}, {0x252C, '-'}, {0x2534, '-'},
    {0x253C, '+'}, {0x2550, '-'}, {0x2554, '+'}, {0x2557, '+'}, {0x255A, '+'}, {0x255D, '+'},
    {0x2560, '+'}, {0x2566, '-'}, {0x2569, '-'}, {0x256C, '+'}, {0x2580, '-'}, {0x2584, '_'},
    {0x2588, '-'}, {0x258C, '|'}, {0x2590, '|'}, {0x2591, '-'}, {0x2592, '-'}, {0x2593, '-'},
    {0x25A0, '-'}, {0x263A, 'O'}, {0x263B, 'O'}, {0x263C, '0'}, {0x2758, '|'}, {0x3000, ' '},
    {0x3008, '<'}, {0x3009, '>'}, {0x301A, '['}, {0x301B, ']'}, {0xFF01, '!'}, {0xFF02, '"'},
    {0xFF03, '#'}, {0xFF04, '$'}, {0xFF05, '%'}, {0xFF06, '&'}, {0xFF07, '\''}, {0xFF08, '('},
    {0xFF09, ')'}, {0xFF0A, '*'}, {0xFF0B, '+'}, {0xFF0C, ','}, {0xFF0D, '-'}, {0xFF0E, '.'},
    {0xFF0F, '/'}, {0xFF1A, ':'}, {0xFF1B, ';'}, {0xFF1C, '<'}, {0xFF1D, '='}, {0xFF1E, '>'},
    {0xFF1F, '?'}, {0xFF20, '@'}, {0xFF3B, '['}, {0xFF3C, '\\'}, {0xFF3D, ']'}, {0xFF3E, '^'},
    {0xFF3F, '_'}, {0xFF40, '`'}, {0xFF5B, '{'}, {0xFF5C, '|'}, {0xFF5D, '}'}, {0xFF5E, '~'},
};

char BestFitFor(char32_t character) {
    // Full-width digits and letters have plain ASCII twins.
    if (character >= 0xFF10 && character <= 0xFF19) return static_cast<char>('0' + (character - 0xFF10));
    if (character >= 0xFF21 && character <= 0xFF3A) return static_cast<char>('A' + (character - 0xFF21));
    if (character >= 0xFF41 && character <= 0xFF5A) return static_cast<char>('a' + (character - 0xFF41));
    std::size_t low = 0;
    std::size_t high = std::size(kBestFit);
    while (low < high) {
        std::size_t middle = (low + high) / 2;
        if (kBestFit[middle].character < character) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low < std::size(kBestFit) && kBestFit[low].character == character) return kBestFit[low].replacement;
    return '?';
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The character whose UTF-8 sequence starts at `i` (not ASCII), and `i`
// moved past it. A broken sequence is one replacement character per byte.
char32_t DecodeUtf8(std::string_view utf8, std::size_t &i) {
    auto lead = static_cast<unsigned char>(utf8[i]);
    int length = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    char32_t character = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool valid = length > 0 && i + length <= utf8.size();
    for (int k = 1; valid && k < length; ++k) {
        auto follow = static_cast<unsigned char>(utf8[i + k]);
        valid = (follow & 0xC0) == 0x80;
        character = (character << 6) | (follow & 0x3F);
    }
    if (!valid || character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += static_cast<std::size_t>(length);
    return character;
}

}  // namespace

std::u16string Windows1252ToUnicode(std::string_view bytes) {
    // Every text the host hands over comes through here: filled in place.
    std::u16string text(bytes.size(), u'\0');
    std::size_t i = 0;
    // Only 0x80 to 0x9F stand for other code points: eight bytes without
    // one of them widen as they are.
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        const std::uint64_t flipped = word ^ kHighBits;  // 0x80..0x9F become 0x00..0x1F
        char16_t *out = text.data() + i;
        const auto *in = reinterpret_cast<const unsigned char *>(bytes.data() + i);
        if (((flipped - kEveryByte * 0x20) & ~flipped & kHighBits) != 0) {
            for (std::size_t k = 0; k < 8; ++k) out[k] = kByteToUnicode[in[k]];
        } else {
            // Widened in one step: the same as a loop over the eight, which
            // the compiler leaves unvectorised.
            using Bytes = unsigned char __attribute__((vector_size(8)));
            using Units = std::uint16_t __attribute__((vector_size(16)));
            Bytes narrow;
            std::memcpy(&narrow, in, sizeof narrow);
            const Units wide = __builtin_convertvector(narrow, Units);
            std::memcpy(out, &wide, sizeof wide);
        }
    }
    for (; i < bytes.size(); ++i) text[i] = kByteToUnicode[static_cast<unsigned char>(bytes[i])];
    return text;
}

bool TryUnicodeToWindows1252(char32_t character, unsigned char &byte) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        byte = static_cast<unsigned char>(character);
        return true;
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == character) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

std::string UnicodeToWindows1252(std::u16string_view text) {
    std::string bytes;
    AppendUnicodeToWindows1252(text, bytes);
    return bytes;
}

void AppendUnicodeToWindows1252(std::u16string_view text, std::string &bytes) {
    // Never more bytes than units: written in place and cut to size, since
    // every word the engine draws or measures comes through here.
    std::size_t written = bytes.size();
    bytes.resize(written + text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t character = text[i];
        if (IsWindows1252AsIs(text[i])) {
            bytes[written++] = static_cast<char>(character);
            continue;
        }
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            character = 0x10000 + ((char32_t(text[i]) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            ++i;
        }
        bytes[written++] = static_cast<char>(Windows1252ByteOf(character));
    }
    bytes.resize(written);
}

unsigned char Windows1252ByteOf(char32_t character) {
    unsigned char byte = 0;
    if (TryUnicodeToWindows1252(character, byte)) return byte;
    return static_cast<unsigned char>(BestFitFor(character));
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    // Never more units than bytes: written in place and cut to size, since
    // every text the host hands over comes through here.
    std::u16string text(utf8.size(), u'\0');
    std::size_t written = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            text[written++] = lead;
            ++i;
            continue;
        }
        char32_t character = DecodeUtf8(utf8, i);
        if (character >= 0x10000) {
            character -= 0x10000;
            text[written++] = static_cast<char16_t>(0xD800 + (character >> 10));
            text[written++] = static_cast<char16_t>(0xDC00 + (character & 0x3FF));
        } else {
            text[written++] = static_cast<char16_t>(character);
        }
    }
    text.resize(written);
    return text;
}

namespace {

// How many of the eight bytes read into `word` lead it as ASCII.
std::size_t LeadingAscii(std::uint64_t word) {
    std::uint64_t high = word & kHighBits;
    if (high == 0) return 8;
    // The lowest address holds the lowest byte on little-endian machines.
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<std::size_t>(std::countr_zero(high)) / 8;
    std::size_t count = 0;
    while (((word >> (56 - 8 * count)) & 0x80) == 0) ++count;
    return count;
}

}  // namespace

namespace {

// German umlauts and the other Latin-1 letters: two bytes whose code
// point (U+00A0 to U+00FF) is its own code-page byte. The C1 controls
// below them map elsewhere and take the general way.
bool TryTakeLatin1Letter(std::string_view utf8, std::size_t &i, unsigned char &byte) {
    auto lead = static_cast<unsigned char>(utf8[i]);
    if ((lead != 0xC2 && lead != 0xC3) || i + 1 >= utf8.size()) return false;
    auto follow = static_cast<unsigned char>(utf8[i + 1]);
    if ((follow & 0xC0) != 0x80) return false;
    unsigned int character = ((lead & 0x1Fu) << 6) | (follow & 0x3Fu);
    if (character < 0xA0) return false;
    byte = static_cast<unsigned char>(character);
    i += 2;
    return true;
}

}  // namespace

std::size_t AsciiRunLength(std::string_view text, std::size_t from) {
    std::size_t i = from;
    while (i + 8 <= text.size()) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        std::size_t ascii = LeadingAscii(word);
        i += ascii;
        if (ascii < 8) return i - from;
    }
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    return i - from;
}

std::string Utf8ToWindows1252(std::string_view utf8) {
    // Never more bytes out than in; the host's script texts come through
    // here, mostly ASCII and Latin-1 letters.
    std::string bytes(utf8.size(), '\0');
    std::size_t written = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        if (i + 8 <= utf8.size()) {
            // Eight bytes go over at once and the ASCII ones among them
            // count; the output never runs ahead of the input, so the
            // store stays inside it.
            std::uint64_t word;
            std::memcpy(&word, utf8.data() + i, sizeof word);
            std::memcpy(bytes.data() + written, &word, sizeof word);
            std::size_t ascii = LeadingAscii(word);
            written += ascii;
            i += ascii;
            if (ascii == 8) continue;
        } else if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            bytes[written++] = utf8[i++];
            continue;
        }
        if (unsigned char latin = 0; TryTakeLatin1Letter(utf8, i, latin)) {
            bytes[written++] = static_cast<char>(latin);
            continue;
        }
        bytes[written++] = static_cast<char>(Windows1252ByteOf(DecodeUtf8(utf8, i)));
    }
    bytes.resize(written);
    return bytes;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string text;
    text.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t character = utf16[i];
        if (IsHighSurrogate(utf16[i]) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            character = 0x10000 + ((char32_t(utf16[i]) - 0xD800) << 10) + (char32_t(utf16[i + 1]) - 0xDC00);
            ++i;
        } else if (character >= 0xD800 && character <= 0xDFFF) {
            character = 0xFFFD;
        }
        if (character < 0x80) {
            text.push_back(static_cast<char>(character));
        } else if (character < 0x800) {
            text.push_back(static_cast<char>(0xC0 | (character >> 6)));
            text.push_back(static_cast<char>(0x80 | (character & 0x3F)));
        } else if (character < 0x10000) {
            text.push_back(static_cast<char>(0xE0 | (character >> 12)));
            text.push_back(static_cast<char>(0x80 | ((character >> 6) & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (character & 0x3F)));
        } else {
            text.push_back(static_cast<char>(0xF0 | (character >> 18)));
            text.push_back(static_cast<char>(0x80 | ((character >> 12) & 0x3F)));
            text.push_back(static_cast<char>(0x80 | ((character >> 6) & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (character & 0x3F)));
        }
    }
    return text;
}

}  // namespace ZavorPlatform
