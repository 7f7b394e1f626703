// A file's bytes mapped into memory to be read only, so that a large file
// is neither copied nor read in full when only parts of it are used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace ZavorPlatform {

class FileMapping {
public:
    // Null when the file cannot be mapped (it does not open, is empty, is
    // not a regular file or is larger than the address space allows); the
    // caller then reads it the ordinary way.
    static std::unique_ptr<FileMapping> Map(const std::filesystem::path &path);
    // Whether other programs, and this one, may still shorten, rewrite or
    // replace a file while it is mapped. Where they may not, a mapping kept
    // between a script's operations would keep the script from saving over
    // a file it has read.
    static bool LeavesFileWritable();

    ~FileMapping();
    FileMapping(const FileMapping &) = delete;
    FileMapping &operator=(const FileMapping &) = delete;

    std::span<const std::uint8_t> Bytes() const { return {data_, size_}; }

    // Whether the file lost bytes under the mapping since it was mapped
    // (another program shortened it). Those bytes read as zeros instead of
    // stopping the process; what was read from them is not to be trusted.
    bool Shortened() const;

private:
    FileMapping(const std::uint8_t *data, std::size_t size, int slot);

    const std::uint8_t *data_;
    std::size_t size_;
    int slot_;  // the system's bookkeeping for the mapping, -1 when none
};

}  // namespace ZavorPlatform
