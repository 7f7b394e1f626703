// The byte forms of PDF strings.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ZavorPdf::Pdf::IO {
class PdfSecurityHook;
}

namespace ZavorPdf::Pdf::Internal {

enum class StringForm { Literal, Hex };
enum class UnicodePrefix { None, ByteOrderMark };

class PdfEncoders {
public:
    // The bytes of a literal "(...)" or hex "<...>" string. With `unicode`
    // the bytes are UTF-16 big-endian code units and the form is always
    // hex, after "<FEFF" when the prefix is asked for, with a line feed
    // after every code unit whose byte offset is a non-zero multiple of 48.
    // With a security hook, a copy of the bytes is encrypted first.
    static std::string FormatStringLiteral(const std::vector<std::uint8_t> &bytes, bool unicode,
                                           UnicodePrefix prefix, StringForm form,
                                           IO::PdfSecurityHook *security);
    // What FormatStringLiteral gives for plain bytes (no Unicode, no
    // security), appended to `out`: the text operators of a page write one
    // string after another into the same buffer.
    static void AppendString(std::string &out, std::string_view bytes, StringForm form);
    // The literal of a text in code page 1252 when every unit is its own
    // byte and none needs an escape, appended to `out` in one pass (the
    // usual line of text); false, with `out` unchanged, for any other text.
    static bool TryAppendPlainLiteral(std::string &out, std::u16string_view text);
    // The same for the units `taken` marks (a subset of the plain ones).
    static bool TryAppendLiteralOf(std::string &out, std::u16string_view text, const std::array<bool, 256> &taken);
    // Whether TryAppendPlainLiteral takes the unit as it is.
    static bool IsPlainUnit(char16_t unit);
};

}  // namespace ZavorPdf::Pdf::Internal
