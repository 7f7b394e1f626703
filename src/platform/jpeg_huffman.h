// The Huffman coding of JPEG scans, shared by DCT and lossless scans:
// the tables of DHT segments and the bits of an entropy-coded segment.
// Every read is bounds-checked; bits the file lacks end in ImageError
// Damaged ("JPEG: the coded data ends early").
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ZavorPlatform::ImageFormats {

// The entropy-coded bytes of a scan: byte stuffing undone, fill bytes
// skipped, and stopped at the next marker. Bits asked for beyond it are
// data the file lacks.
class JpegScanBits {
public:
    JpegScanBits(std::span<const std::uint8_t> bytes, std::size_t at) : bytes_(bytes), at_(at) {}

    // The next 16 bits, zeros past the end of the data.
    unsigned Peek16();
    void Skip(int count);
    unsigned Read(int count);
    // Drops the bits that pad the interval and steps over its restart marker.
    void Restart(int number);
    // The offset of the marker that ends the scan.
    std::size_t End();

private:
    void Fill();
    int NextByte();

    std::span<const std::uint8_t> bytes_;
    std::size_t at_;
    std::uint64_t buffer_ = 0;  // the low bits_ bits are unread
    int bits_ = 0;
    bool ended_ = false;
};

// One Huffman table: the symbols by code.
struct JpegHuffmanTable {
    bool defined = false;
    std::array<int, 17> maxCode{};  // by length; -1 when no code has it
    std::array<int, 17> first{};    // index into `values` of the first code of a length
    std::array<int, 17> minCode{};
    std::vector<std::uint8_t> values;

    int Decode(JpegScanBits &bits) const;
};

// The tables of both classes: DC (and lossless) ones, and AC ones.
struct JpegHuffmanTables {
    std::array<JpegHuffmanTable, 4> dc, ac;

    // Takes in a DHT segment (several tables may share one).
    void Read(std::span<const std::uint8_t> segment);
};

// The value of the `size` bits that follow a size category (1 to 16; 0
// reads nothing).
int ReadExtended(JpegScanBits &bits, int size);

}  // namespace ZavorPlatform::ImageFormats
