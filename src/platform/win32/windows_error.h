// Failures of Win32 calls as the std::system_error that the Linux code
// throws for the same situation, so that the engine and its tests see one
// set of error conditions (std::errc) on both systems.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace ZavorPlatform {

// The errno value that stands for a Win32 error code; EIO for the rest.
int ErrnoOfWindowsError(DWORD error) noexcept;

// what + " \"path\"", as the Linux code words it.
[[noreturn]] void ThrowFileError(int errnoValue, const std::string &what, const std::filesystem::path &path);
[[noreturn]] void ThrowLastError(const std::string &what, const std::filesystem::path &path);

}  // namespace ZavorPlatform
