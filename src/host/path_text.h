// Paths and the host's UTF-8 texts. A path made straight from a std::string
// reads it in the system's narrow encoding, which on Windows is the ANSI
// code page, not UTF-8: a script named "Grüße.zq" would not be found.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ZavorHost {

inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string PathToUtf8(const std::filesystem::path &path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace ZavorHost
