#include "platform/jpeg_huffman.h"

#include "platform/image_formats.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "JPEG";

}  // namespace

unsigned JpegScanBits::Peek16() {
    Fill();
    if (bits_ >= 16) return static_cast<unsigned>(buffer_ >> (bits_ - 16)) & 0xFFFF;
    return static_cast<unsigned>(buffer_ << (16 - bits_)) & 0xFFFF;
}

void JpegScanBits::Skip(int count) {
    if (count > bits_) Damaged(kFormat, "the coded data ends early");
    bits_ -= count;
    buffer_ &= (std::uint64_t{1} << bits_) - 1;
}

unsigned JpegScanBits::Read(int count) {
    if (count == 0) return 0;
    unsigned value = Peek16() >> (16 - count);
    Skip(count);
    return value;
}

void JpegScanBits::Restart(int number) {
    buffer_ = 0;
    bits_ = 0;
    while (NextByte() >= 0) {}  // data the interval did not need
    while (at_ + 1 < bytes_.size() && bytes_[at_] == 0xFF && bytes_[at_ + 1] == 0xFF) ++at_;
    if (at_ + 1 >= bytes_.size() || bytes_[at_] != 0xFF || bytes_[at_ + 1] != 0xD0 + number)
        Damaged(kFormat, "a restart marker is missing");
    at_ += 2;
    ended_ = false;
}

std::size_t JpegScanBits::End() {
    while (NextByte() >= 0) {}
    return at_;
}

void JpegScanBits::Fill() {
    while (bits_ <= 48 && !ended_) {
        int byte = NextByte();
        if (byte < 0) {
            ended_ = true;
            break;
        }
        buffer_ = buffer_ << 8 | static_cast<unsigned>(byte);
        bits_ += 8;
    }
}

int JpegScanBits::NextByte() {
    while (at_ < bytes_.size()) {
        std::uint8_t byte = bytes_[at_];
        if (byte != 0xFF) {
            ++at_;
            return byte;
        }
        if (at_ + 1 >= bytes_.size()) return -1;
        if (bytes_[at_ + 1] == 0x00) {
            at_ += 2;
            return 0xFF;
        }
        if (bytes_[at_ + 1] != 0xFF) return -1;  // a marker
        ++at_;                                    // a fill byte before one
    }
    return -1;
}

int JpegHuffmanTable::Decode(JpegScanBits &bits) const {
    unsigned peeked = bits.Peek16();
    for (int length = 1; length <= 16; ++length) {
        int code = static_cast<int>(peeked >> (16 - length));
        if (code <= maxCode[length]) {
            bits.Skip(length);
            return values[static_cast<std::size_t>(first[length] + code - minCode[length])];
        }
    }
    Damaged(kFormat, "the coded data holds an invalid Huffman code");
}

void JpegHuffmanTables::Read(std::span<const std::uint8_t> segment) {
    std::size_t at = 0;
    while (at < segment.size()) {
        if (segment.size() - at < 17) Damaged(kFormat, "a Huffman table is cut short");
        int kind = segment[at] >> 4, slot = segment[at] & 15;
        if (kind > 1 || slot > 3) Damaged(kFormat, "a Huffman table is invalid");
        std::size_t count = 0;
        for (int n = 1; n <= 16; ++n) count += segment[at + static_cast<std::size_t>(n)];
        if (count > 256 || segment.size() - at - 17 < count) Damaged(kFormat, "a Huffman table is invalid");
        JpegHuffmanTable table;
        table.defined = true;
        table.values.assign(segment.begin() + static_cast<long>(at + 17),
                            segment.begin() + static_cast<long>(at + 17 + count));
        int code = 0, index = 0;
        for (int length = 1; length <= 16; ++length) {
            int codes = segment[at + static_cast<std::size_t>(length)];
            table.first[length] = index;
            table.minCode[length] = code;
            table.maxCode[length] = codes == 0 ? -1 : code + codes - 1;
            code += codes;
            index += codes;
            // More codes of a length than its bits can tell apart.
            if (code > (1 << length)) Damaged(kFormat, "a Huffman table is invalid");
            code <<= 1;
        }
        (kind == 0 ? dc : ac)[static_cast<std::size_t>(slot)] = std::move(table);
        at += 17 + count;
    }
}

int ReadExtended(JpegScanBits &bits, int size) {
    if (size == 0) return 0;
    const int value = static_cast<int>(bits.Read(size));
    return value < 1 << (size - 1) ? value - (1 << size) + 1 : value;
}

}  // namespace ZavorPlatform::ImageFormats
