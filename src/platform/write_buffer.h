// Callers write a file in many small pieces; gathering them costs one
// system call per 64 KiB instead of one per piece.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ZavorPlatform {

class WriteBuffer {
public:
    static constexpr std::size_t kSize = 64 * 1024;

    WriteBuffer() { bytes_.reserve(kSize); }

    // `writeAll(data, size)` writes to the file; a piece as large as the
    // buffer goes straight through.
    template <class WriteAll>
    void Add(std::span<const std::uint8_t> bytes, WriteAll &&writeAll) {
        if (bytes_.size() + bytes.size() <= kSize) {
            bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
            return;
        }
        Flush(writeAll);
        if (bytes.size() < kSize)
            bytes_.assign(bytes.begin(), bytes.end());
        else
            writeAll(bytes.data(), bytes.size());
    }

    template <class WriteAll>
    void Flush(WriteAll &&writeAll) {
        writeAll(bytes_.data(), bytes_.size());
        bytes_.clear();
    }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace ZavorPlatform
