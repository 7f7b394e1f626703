// The coefficients of DCT-based JPEG frames, decoded by our own code for
// the files libjpeg cannot read (hierarchical ones): frame and scan
// headers, the walk over the blocks of a scan, restart intervals, and the
// Huffman decoding of sequential and progressive scans. The walk asks a
// DctBlockDecoder for each block, so that other entropy coders plug into
// the same walk. Every read is bounds-checked; a scan that is cut or
// corrupt ends in ImageError Damaged, never in blocks of zeros.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/image_formats.h"
#include "platform/jpeg_arithmetic.h"
#include "platform/jpeg_huffman.h"
#include "platform/jpeg_markers.h"

namespace ZavorPlatform::ImageFormats {

// The natural (row by row) position of the k-th coefficient in coding order.
inline constexpr std::array<std::uint8_t, 64> kZigzag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The tables and the restart interval in force, as the segments before a
// scan leave them.
struct JpegTables {
    JpegHuffmanTables huffman;
    ArithmeticConditioning conditioning;
    std::array<std::array<std::uint16_t, 64>, 4> quantization{};  // natural order
    std::array<bool, 4> quantizationDefined{};
    int restartInterval = 0;

    // Takes in a DHT, DAC, DQT or DRI segment; false for any other marker.
    bool Read(std::uint8_t marker, std::span<const std::uint8_t> segment);
};

struct DctComponent {
    int id = 0;
    int h = 1, v = 1;  // sampling factors
    int tq = 0;        // quantization table
    int width = 0, height = 0;            // samples
    int blocksWide = 0, blocksHigh = 0;   // the blocks that cover the samples
    int storedWide = 0, storedHigh = 0;   // those of whole MCUs
    std::vector<std::int16_t> coefficients;  // 64 a block, natural order
    // The table latched at the component's first scan.
    std::array<std::uint16_t, 64> quantization{};
    bool latched = false;
    bool scanned = false;  // by a sequential scan
    // For progressive frames, the point transform each coefficient was last
    // coded with; -1 until its first scan.
    std::array<int, 64> successive{};

    std::int16_t *Block(int x, int y) {
        return coefficients.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(storedWide) +
                                      static_cast<std::size_t>(x)) * 64;
    }
};

enum class DctCoding { Sequential, Progressive };
enum class EntropyCoding { Huffman, Arithmetic };
enum class FrameKind { Plain, Differential };

struct DctFrame {
    int precision = 8;
    int width = 0, height = 0;
    DctCoding coding = DctCoding::Sequential;
    EntropyCoding entropy = EntropyCoding::Huffman;
    FrameKind kind = FrameKind::Plain;
    int hMax = 1, vMax = 1;
    int mcusWide = 0, mcusHigh = 0;
    std::vector<DctComponent> components;
};

// A frame header (the same layout serves DHP) with its components' sizes;
// the coefficients are allocated by AllocateCoefficients, once the caller
// has checked that the file can hold them.
DctFrame ReadFrameHeader(std::span<const std::uint8_t> segment);
// Refuses frames whose blocks the rest of the file (`remaining` bytes)
// cannot code (CheckCodedSize) before allocating them.
void AllocateCoefficients(DctFrame &frame, std::size_t remaining);

struct DctScan {
    std::vector<std::size_t> components;  // into the frame's
    std::vector<int> dcTable, acTable;
    int ss = 0, se = 63, ah = 0, al = 0;
};

DctScan ReadDctScan(std::span<const std::uint8_t> segment, DctFrame &frame, const JpegTables &tables);

// The entropy decoding of one block of a scan into its coefficients
// (natural order; progressive scans add to what earlier scans left).
class DctBlockDecoder {
public:
    virtual ~DctBlockDecoder() = default;
    // `index` is the block's component among the scan's.
    virtual void DecodeBlock(std::size_t index, std::int16_t *block) = 0;
    // Ends a restart interval; `number` is that of the marker, 0 to 7.
    virtual void Restart(int number) = 0;
    // The offset of the marker after the scan's data.
    virtual std::size_t End() = 0;
};

class HuffmanDctDecoder : public DctBlockDecoder {
public:
    HuffmanDctDecoder(std::span<const std::uint8_t> bytes, std::size_t at, const DctFrame &frame,
                      const DctScan &scan, const JpegTables &tables);
    void DecodeBlock(std::size_t index, std::int16_t *block) override;
    void Restart(int number) override;
    std::size_t End() override { return bits_.End(); }

private:
    int Extend(int size);
    void DcFirst(std::size_t index, std::int16_t *block);
    void AcFirst(std::size_t index, std::int16_t *block);
    void AcRefine(std::size_t index, std::int16_t *block);

    JpegScanBits bits_;
    const DctScan &scan_;
    bool differential_;
    std::vector<const JpegHuffmanTable *> dc_, ac_;
    std::vector<int> predictions_;
    int eobRun_ = 0;
};

class ArithmeticDctDecoder : public DctBlockDecoder {
public:
    ArithmeticDctDecoder(std::span<const std::uint8_t> bytes, std::size_t at, const DctFrame &frame,
                         const DctScan &scan, const JpegTables &tables);
    void DecodeBlock(std::size_t index, std::int16_t *block) override;
    void Restart(int number) override;
    std::size_t End() override;

private:
    JpegArithmeticDecoder decoder_;
    ArithmeticDctScan statistics_;
};

// The entropy decoder the frame's coding calls for.
std::unique_ptr<DctBlockDecoder> MakeDctBlockDecoder(std::span<const std::uint8_t> bytes, std::size_t at,
                                                     const DctFrame &frame, const DctScan &scan,
                                                     const JpegTables &tables);

// Walks the scan's blocks MCU by MCU (or block by block when it holds one
// component) with its restart intervals; returns the offset of the marker
// after it.
std::size_t DecodeDctScan(DctFrame &frame, const DctScan &scan, int restartInterval, DctBlockDecoder &decoder);

// Latches the quantization tables of the scan's components that have none.
void LatchQuantization(DctFrame &frame, const DctScan &scan, const JpegTables &tables);

// The samples of a component, width times height, top row first: the
// inverse transform of its dequantized blocks, level-shifted and clamped
// to the precision for plain frames, as signed differences for
// differential ones.
std::vector<int> ComponentSamples(const DctComponent &component, int precision, FrameKind kind);

}  // namespace ZavorPlatform::ImageFormats
