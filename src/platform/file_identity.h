// What tells whether a file is still the one read before: the file itself
// (a save that replaces it makes a new one), its size and its time of
// change to the finest step the system keeps.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace ZavorPlatform {

struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    std::uint64_t size = 0;
    // In the system's own units (nanoseconds on Linux, 100 ns on Windows):
    // the standard library's clock on Windows keeps whole seconds only, so
    // a file rewritten twice in one second with the same size would look
    // unchanged.
    std::int64_t modified = 0;
    bool operator==(const FileIdentity &) const = default;
};

// Nothing when the file cannot be examined. Links are followed.
std::optional<FileIdentity> IdentifyFile(const std::filesystem::path &name);

}  // namespace ZavorPlatform
