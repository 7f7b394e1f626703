// Replacing a file so that it is never left half written: the new content
// goes to a temporary file in the target's folder, which takes the target's
// name only after the last byte has been written and flushed to disk. A
// failure at any point leaves the old file as it was and removes the
// temporary file.
//
// The temporary file has no name while it is written (O_TMPFILE), so a save
// that is killed leaves nothing behind. Where the file system refuses that,
// it gets a short name of our own; such files left by a killed save are
// removed by the next save in the same folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "platform/linux/file_descriptor.h"
#include "platform/linux/save_target.h"

namespace ZavorPlatform {

class AtomicFile {
public:
    enum class Temporary {
        Unnamed,  // without a name where the file system allows it, else named
        Named,    // always named, as on a file system without unnamed files
    };

    // Examines the target (see InspectSaveTarget) and creates the temporary
    // file beside the file that will be replaced. Throws std::system_error
    // for a refused target and when the folder does not exist or cannot be
    // written.
    explicit AtomicFile(const std::filesystem::path &target, Temporary temporary = Temporary::Unnamed);
    // Without a successful Commit the temporary file is removed and the
    // target stays untouched.
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // Throws std::system_error on a write error (disk full ...).
    void Write(std::span<const std::uint8_t> bytes);
    // Gives the content the old file's permission bits and, as far as the
    // system lets the caller, its owner and group; flushes it to disk and
    // puts it in the target's place. Afterwards no further writes are
    // accepted. Throws std::system_error, in which case the target keeps its
    // old content and the temporary file is gone.
    void Commit();

    // The file that receives the content: the target, or where its links lead.
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
    // Callers write in many small pieces; one system call per 64 KiB.
    std::vector<std::uint8_t> buffer_;
};

// Writes `bytes` as the new content of `target` through an AtomicFile.
void WriteFileAtomically(const std::filesystem::path &target, std::span<const std::uint8_t> bytes);

}  // namespace ZavorPlatform
