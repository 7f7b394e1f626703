#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

namespace ZavorPlatform {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

[[noreturn]] void ThrowErrno(int error, const std::string &what, const std::filesystem::path &path) {
    throw std::system_error(error, std::generic_category(), what + " \"" + path.string() + "\"");
}

// A symbolic link is followed, so that the file it names is replaced and the
// link itself survives.
std::filesystem::path ResolveTarget(const std::filesystem::path &target) {
    std::error_code error;
    if (std::filesystem::is_symlink(target, error)) {
        auto resolved = std::filesystem::weakly_canonical(target, error);
        if (!error)
            return resolved;
    }
    return target;
}

// The mode a new file would get from open(): 0666 less the umask.
mode_t DefaultFileMode() {
    mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

// A replaced file keeps its permissions; a new one gets the usual ones
// rather than the private 0600 of a temporary file.
mode_t ModeFor(const std::filesystem::path &target) {
    struct stat status {};
    if (stat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        return status.st_mode & 07777;
    return DefaultFileMode();
}

}  // namespace

AtomicFile::AtomicFile(const std::filesystem::path &target) : target_(ResolveTarget(target)) {
    std::filesystem::path folder = target_.parent_path();
    if (folder.empty())
        folder = ".";
    // Appended piece by piece: GCC 12 at -O3 wrongly reports overlapping
    // copies (-Wrestrict) for "." + std::string.
    std::string name = ".";
    name += target_.filename().string();
    name += ".tmp-XXXXXX";
    std::string pattern = (folder / name).string();
    descriptor_ = mkstemp(pattern.data());
    if (descriptor_ < 0)
        ThrowErrno(errno, "Cannot create a file beside", target_);
    temporary_ = pattern;
    if (fchmod(descriptor_, ModeFor(target_)) != 0) {
        int error = errno;
        Discard();
        ThrowErrno(error, "Cannot set the permissions of a file beside", target_);
    }
    buffer_.reserve(kBufferSize);
}

AtomicFile::~AtomicFile() {
    if (!committed_)
        Discard();
}

void AtomicFile::Write(std::span<const std::uint8_t> bytes) {
    if (descriptor_ < 0)
        throw std::system_error(EBADF, std::generic_category(), "The file is already closed");
    if (buffer_.size() + bytes.size() <= kBufferSize) {
        buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
        return;
    }
    FlushBuffer();
    if (bytes.size() < kBufferSize)
        buffer_.assign(bytes.begin(), bytes.end());
    else
        WriteAll(bytes.data(), bytes.size());
}

void AtomicFile::FlushBuffer() {
    WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
}

void AtomicFile::WriteAll(const std::uint8_t *data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(descriptor_, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno, "Cannot write", temporary_);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void AtomicFile::Commit() {
    if (descriptor_ < 0)
        throw std::system_error(EBADF, std::generic_category(), "The file is already closed");
    try {
        FinishAndRename();
    } catch (...) {
        Discard();
        throw;
    }
    committed_ = true;
}

void AtomicFile::FinishAndRename() {
    FlushBuffer();
    if (fsync(descriptor_) != 0)
        ThrowErrno(errno, "Cannot flush", temporary_);
    int closing = ::close(descriptor_);
    descriptor_ = -1;
    if (closing != 0)
        ThrowErrno(errno, "Cannot close", temporary_);
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0)
        ThrowErrno(errno, "Cannot replace", target_);
}

void AtomicFile::Discard() noexcept {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

void WriteFileAtomically(const std::filesystem::path &target, std::span<const std::uint8_t> bytes) {
    AtomicFile file(target);
    file.Write(bytes);
    file.Commit();
}

}  // namespace ZavorPlatform
