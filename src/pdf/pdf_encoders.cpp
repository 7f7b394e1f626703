#include "pdf/pdf_encoders.h"

#include <algorithm>
#include <array>

#include "pdf/pdf_security_hook.h"
#include "platform/code_page.h"

namespace ZavorPdf::Pdf::Internal {
namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string &out, std::uint8_t byte) {
    out += HexDigits[byte >> 4];
    out += HexDigits[byte & 0x0F];
}

// The escape of a byte that needs one, null for the others (see kEscaped).
constexpr const char *EscapeOf(std::uint8_t byte) {
    switch (byte) {
    case 0x08: return "\\b";
    case 0x09: return "\\t";
    case 0x0A: return "\\n";
    case 0x0D: return "\\r";
    case '(': return "\\(";
    case ')': return "\\)";
    case '\\': return "\\\\";
    default: return nullptr;
    }
}

// The bytes EscapeOf has an escape for, looked up by value: every byte of
// every page's text is tested.
constexpr std::array<bool, 256> kEscaped = [] {
    std::array<bool, 256> escaped{};
    for (int byte = 0; byte < 256; ++byte)
        escaped[static_cast<std::size_t>(byte)] = EscapeOf(static_cast<std::uint8_t>(byte)) != nullptr;
    return escaped;
}();

// The UTF-16 units below 0x100 that a simple font's literal takes as they
// are: the code page holds them unchanged and they need no escape. One
// look-up per unit of every line of text.
constexpr std::array<bool, 256> kPlainUnit = [] {
    std::array<bool, 256> plain{};
    for (std::size_t unit = 0; unit < plain.size(); ++unit)
        plain[unit] = ZavorPlatform::IsWindows1252AsIs(static_cast<char16_t>(unit)) && !kEscaped[unit];
    return plain;
}();

// Every word of every page comes through here: plain bytes go out in
// runs rather than one by one.
void AppendLiteral(std::string &out, std::string_view text) {
    out.reserve(out.size() + text.size() + 2);
    out += '(';
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto byte = static_cast<std::uint8_t>(text[i]);
        if (!kEscaped[byte]) continue;
        out.append(text.data() + plain, i - plain);
        out += EscapeOf(byte);
        plain = i + 1;
    }
    out.append(text.data() + plain, text.size() - plain);
    out += ')';
}

std::string_view AsText(const std::vector<std::uint8_t> &bytes) {
    return {reinterpret_cast<const char *>(bytes.data()), bytes.size()};
}

// Code units of four hex digits; a line feed after each unit whose byte
// offset is a non-zero multiple of 48 keeps long strings readable.
void AppendUnicodeUnits(std::string &out, const std::vector<std::uint8_t> &bytes) {
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        AppendHex(out, bytes[i]);
        if (i + 1 < bytes.size()) AppendHex(out, bytes[i + 1]);
        if (i % 48 == 0 && i != 0) out += '\n';
    }
}

}  // namespace

std::string PdfEncoders::FormatStringLiteral(const std::vector<std::uint8_t> &bytes, bool unicode,
                                             UnicodePrefix prefix, StringForm form,
                                             IO::PdfSecurityHook *security) {
    if (bytes.empty()) return form == StringForm::Hex ? "<>" : "()";
    std::string out;
    if (security != nullptr) {
        // The byte order mark is part of the string that a reader decrypts,
        // so it is encrypted together with the text, never put in front of
        // the cipher text.
        bool mark = unicode && prefix == UnicodePrefix::ByteOrderMark;
        std::vector<std::uint8_t> copy(bytes.size() + (mark ? 2 : 0));
        if (mark) {
            copy[0] = 0xFE;
            copy[1] = 0xFF;
        }
        std::copy(bytes.begin(), bytes.end(), copy.begin() + (mark ? 2 : 0));
        security->EncryptString(copy);
        if (unicode) {
            out += '<';
            AppendUnicodeUnits(out, copy);
            out += '>';
            return out;
        }
        if (form == StringForm::Hex) {
            out += '<';
            for (std::uint8_t byte : copy) AppendHex(out, byte);
            out += '>';
        } else {
            AppendLiteral(out, AsText(copy));
        }
        return out;
    }
    if (unicode) {
        out += prefix == UnicodePrefix::ByteOrderMark ? "<FEFF" : "<";
        AppendUnicodeUnits(out, bytes);
        out += '>';
    } else {
        AppendString(out, AsText(bytes), form);
    }
    return out;
}

bool PdfEncoders::IsPlainUnit(char16_t unit) { return unit < kPlainUnit.size() && kPlainUnit[unit]; }

bool PdfEncoders::TryAppendPlainLiteral(std::string &out, std::u16string_view text) {
    return TryAppendLiteralOf(out, text, kPlainUnit);
}

bool PdfEncoders::TryAppendLiteralOf(std::string &out, std::u16string_view text, const std::array<bool, 256> &taken) {
    const std::size_t start = out.size();
    out.resize(start + text.size() + 2);
    char *next = out.data() + start;
    *next++ = '(';
    for (char16_t unit : text) {
        if (unit >= taken.size() || !taken[unit]) {
            out.resize(start);
            return false;
        }
        *next++ = static_cast<char>(unit);
    }
    *next = ')';
    return true;
}

void PdfEncoders::AppendString(std::string &out, std::string_view bytes, StringForm form) {
    if (form == StringForm::Literal) {
        AppendLiteral(out, bytes);
        return;
    }
    out.reserve(out.size() + bytes.size() * 2 + 2);
    out += '<';
    for (char byte : bytes) AppendHex(out, static_cast<std::uint8_t>(byte));
    out += '>';
}

}  // namespace ZavorPdf::Pdf::Internal
