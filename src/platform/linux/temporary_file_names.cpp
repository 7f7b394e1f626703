#include "platform/linux/temporary_file_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <ctime>
#include <memory>

#include "platform/linux/file_descriptor.h"

namespace ZavorPlatform {
namespace {

constexpr std::string_view kPrefix = ".zavor-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kRandomLength = 6;
constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr time_t kStaleSeconds = 60;

bool IsNameCharacter(char c) { return kAlphabet.find(c) != std::string_view::npos; }

std::string RandomLetters() {
    std::array<std::uint8_t, kRandomLength> bytes{};
    if (getrandom(bytes.data(), bytes.size(), GRND_NONBLOCK) != static_cast<ssize_t>(bytes.size())) {
        // Only uniqueness matters here, and a taken name is retried.
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::uint64_t mixed = static_cast<std::uint64_t>(now.tv_nsec) * 0x9E3779B97F4A7C15u ^
                              static_cast<std::uint64_t>(getpid());
        for (auto &byte : bytes) {
            byte = static_cast<std::uint8_t>(mixed);
            mixed = (mixed >> 8) | (mixed << 56);
        }
    }
    std::string letters;
    for (std::uint8_t byte : bytes)
        letters += kAlphabet[byte % kAlphabet.size()];
    return letters;
}

// Opens `name` in the folder, a regular file only and without following a
// link, since opening a device can have effects of its own; closed unless
// it is a stale temporary file of ours, which is then held locked.
FileDescriptor OpenIfStale(int folder, const char *name) {
    struct stat named {};
    if (fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode))
        return {};
    FileDescriptor file(openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.IsOpen())
        return file;
    struct stat status {};
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    bool stale = fstat(file.Get(), &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == geteuid() &&
                 now.tv_sec - status.st_mtim.tv_sec >= kStaleSeconds && flock(file.Get(), LOCK_EX | LOCK_NB) == 0;
    if (!stale)
        file.Close();
    return file;
}

struct FolderListingCloser {
    void operator()(DIR *listing) const { closedir(listing); }
};

// True when `name` in the folder is still the file that `descriptor` has
// open, and not one that a new writer has made under the same name since.
bool StillNames(int folder, const char *name, int descriptor) {
    struct stat named {}, opened {};
    return fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && fstat(descriptor, &opened) == 0 &&
           named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

}  // namespace

std::string TemporaryNamePattern(const std::filesystem::path &folder) {
    std::string name(kPrefix);
    name.append(kRandomLength, 'X');
    name += kSuffix;
    return (folder / name).string();
}

std::filesystem::path RandomTemporaryName(const std::filesystem::path &folder) {
    std::string name(kPrefix);
    name += RandomLetters();
    name += kSuffix;
    return folder / name;
}

bool IsTemporaryName(std::string_view name) {
    if (name.size() != kPrefix.size() + kRandomLength + kSuffix.size() || !name.starts_with(kPrefix) ||
        !name.ends_with(kSuffix))
        return false;
    for (char c : name.substr(kPrefix.size(), kRandomLength))
        if (!IsNameCharacter(c))
            return false;
    return true;
}

void RemoveStaleTemporaryFiles(const std::filesystem::path &folder) noexcept {
    std::unique_ptr<DIR, FolderListingCloser> listing(opendir(folder.c_str()));
    if (listing == nullptr)
        return;
    int folderDescriptor = dirfd(listing.get());
    while (dirent *entry = readdir(listing.get())) {
        if (!IsTemporaryName(entry->d_name))
            continue;
        FileDescriptor stale = OpenIfStale(folderDescriptor, entry->d_name);
        if (stale.IsOpen() && StillNames(folderDescriptor, entry->d_name, stale.Get()))
            unlinkat(folderDescriptor, entry->d_name, 0);
    }
}

}  // namespace ZavorPlatform
