// Big-endian reading inside a font file image. Every read is checked
// against the end of the image, so that a damaged file can only end in an
// exception, never in a read beyond the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "pdf/errors.h"

namespace ZavorPdf::Fonts::OpenType {

class FontReader {
public:
    explicit FontReader(std::span<const std::uint8_t> bytes, std::size_t position = 0) : bytes_(bytes) {
        Seek(position);
    }

    std::size_t Position() const { return position_; }
    std::size_t Size() const { return bytes_.size(); }
    void Seek(std::size_t position) {
        if (position > bytes_.size()) Fail();
        position_ = position;
    }
    void Skip(std::size_t count) { Seek(Require(count) + count); }

    std::uint8_t ReadByte() { return bytes_[Require(1)]; }
    std::uint16_t ReadUShort() {
        std::size_t at = Require(2);
        position_ += 2;
        return static_cast<std::uint16_t>((bytes_[at] << 8) | bytes_[at + 1]);
    }
    std::int16_t ReadShort() { return static_cast<std::int16_t>(ReadUShort()); }
    std::uint32_t ReadULong() {
        std::uint32_t high = ReadUShort();
        return (high << 16) | ReadUShort();
    }
    std::int32_t ReadLong() { return static_cast<std::int32_t>(ReadULong()); }
    std::int64_t ReadLongDateTime() {
        std::uint64_t high = ReadULong();
        return static_cast<std::int64_t>((high << 32) | ReadULong());
    }
    std::string ReadTag() {
        std::size_t at = Require(4);
        position_ += 4;
        return std::string(reinterpret_cast<const char *>(bytes_.data() + at), 4);
    }

private:
    // The position of the first of `count` bytes that must still be there;
    // a one-byte read also advances here.
    std::size_t Require(std::size_t count) {
        if (count > bytes_.size() - position_) Fail();
        std::size_t at = position_;
        if (count == 1) ++position_;
        return at;
    }
    [[noreturn]] static void Fail() { throw ZavorPdfException("The font data ends inside a table."); }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace ZavorPdf::Fonts::OpenType
