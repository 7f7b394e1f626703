#include "platform/file_identity.h"

#include <sys/stat.h>

namespace ZavorPlatform {

std::optional<FileIdentity> IdentifyFile(const std::filesystem::path &name) {
    struct stat status {};
    if (::stat(name.c_str(), &status) != 0) return std::nullopt;
    FileIdentity identity;
    identity.volume = static_cast<std::uint64_t>(status.st_dev);
    identity.file = static_cast<std::uint64_t>(status.st_ino);
    identity.size = static_cast<std::uint64_t>(status.st_size);
    identity.modified = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
    return identity;
}

}  // namespace ZavorPlatform
