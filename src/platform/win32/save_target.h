// What a save writes to. The name is examined before the first byte is
// written, so that a target which must not be replaced is reported while it
// is still untouched.
#pragma once

#include <filesystem>

namespace ZavorPlatform {

struct SaveTarget {
    // The name itself, or the regular file its symbolic links lead to: the
    // links stay and the file at their end gets the new content.
    std::filesystem::path path;
    // False when the save creates a new file.
    bool exists = false;
};

// Throws std::system_error with the conditions of the Linux build: for a
// name that leads to a folder (is_a_directory), to a device, a pipe or
// anything else that is no file on disk (invalid_argument), to nothing at
// the end of a link (no_such_file_or_directory), and for a read-only file or
// one the user may not write (permission_denied). A file that another
// program holds open without letting others write (device_or_resource_busy)
// is refused too, since replacing it would fail only after the whole
// document had been written.
SaveTarget InspectSaveTarget(const std::filesystem::path &name);

}  // namespace ZavorPlatform
