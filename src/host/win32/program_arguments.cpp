#include "host/program_arguments.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>

namespace ZavorHost {
namespace {

std::string ToUtf8(const wchar_t *text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    utf8.pop_back();  // the terminating zero
    return utf8;
}

struct LocalFreeDeleter {
    void operator()(wchar_t **arguments) const { LocalFree(arguments); }
};

}  // namespace

// argv holds the arguments in the ANSI code page, where a character beyond
// it (an "€" on a Cyrillic system, a "ł" on a German one) is already lost;
// the wide command line still has every character.
std::vector<std::string> ProgramArguments(int argc, char **argv) {
    int count = 0;
    std::unique_ptr<wchar_t *[], LocalFreeDeleter> wide(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!wide) return std::vector<std::string>(argv + 1, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(ToUtf8(wide[i]));
    return arguments;
}

}  // namespace ZavorHost
