// The temporary file of a save in the target's folder, and the clean-up of
// those that a killed save left there.
//
// The names are short and independent of the target's name, so that a
// target whose own name is as long as the system allows can still be saved:
// a dot, "zavor-", six letters or digits and ".tmp", as on Linux.
#pragma once

#include <filesystem>
#include <string_view>

#include "platform/win32/file_handle.h"

namespace ZavorPlatform {

struct TemporaryFile {
    FileHandle file;
    std::filesystem::path name;
};

// Creates a new file of our naming in `folder`, open for writing and shared
// with nobody but those who only read its attributes: while the writer holds
// it, no clean-up can remove it. Throws std::system_error (with the target's
// name in the message) when the folder cannot take it.
TemporaryFile CreateTemporaryFile(const std::filesystem::path &folder, const std::filesystem::path &target);

bool IsTemporaryName(std::wstring_view name);

// Removes from `folder` the files of our naming that have not been written
// for a minute and that no writer holds open any more (the system refuses to
// delete those). Failures are ignored: the clean-up must never stop a save.
void RemoveStaleTemporaryFiles(const std::filesystem::path &folder) noexcept;

}  // namespace ZavorPlatform
