// The scans of a lossless JPEG frame, Huffman- or arithmetic-coded, decoded
// into one plane of samples per component. Kept apart from the file's
// marker walk so that the frames of a hierarchical file, whose differential
// frames code corrections of a reference instead of samples, decode through
// the same loop. Every malformed input ends in ImageError Damaged
// ("JPEG: ...").
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/jpeg_arithmetic.h"
#include "platform/jpeg_huffman.h"

namespace ZavorPlatform::ImageFormats {

// What the scans of a frame draw on: Huffman tables, or in an
// arithmetic-coded frame (SOF11, SOF15) the conditioning from DAC segments.
struct LosslessCoding {
    bool arithmetic = false;
    JpegHuffmanTables huffman;  // lossless scans use the DC class
    ArithmeticConditioning conditioning;
};

struct LosslessComponent {
    int id = 0;
    int h = 1, v = 1;  // sampling factors, 1 to 4
};

struct LosslessFrame {
    int precision = 8;  // 2 to 16
    int width = 0, height = 0;
    std::vector<LosslessComponent> components;

    // The largest sampling factors.
    int HMax() const;
    int VMax() const;
    // The samples of all components, each the frame's size scaled by its
    // sampling. Every one takes at least one bit of Huffman codes.
    std::uint64_t SampleCount() const;
};

struct LosslessScan {
    std::vector<std::size_t> components;  // into the frame's, in the scan's order
    std::vector<int> tables;              // the table slot of each, 0 to 3
    int predictor = 1;                    // 1 to 7
    int pointTransform = 0;
};

// One component's samples: `width` x `height` of them (the frame's size
// scaled by the component's sampling), in rows of `stride`, allocated to
// whole MCUs of an interleaved scan. Values are modulo 2^16, as coded: the
// point transform is not undone.
struct LosslessPlane {
    int width = 0, height = 0;
    int stride = 0, rows = 0;
    std::vector<std::uint16_t> samples;

    std::uint16_t &At(int x, int y) {
        return samples[static_cast<std::size_t>(y) * static_cast<std::size_t>(stride) + static_cast<std::size_t>(x)];
    }
};

// A plane for every component of the frame, filled with zeros.
std::vector<LosslessPlane> LosslessPlanes(const LosslessFrame &frame);

// In a differential frame each value is a correction of the upsampled
// reference and is coded without prediction: the plane receives the
// difference itself (modulo 2^16), which the caller adds to the reference.
enum class LosslessPrediction { Predicted, Differential };

// Reads a scan header (the bytes after its length) of `frame`. `decoded`
// holds, by frame component, whether an earlier scan decoded it; the scan's
// components are marked there. Frames that predict need a predictor from 1
// to 7, differential ones predictor 0.
LosslessScan ReadLosslessScan(std::span<const std::uint8_t> segment, const LosslessFrame &frame,
                              const LosslessCoding &coding, LosslessPrediction prediction,
                              std::vector<bool> &decoded);

// Decodes the scan whose coded data starts at `at` into `planes` (from
// LosslessPlanes) and returns the offset of the marker after it.
// `restartInterval` is in MCUs (0: none); intervals that end inside an MCU
// row are refused (Unsupported), since a row's prediction depends on whether
// it is the first of an interval. Coded data that ends early is refused.
std::size_t DecodeLosslessScan(std::span<const std::uint8_t> bytes, std::size_t at, const LosslessFrame &frame,
                               const LosslessScan &scan, const LosslessCoding &coding, int restartInterval,
                               LosslessPrediction prediction, std::vector<LosslessPlane> &planes);

}  // namespace ZavorPlatform::ImageFormats
