#include "host/ansi_text.h"


#include "platform/code_page.h"
#include "platform/host_code_page.h"

namespace ZavorHost {

std::string Utf8ToAnsi(std::string_view utf8) {
    return ZavorPlatform::Utf8ToHostAnsi(utf8);
}

std::string AnsiToUtf8(std::string_view ansi) {
    return ZavorPlatform::Utf16ToUtf8(ZavorPlatform::HostAnsiToUnicode(ansi));
}

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        // Scripts are mostly plain ASCII: skipped in runs.
        i += ZavorPlatform::AsciiRunLength(text, i);
        if (i == text.size()) break;
        auto lead = static_cast<unsigned char>(text[i]);
        // Latin letters take two bytes: a lead from 0xC2 (0xC0 and 0xC1
        // only start overlong forms) and one follower.
        if (lead >= 0xC2 && lead <= 0xDF && i + 1 < text.size() &&
            (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            i += 2;
            continue;
        }
        int length = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        char32_t character = lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            auto follow = static_cast<unsigned char>(text[i + k]);
            if ((follow & 0xC0) != 0x80) return false;
            character = (character << 6) | (follow & 0x3F);
        }
        static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (character < smallest[length] || character > 0x10FFFF) return false;
        if (character >= 0xD800 && character <= 0xDFFF) return false;
        i += length;
    }
    return true;
}

}  // namespace ZavorHost
