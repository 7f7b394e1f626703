// The scans of lossless frames inside a hierarchical file: the first frame
// of a component (each sample predicted from its neighbours) and
// differential frames (no prediction: each difference is added to the
// expanded picture so far). The differences come from a decoder that can
// be swapped, as the blocks of DCT scans do. Every read is bounds-checked;
// a cut scan ends in ImageError Damaged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/jpeg_dct_scan.h"

namespace ZavorPlatform::ImageFormats {

struct LosslessScan {
    std::vector<std::size_t> components;  // into the frame's
    std::vector<int> tables;
    int predictor = 0;  // 0 in differential frames
    int pointTransform = 0;
};

LosslessScan ReadLosslessScan(std::span<const std::uint8_t> segment, DctFrame &frame);

// The differences of one lossless scan.
class LosslessDifferenceDecoder {
public:
    virtual ~LosslessDifferenceDecoder() = default;
    // The difference of the next sample of scan component `index`, from
    // -32768 to 32768. `left` and `above` are the differences decoded next
    // to it (0 at the start of a row, and in the first row of the scan or
    // of a restart interval), which arithmetic coding conditions on.
    virtual int Decode(std::size_t index, int left, int above) = 0;
    virtual void Restart(int number) = 0;
    virtual std::size_t End() = 0;
};

class HuffmanDifferenceDecoder : public LosslessDifferenceDecoder {
public:
    HuffmanDifferenceDecoder(std::span<const std::uint8_t> bytes, std::size_t at, const LosslessScan &scan,
                             const JpegTables &tables);
    int Decode(std::size_t index, int left, int above) override;
    void Restart(int number) override { bits_.Restart(number); }
    std::size_t End() override { return bits_.End(); }

private:
    JpegScanBits bits_;
    std::vector<const JpegHuffmanTable *> tables_;
};

// Decodes one scan into `planes` (by frame component, width times height
// of each, top row first): samples as coded for a first frame, differences
// for a differential one, each shifted left by the point transform.
// Returns the offset of the marker after the scan.
std::size_t DecodeLosslessScan(const DctFrame &frame, const LosslessScan &scan, int restartInterval,
                               LosslessDifferenceDecoder &decoder, std::vector<std::vector<int>> &planes);

}  // namespace ZavorPlatform::ImageFormats
