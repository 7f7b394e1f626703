// Replacing a file so that it is never left half written: the new content
// goes to a temporary file in the target's folder, which is renamed over the
// target only after the last byte has been written and flushed to disk. A
// failure at any point leaves the old file as it was and removes the
// temporary file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace ZavorPlatform {

class AtomicFile {
public:
    // Creates the temporary file beside `target`. Throws std::system_error
    // when the folder does not exist or cannot be written.
    explicit AtomicFile(const std::filesystem::path &target);
    // Without a successful Commit the temporary file is removed and the
    // target stays untouched.
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // Throws std::system_error on a write error (disk full ...).
    void Write(std::span<const std::uint8_t> bytes);
    // Flushes the content to disk and renames the temporary file over the
    // target; afterwards no further writes are accepted. Throws
    // std::system_error, in which case the target keeps its old content and
    // the temporary file is gone.
    void Commit();

    const std::filesystem::path &Target() const { return target_; }
    const std::filesystem::path &TemporaryPath() const { return temporary_; }

private:
    void FlushBuffer();
    void WriteAll(const std::uint8_t *data, std::size_t size);
    void FinishAndRename();
    void Discard() noexcept;

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int descriptor_ = -1;
    bool committed_ = false;
    // Callers write in many small pieces; one system call per 64 KiB.
    std::vector<std::uint8_t> buffer_;
};

// Writes `bytes` as the new content of `target` through an AtomicFile.
void WriteFileAtomically(const std::filesystem::path &target, std::span<const std::uint8_t> bytes);

}  // namespace ZavorPlatform
