#include "pdf/pdf_password_text.h"

#include <algorithm>

#include "platform/code_page.h"

namespace ZavorPdf::Pdf::Internal {
namespace {

constexpr std::size_t MaxPasswordBytes = 127;

struct Fold {
    char16_t from;
    std::u16string_view to;
};

// NFKC of the compatibility characters of Latin-1 and Windows-1252; every
// other character of these sets is already in normal form.
constexpr Fold kFolds[] = {
    {u'\u00A8', u" \u0308"}, {u'\u00AA', u"a"},      {u'\u00AF', u" \u0304"}, {u'\u00B2', u"2"},
    {u'\u00B3', u"3"},       {u'\u00B4', u" \u0301"}, {u'\u00B5', u"\u03BC"},  {u'\u00B8', u" \u0327"},
    {u'\u00B9', u"1"},       {u'\u00BA', u"o"},      {u'\u00BC', u"1\u20444"}, {u'\u00BD', u"1\u20442"},
    {u'\u00BE', u"3\u20444"}, {u'\u02DC', u" \u0303"}, {u'\u2026', u"..."},     {u'\u2122', u"TM"},
    {u'\uFB01', u"fi"},      {u'\uFB02', u"fl"},
};

// Spaces other than U+0020 become one (RFC 4013 2.1).
bool IsNonAsciiSpace(char16_t c) {
    return c == 0x00A0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

// Characters commonly mapped to nothing (RFC 3454 B.1).
bool MapsToNothing(char16_t c) {
    return c == 0x00AD || c == 0x034F || c == 0x1806 || (c >= 0x180B && c <= 0x180D) ||
           (c >= 0x200B && c <= 0x200D) || c == 0x2060 || (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF;
}

// Control characters, private use, non-characters and the display
// controls that SASLprep refuses (RFC 4013 2.3).
bool IsProhibited(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x0340 || c == 0x0341 || c == 0x06DD || c == 0x070F ||
           c == 0x180E || c == 0x200E || c == 0x200F || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2061 && c <= 0x2063) || (c >= 0x206A && c <= 0x206F) || (c >= 0x2FF0 && c <= 0x2FFB) ||
           (c >= 0xE000 && c <= 0xF8FF) || (c >= 0xFDD0 && c <= 0xFDEF) || (c >= 0xFFF9 && c <= 0xFFFD) ||
           c == 0xFFFE || c == 0xFFFF;
}

}  // namespace

std::optional<std::string> SaslPreparedPassword(std::u16string_view password) {
    std::u16string mapped;
    for (std::size_t i = 0; i < password.size(); ++i) {
        char16_t c = password[i];
        bool high = c >= 0xD800 && c <= 0xDBFF;
        if (high && i + 1 < password.size() && password[i + 1] >= 0xDC00 && password[i + 1] <= 0xDFFF) {
            mapped.push_back(c);
            mapped.push_back(password[++i]);
            continue;
        }
        if (high || (c >= 0xDC00 && c <= 0xDFFF) || IsProhibited(c)) return std::nullopt;
        if (MapsToNothing(c)) continue;
        if (IsNonAsciiSpace(c)) {
            mapped.push_back(u' ');
            continue;
        }
        const Fold *fold =
            std::find_if(std::begin(kFolds), std::end(kFolds), [c](const Fold &f) { return f.from == c; });
        if (fold != std::end(kFolds))
            mapped.append(fold->to);
        else
            mapped.push_back(c);
    }
    std::string bytes = ZavorPlatform::Utf16ToUtf8(mapped);
    // Cut by bytes, as writers cut it, even inside a character.
    if (bytes.size() > MaxPasswordBytes) bytes.resize(MaxPasswordBytes);
    return bytes;
}

}  // namespace ZavorPdf::Pdf::Internal
