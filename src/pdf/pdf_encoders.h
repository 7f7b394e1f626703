// The byte forms of PDF strings.
#pragma once

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
};

}  // namespace ZavorPdf::Pdf::Internal
