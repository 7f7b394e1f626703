// Replacing a file so that it is never left half written: the new content
// goes to a temporary file in the target's folder, which takes the target's
// name only after the last byte has been written and flushed to disk. A
// failure at any point leaves the old file as it was and removes the
// temporary file.
//
// Where the system offers it (Linux's O_TMPFILE) the temporary file has no
// name while it is written, so a save that is killed leaves nothing behind.
// Elsewhere it gets a short name of our own; such files left by a killed save
// are removed by the next save in the same folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace ZavorPlatform {

class AtomicFile {
public:
    enum class Temporary {
        Unnamed,  // without a name where the file system allows it, else named
        Named,    // always named, as on a file system without unnamed files
    };

    // Examines the target and creates the temporary file beside the file
    // that will be replaced. Throws std::system_error for a refused target
    // (a folder, a device or anything else that is no regular file, a link
    // that leads nowhere, a write-protected file) and when the folder does
    // not exist or cannot be written.
    explicit AtomicFile(const std::filesystem::path &target, Temporary temporary = Temporary::Unnamed);
    // Without a successful Commit the temporary file is removed and the
    // target stays untouched.
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // Throws std::system_error on a write error (disk full ...).
    void Write(std::span<const std::uint8_t> bytes);
    // Gives the content the old file's permissions (on Linux its permission
    // bits and, as far as the system lets the caller, its owner and group),
    // flushes it to disk and puts it in the target's place. Afterwards no
    // further writes are accepted. Throws std::system_error, in which case
    // the target keeps its old content and the temporary file is gone.
    void Commit();

    // The file that receives the content: the target, or where its links lead.
    const std::filesystem::path &Target() const;

private:
    // Each system keeps its own handles, names and buffer here.
    class Writer;
    std::unique_ptr<Writer> writer_;
};

// Writes `bytes` as the new content of `target` through an AtomicFile.
void WriteFileAtomically(const std::filesystem::path &target, std::span<const std::uint8_t> bytes);

}  // namespace ZavorPlatform
