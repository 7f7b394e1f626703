#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "platform/linux/file_descriptor.h"
#include "platform/linux/save_target.h"
#include "platform/linux/temporary_file_names.h"
#include "platform/write_buffer.h"

namespace ZavorPlatform {
namespace {

// Random names collide only by chance; give up on a folder full of them.
constexpr int kLinkAttempts = 100;

[[noreturn]] void ThrowErrno(int error, const std::string &what, const std::filesystem::path &path) {
    throw std::system_error(error, std::generic_category(), what + " \"" + path.string() + "\"");
}

// The mode a new file would get from open(): 0666 less the umask.
mode_t DefaultFileMode() {
    mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

std::string DescriptorLink(int descriptor) { return "/proc/self/fd/" + std::to_string(descriptor); }

// A file without a name in `folder`, or a closed descriptor where the file
// system does not offer one. Linking it into place later goes through
// /proc/self/fd, the one way that needs no privileges; without /proc the
// named file is used instead.
FileDescriptor OpenUnnamed(const std::filesystem::path &folder) {
    FileDescriptor file(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (file.IsOpen() && access(DescriptorLink(file.Get()).c_str(), F_OK) != 0)
        file.Close();
    return file;
}

}  // namespace

class AtomicFile::Writer {
public:
    Writer(const std::filesystem::path &target, Temporary temporary);
    ~Writer();
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    void Write(std::span<const std::uint8_t> bytes);
    void Commit();
    const std::filesystem::path &Target() const { return target_.path; }

private:
    void CreateTemporary(Temporary temporary);
    void FlushBuffer();
    void WriteAll(const std::uint8_t *data, std::size_t size);
    void TakeOverAttributes();
    void LinkIntoFolder();
    void FinishAndRename();
    void Discard() noexcept;

    SaveTarget target_;
    std::filesystem::path folder_;
    // The temporary file's name; empty while an unnamed file is written.
    std::filesystem::path temporary_;
    FileDescriptor file_;
    bool committed_ = false;
    WriteBuffer buffer_;
};

AtomicFile::Writer::Writer(const std::filesystem::path &target, Temporary temporary)
    : target_(InspectSaveTarget(target)), folder_(target_.path.parent_path()) {
    if (folder_.empty())
        folder_ = ".";
    RemoveStaleTemporaryFiles(folder_);
    CreateTemporary(temporary);
    // Held until the file is in place or gone, so that a later save can tell
    // a named file of a writer at work from one that a killed save left.
    // Where the file system has no locks the file is simply never cleaned up.
    flock(file_.Get(), LOCK_EX | LOCK_NB);
}

AtomicFile::Writer::~Writer() {
    if (!committed_)
        Discard();
}

void AtomicFile::Writer::CreateTemporary(Temporary temporary) {
    if (temporary == Temporary::Unnamed) {
        file_ = OpenUnnamed(folder_);
        if (file_.IsOpen())
            return;
    }
    std::string pattern = TemporaryNamePattern(folder_);
    file_ = FileDescriptor(mkostemps(pattern.data(), kTemporaryNameSuffixLength, O_CLOEXEC));
    if (!file_.IsOpen())
        ThrowErrno(errno, "Cannot create a file beside", target_.path);
    temporary_ = pattern;
}

void AtomicFile::Writer::Write(std::span<const std::uint8_t> bytes) {
    if (!file_.IsOpen())
        throw std::system_error(EBADF, std::generic_category(), "The file is already closed");
    buffer_.Add(bytes, [this](const std::uint8_t *data, std::size_t size) { WriteAll(data, size); });
}

void AtomicFile::Writer::FlushBuffer() {
    buffer_.Flush([this](const std::uint8_t *data, std::size_t size) { WriteAll(data, size); });
}

void AtomicFile::Writer::WriteAll(const std::uint8_t *data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(file_.Get(), data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno, "Cannot write the new content of", target_.path);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void AtomicFile::Writer::Commit() {
    if (!file_.IsOpen())
        throw std::system_error(EBADF, std::generic_category(), "The file is already closed");
    try {
        FinishAndRename();
    } catch (...) {
        Discard();
        throw;
    }
    committed_ = true;
}

// A replaced file stays its owner's where the caller may give it away
// (root, or a group the caller belongs to); otherwise it becomes the
// caller's, as with any save that replaces a file. The mode is set after the
// owner because changing the owner clears the set-id bits.
void AtomicFile::Writer::TakeOverAttributes() {
    mode_t mode = DefaultFileMode();
    if (const auto &existing = target_.existing) {
        if (fchown(file_.Get(), existing->owner, existing->group) != 0)
            static_cast<void>(fchown(file_.Get(), static_cast<uid_t>(-1), existing->group));
        mode = existing->mode;
    }
    if (fchmod(file_.Get(), mode) != 0)
        ThrowErrno(errno, "Cannot set the permissions of the new content of", target_.path);
}

// rename() cannot move a file that has no name, and linkat() cannot replace
// an existing one: the file gets a short name of our own first.
void AtomicFile::Writer::LinkIntoFolder() {
    const std::string link = DescriptorLink(file_.Get());
    for (int attempt = 0; attempt < kLinkAttempts; ++attempt) {
        std::filesystem::path name = RandomTemporaryName(folder_);
        if (linkat(AT_FDCWD, link.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporary_ = std::move(name);
            return;
        }
        if (errno != EEXIST)
            ThrowErrno(errno, "Cannot link the new content into", folder_);
    }
    ThrowErrno(EEXIST, "Cannot find a free name in", folder_);
}

void AtomicFile::Writer::FinishAndRename() {
    FlushBuffer();
    TakeOverAttributes();
    if (fsync(file_.Get()) != 0)
        ThrowErrno(errno, "Cannot flush the new content of", target_.path);
    if (temporary_.empty())
        LinkIntoFolder();
    if (std::rename(temporary_.c_str(), target_.path.c_str()) != 0)
        ThrowErrno(errno, "Cannot replace", target_.path);
    temporary_.clear();
    // The content is on disk since fsync(); closing also drops the lock and
    // can report nothing that would make the saved file less complete.
    file_.Close();
}

void AtomicFile::Writer::Discard() noexcept {
    // The name goes before the descriptor: while the lock is held, no other
    // save mistakes the file for a stale one.
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
    file_.Close();
}

AtomicFile::AtomicFile(const std::filesystem::path &target, Temporary temporary)
    : writer_(std::make_unique<Writer>(target, temporary)) {}

AtomicFile::~AtomicFile() = default;

void AtomicFile::Write(std::span<const std::uint8_t> bytes) { writer_->Write(bytes); }

void AtomicFile::Commit() { writer_->Commit(); }

const std::filesystem::path &AtomicFile::Target() const { return writer_->Target(); }

void WriteFileAtomically(const std::filesystem::path &target, std::span<const std::uint8_t> bytes) {
    AtomicFile file(target);
    file.Write(bytes);
    file.Commit();
}

}  // namespace ZavorPlatform
