#include "plugin/ansi_text.h"

#include <cstring>

#include "platform/code_page.h"

namespace ZavorPlugin {

std::u16string FromAnsi(const char *text) {
    if (text == nullptr) return {};
    return ZavorPlatform::Windows1252ToUnicode(text);
}

std::size_t WriteAnsi(char *buffer, std::u16string_view text) {
    std::string bytes = ZavorPlatform::UnicodeToWindows1252(text);
    if (buffer != nullptr) std::memcpy(buffer, bytes.c_str(), bytes.size() + 1);
    return bytes.size();
}

}  // namespace ZavorPlugin
