// The names a save gives its temporary file in the target's folder, and the
// clean-up of those that a killed save left there.
//
// The names are short and independent of the target's name, so that a
// target whose own name uses all 255 bytes can still be saved: a dot,
// "zavor-", six letters or digits and ".tmp".
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ZavorPlatform {

// A pattern for mkstemps() in `folder`, with the four bytes of ".tmp" after
// the six letters that mkstemps() fills in.
std::string TemporaryNamePattern(const std::filesystem::path &folder);
inline constexpr int kTemporaryNameSuffixLength = 4;

// A fresh random name of the same form in `folder`, for linking a file that
// was written without a name; the caller retries when it is taken.
std::filesystem::path RandomTemporaryName(const std::filesystem::path &folder);

bool IsTemporaryName(std::string_view name);

// Removes from `folder` the regular files of our naming that belong to the
// caller's user, are no longer held by a writer and have not been written
// for a minute. A writer holds its file with flock() for its whole life, so
// the lock disappears exactly when the writer ends, however it ends; the
// minute covers the moment between creating the file and locking it.
// Failures are ignored: the clean-up must never stop a save.
void RemoveStaleTemporaryFiles(const std::filesystem::path &folder) noexcept;

}  // namespace ZavorPlatform
