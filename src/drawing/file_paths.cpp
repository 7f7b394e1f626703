#include "drawing/file_paths.h"

#include <system_error>

#include "platform/code_page.h"

namespace ZavorPdf::Drawing {

namespace fs = std::filesystem;

// From UTF-8 as char8_t, which both systems decode: Windows' runtime would
// read plain chars in the ANSI code page and miss every non-ASCII name. A
// lone surrogate becomes a replacement character instead of failing.
fs::path ToPath(std::u16string_view path) {
    std::string utf8 = ZavorPlatform::Utf16ToUtf8(path);
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

fs::path MakeAbsolute(std::u16string_view path) {
    std::error_code error;
    fs::path absolute = fs::absolute(ToPath(path), error);
    return error ? ToPath(path) : absolute.lexically_normal();
}

bool IsRegularFile(const fs::path &path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::string CanonicalFileKey(std::u16string_view path) {
    std::error_code error;
    fs::path canonical = fs::weakly_canonical(ToPath(path), error);
    return error ? ZavorPlatform::Utf16ToUtf8(path) : canonical.string();
}

}  // namespace ZavorPdf::Drawing
