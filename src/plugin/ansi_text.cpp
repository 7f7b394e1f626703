#include "plugin/ansi_text.h"

#include <cstring>

#include "platform/host_code_page.h"

namespace ZavorPlugin {

std::u16string FromAnsi(const char *text) {
    if (text == nullptr) return {};
    return ZavorPlatform::HostAnsiToUnicode(text);
}

std::string ToAnsi(std::u16string_view text) {
    std::string bytes = ZavorPlatform::UnicodeToHostAnsi(text);
    for (char &byte : bytes) {
        auto code = static_cast<unsigned char>(byte);
        if (code < 0x20 && code != '\t' && code != '\r' && code != '\n') byte = ' ';
    }
    return bytes;
}

std::size_t WriteAnsi(char *buffer, std::u16string_view text) {
    std::string bytes = ToAnsi(text);
    if (buffer != nullptr) std::memcpy(buffer, bytes.c_str(), bytes.size() + 1);
    return bytes.size();
}

std::size_t WriteAnsi(char *buffer, std::u16string_view text, std::size_t capacity) {
    if (buffer == nullptr || capacity == 0) return 0;
    std::string bytes = ToAnsi(text);
    std::size_t kept = ZavorPlatform::HostAnsiCut(bytes, capacity - 1);
    std::memcpy(buffer, bytes.data(), kept);
    buffer[kept] = '\0';
    return kept;
}

}  // namespace ZavorPlugin
