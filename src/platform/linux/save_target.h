// What a save writes to. The name is examined before the first byte is
// written, so that a target which must not be replaced is reported while it
// is still untouched.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>

namespace ZavorPlatform {

struct SaveTarget {
    // The file as it stands before the save.
    struct Existing {
        mode_t mode;  // permission bits, set-id and sticky bits
        uid_t owner;
        gid_t group;
    };

    // The name itself, or the regular file its symbolic links lead to: the
    // links stay and the file at their end gets the new content.
    std::filesystem::path path;
    // Empty when the save creates a new file.
    std::optional<Existing> existing;
};

// Throws std::system_error for a name that leads to something other than a
// regular file (a folder, a device, a FIFO, a socket), to nothing at the end
// of a symbolic link, or into a loop of links, and for a write-protected
// file.
SaveTarget InspectSaveTarget(const std::filesystem::path &name);

}  // namespace ZavorPlatform
