#include "platform/atomic_file.h"

#include <windows.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <vector>

#include "platform/win32/file_handle.h"
#include "platform/win32/save_target.h"
#include "platform/win32/temporary_files.h"
#include "platform/win32/windows_error.h"
#include "platform/write_buffer.h"

namespace ZavorPlatform {
namespace {

// WriteFile takes 32-bit sizes.
constexpr std::size_t kLargestWrite = 1u << 30;
// The attributes that say something about the file rather than its state;
// read-only never gets this far.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// ReplaceFileW also fails where the file system cannot keep the old file's
// identity (some network shares, FAT); moving over it still works there.
// Failures that moving would meet as well are reported at once.
bool WorthMoving(DWORD replaceError) {
    return replaceError != ERROR_ACCESS_DENIED && replaceError != ERROR_SHARING_VIOLATION &&
           replaceError != ERROR_USER_MAPPED_FILE && replaceError != ERROR_UNABLE_TO_REMOVE_REPLACED &&
           replaceError != ERROR_LOCK_VIOLATION;
}

}  // namespace

// Windows has no file without a name: both kinds of temporary file are named.
class AtomicFile::Writer {
public:
    Writer(const std::filesystem::path &target, Temporary)
        : target_(InspectSaveTarget(target)), folder_(target_.path.parent_path()) {
        if (folder_.empty()) folder_ = ".";
        RemoveStaleTemporaryFiles(folder_);
        temporary_ = CreateTemporaryFile(folder_, target_.path);
    }
    ~Writer() {
        if (!committed_) Discard();
    }
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    void Write(std::span<const std::uint8_t> bytes);
    void Commit();
    const std::filesystem::path &Target() const { return target_.path; }

private:
    void FlushBuffer();
    void WriteAll(const std::uint8_t *data, std::size_t size);
    void FinishAndReplace();
    void Replace();
    void MoveIntoPlace(bool keepAttributes);
    void Discard() noexcept;

    SaveTarget target_;
    std::filesystem::path folder_;
    TemporaryFile temporary_;
    bool committed_ = false;
    WriteBuffer buffer_;
};

void AtomicFile::Writer::Write(std::span<const std::uint8_t> bytes) {
    if (!temporary_.file.IsOpen())
        throw std::system_error(EBADF, std::generic_category(), "The file is already closed");
    buffer_.Add(bytes, [this](const std::uint8_t *data, std::size_t size) { WriteAll(data, size); });
}

void AtomicFile::Writer::FlushBuffer() {
    buffer_.Flush([this](const std::uint8_t *data, std::size_t size) { WriteAll(data, size); });
}

void AtomicFile::Writer::WriteAll(const std::uint8_t *data, std::size_t size) {
    while (size > 0) {
        DWORD piece = static_cast<DWORD>(size < kLargestWrite ? size : kLargestWrite);
        DWORD written = 0;
        if (!WriteFile(temporary_.file.Get(), data, piece, &written, nullptr) || written == 0)
            ThrowLastError("Cannot write the new content of", target_.path);
        data += written;
        size -= written;
    }
}

void AtomicFile::Writer::Commit() {
    if (!temporary_.file.IsOpen())
        throw std::system_error(EBADF, std::generic_category(), "The file is already closed");
    try {
        FinishAndReplace();
    } catch (...) {
        Discard();
        throw;
    }
    committed_ = true;
}

void AtomicFile::Writer::FinishAndReplace() {
    FlushBuffer();
    if (!FlushFileBuffers(temporary_.file.Get())) ThrowLastError("Cannot flush the new content of", target_.path);
    // Replacing needs the file closed; it is younger than the minute after
    // which another save would count it as left behind.
    temporary_.file.Close();
    if (target_.exists)
        Replace();
    else
        MoveIntoPlace(false);
    temporary_.name.clear();
}

// ReplaceFileW keeps what belongs to the old file rather than to its
// content: its access rules, attributes, creation time and short name.
void AtomicFile::Writer::Replace() {
    if (ReplaceFileW(target_.path.c_str(), temporary_.name.c_str(), nullptr,
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr))
        return;
    DWORD error = GetLastError();
    if (!WorthMoving(error)) ThrowFileError(ErrnoOfWindowsError(error), "Cannot replace", target_.path);
    MoveIntoPlace(true);
}

void AtomicFile::Writer::MoveIntoPlace(bool keepAttributes) {
    if (keepAttributes) {
        DWORD old = GetFileAttributesW(target_.path.c_str());
        if (old != INVALID_FILE_ATTRIBUTES && (old & kKeptAttributes) != 0)
            SetFileAttributesW(temporary_.name.c_str(), old & kKeptAttributes);
    }
    if (!MoveFileExW(temporary_.name.c_str(), target_.path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowLastError("Cannot replace", target_.path);
}

void AtomicFile::Writer::Discard() noexcept {
    temporary_.file.Close();
    if (!temporary_.name.empty()) {
        DeleteFileW(temporary_.name.c_str());
        temporary_.name.clear();
    }
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
