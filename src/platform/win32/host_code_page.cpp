#include "platform/host_code_page.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

#include "platform/code_page.h"

namespace ZavorPlatform {
namespace {

int CheckedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) throw std::length_error("The text is too long for the code page.");
    return static_cast<int>(size);
}

// With the system-wide UTF-8 setting the ANSI code page is UTF-8, which
// takes no default character of its own.
bool AnsiIsUtf8() { return GetACP() == CP_UTF8; }

}  // namespace

// Without MB_ERR_INVALID_CHARS, a byte that is no character of the code page
// still gives a character (U+FFFD or the byte's own code) instead of failing
// the whole text.
std::u16string HostAnsiToUnicode(std::string_view bytes) {
    if (bytes.empty()) return {};
    int length = CheckedLength(bytes.size());
    int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (units <= 0) throw std::runtime_error("The text cannot be read in the system's code page.");
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), units);
    return std::u16string(wide.begin(), wide.end());
}

// Without WC_NO_BEST_FIT_CHARS Windows picks the closest look-alike where the
// code page lacks a character; "?" stands in where there is none.
std::string UnicodeToHostAnsi(std::u16string_view text) {
    if (text.empty()) return {};
    std::wstring wide(text.begin(), text.end());
    int length = CheckedLength(wide.size());
    const char *fallback = AnsiIsUtf8() ? nullptr : "?";
    int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, fallback, nullptr);
    if (size <= 0) throw std::runtime_error("The text cannot be written in the system's code page.");
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), length, bytes.data(), size, fallback, nullptr);
    return bytes;
}

std::string Utf8ToHostAnsi(std::string_view utf8) { return UnicodeToHostAnsi(Utf8ToUtf16(utf8)); }

std::size_t HostAnsiCut(std::string_view bytes, std::size_t limit) {
    if (bytes.size() <= limit) return bytes.size();
    if (AnsiIsUtf8()) {
        std::size_t cut = limit;
        while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
        return cut;
    }
    // A lead byte can also be a valid trail byte, so only a walk from the
    // start tells where the characters begin.
    std::size_t at = 0;
    while (at < limit) {
        std::size_t length = IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(bytes[at])) ? 2 : 1;
        if (at + length > limit) break;
        at += length;
    }
    return at;
}

}  // namespace ZavorPlatform
