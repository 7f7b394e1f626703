#include "platform/linux/save_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>
#include <system_error>

namespace ZavorPlatform {
namespace {

[[noreturn]] void Refuse(int error, const std::string &why, const std::filesystem::path &name) {
    throw std::system_error(error, std::generic_category(), why + " \"" + name.string() + "\"");
}

// Root may write any file, so access() alone would let a save as root
// replace a file that its owner made read-only. A file without a single
// write bit is write-protected for everyone, as the user sees it.
// Returns 0 when the file may be written, otherwise why not.
int WriteError(const std::filesystem::path &path, const struct stat &status) {
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return EACCES;
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return errno;
    return 0;
}

std::filesystem::path RealPath(const std::filesystem::path &name) {
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(name.c_str(), nullptr), &std::free);
    if (resolved == nullptr)
        Refuse(errno, "Cannot follow the link", name);
    return resolved.get();
}

}  // namespace

SaveTarget InspectSaveTarget(const std::filesystem::path &name) {
    struct stat status {};
    if (lstat(name.c_str(), &status) != 0) {
        // A new file; whether its folder can take it shows when the
        // temporary file is made there.
        if (errno == ENOENT)
            return {name, std::nullopt};
        Refuse(errno, "Cannot examine", name);
    }
    std::filesystem::path path = name;
    if (S_ISLNK(status.st_mode)) {
        // A link that leads nowhere (ENOENT) or in a circle (ELOOP) is not
        // turned into a plain file.
        if (stat(name.c_str(), &status) != 0)
            Refuse(errno, "The link leads to no file", name);
        path = RealPath(name);
    }
    if (S_ISDIR(status.st_mode))
        Refuse(EISDIR, "Cannot save over a folder", name);
    // A device or a FIFO would be replaced by a plain file, even /dev/null
    // for a save as root.
    if (!S_ISREG(status.st_mode))
        Refuse(EINVAL, "Cannot save over something that is not a regular file", name);
    if (int error = WriteError(path, status); error != 0)
        Refuse(error, "The file is write-protected", name);
    return {path, SaveTarget::Existing{status.st_mode & 07777, status.st_uid, status.st_gid}};
}

}  // namespace ZavorPlatform
