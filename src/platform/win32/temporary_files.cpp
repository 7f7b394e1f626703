#include "platform/win32/temporary_files.h"

#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include <array>
#include <cstdint>
#include <string>

#include "platform/win32/windows_error.h"

namespace ZavorPlatform {
namespace {

constexpr std::wstring_view kPrefix = L".zavor-";
constexpr std::wstring_view kSuffix = L".tmp";
constexpr std::size_t kRandomLength = 6;
constexpr std::wstring_view kAlphabet = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// Random names collide only by chance; give up on a folder full of them.
constexpr int kCreateAttempts = 100;
// In units of 100 ns, as file times count.
constexpr std::uint64_t kStaleTime = 60ull * 10'000'000ull;

std::wstring RandomLetters() {
    std::array<std::uint8_t, kRandomLength> bytes{};
    if (BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()), BCRYPT_USE_SYSTEM_PREFERRED_RNG) < 0) {
        // Only uniqueness matters here, and a taken name is retried.
        std::uint64_t mixed = GetTickCount64() * 0x9E3779B97F4A7C15u ^ GetCurrentProcessId();
        for (auto &byte : bytes) {
            byte = static_cast<std::uint8_t>(mixed);
            mixed = (mixed >> 8) | (mixed << 56);
        }
    }
    std::wstring letters;
    for (std::uint8_t byte : bytes) letters += kAlphabet[byte % kAlphabet.size()];
    return letters;
}

std::uint64_t FileTimeValue(const FILETIME &time) {
    return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

}  // namespace

TemporaryFile CreateTemporaryFile(const std::filesystem::path &folder, const std::filesystem::path &target) {
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        std::filesystem::path name = folder / (std::wstring(kPrefix) + RandomLetters() + std::wstring(kSuffix));
        FileHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsOpen()) return {std::move(file), std::move(name)};
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            ThrowFileError(ErrnoOfWindowsError(error), "Cannot create a file beside", target);
    }
    ThrowFileError(EEXIST, "Cannot find a free name in", folder);
}

bool IsTemporaryName(std::wstring_view name) {
    if (name.size() != kPrefix.size() + kRandomLength + kSuffix.size() || !name.starts_with(kPrefix) ||
        !name.ends_with(kSuffix))
        return false;
    for (wchar_t c : name.substr(kPrefix.size(), kRandomLength))
        if (kAlphabet.find(c) == std::wstring_view::npos) return false;
    return true;
}

void RemoveStaleTemporaryFiles(const std::filesystem::path &folder) noexcept {
    try {
        std::filesystem::path pattern = folder / (std::wstring(kPrefix) + L"*" + std::wstring(kSuffix));
        WIN32_FIND_DATAW found{};
        HANDLE listing = FindFirstFileW(pattern.c_str(), &found);
        if (listing == INVALID_HANDLE_VALUE) return;
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        do {
            if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
                !IsTemporaryName(found.cFileName))
                continue;
            // The minute covers a writer that has made its file but not yet
            // written to it; one still at work holds it open, and the
            // deletion then fails with a sharing violation.
            std::uint64_t written = FileTimeValue(found.ftLastWriteTime);
            if (written > FileTimeValue(now) || FileTimeValue(now) - written < kStaleTime) continue;
            DeleteFileW((folder / found.cFileName).c_str());
        } while (FindNextFileW(listing, &found));
        FindClose(listing);
    } catch (...) {
        // Out of memory for a name: the files stay for the next save.
    }
}

}  // namespace ZavorPlatform
