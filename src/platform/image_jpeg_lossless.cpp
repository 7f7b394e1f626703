// Lossless JPEG, Huffman-coded (SOF3) or arithmetic-coded (SOF11), which
// libjpeg 2.1 cannot read and PDF readers need not decode. Medical and
// scanning software writes it. The samples are decoded here into rows, so
// the picture is placed like any other bitmap (Flate, which keeps it
// exact); samples of more than 8 bits are scaled to 8, and subsampled
// components are brought to the full size by repeating their samples. Four
// components (CMYK), which our bitmaps cannot hold, are written again as a
// baseline JPEG of the highest quality. One frame is read; restart
// intervals must hold whole rows of MCUs. Every read is bounds-checked, and
// a file whose coded data ends early is refused, since a viewer would show
// invented rows.
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/image_formats.h"
#include "platform/jpeg_lossless_scan.h"
#include "platform/jpeg_markers.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "JPEG";

// The frame header, and what the scans have decoded of it.
struct Frame : LosslessFrame {
    std::vector<bool> decoded;
    std::vector<int> pointTransforms;  // of the scan that decoded each component
};

Frame ReadFrame(std::span<const std::uint8_t> segment) {
    if (segment.size() < 6) Damaged(kFormat, "the frame header is cut short");
    Frame frame;
    frame.precision = segment[0];
    frame.height = segment[1] << 8 | segment[2];
    frame.width = segment[3] << 8 | segment[4];
    std::size_t count = segment[5];
    if (frame.precision < 2 || frame.precision > 16)
        Damaged(kFormat, "a sample precision of " + std::to_string(frame.precision) + " bits is invalid");
    if (count == 0 || count > 4 || segment.size() < 6 + 3 * count) Damaged(kFormat, "the frame header is invalid");
    if (count == 2) Unsupported(kFormat, "lossless coding with 2 components is not supported");
    for (std::size_t n = 0; n < count; ++n) {
        const std::uint8_t *c = &segment[6 + 3 * n];
        const int h = c[1] >> 4, v = c[1] & 15;
        if (h < 1 || h > 4 || v < 1 || v > 4) Damaged(kFormat, "the frame header is invalid");
        for (const LosslessComponent &other : frame.components)
            if (other.id == c[0]) Damaged(kFormat, "the frame header is invalid");
        frame.components.push_back({c[0], h, v});
    }
    frame.decoded.assign(count, false);
    frame.pointTransforms.assign(count, 0);
    CheckDimensions(frame.width, frame.height, kFormat);
    return frame;
}

// Every level from 0 to `maximum` scaled to 8 bits, rounded.
std::vector<std::uint8_t> EightBitLevels(int maximum) {
    std::vector<std::uint8_t> levels(static_cast<std::size_t>(maximum) + 1);
    for (int v = 0; v <= maximum; ++v)
        levels[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>((v * 255 + maximum / 2) / maximum);
    return levels;
}

// The planes into the rows of `image`, scaled to 8 bits, each component
// upsampled to the full size by repeating its samples.
void FillRows(const Frame &frame, std::vector<LosslessPlane> &planes, DecodedImage &image) {
    const int maximum = (1 << frame.precision) - 1;
    const std::vector<std::uint8_t> eightBits = EightBitLevels(maximum);
    const int hmax = frame.HMax(), vmax = frame.VMax();
    // Where each component's byte lies in a pixel: grey, blue-green-red, or
    // four in the file's order.
    const int step = static_cast<int>(frame.components.size());
    for (std::size_t n = 0; n < frame.components.size(); ++n) {
        const LosslessComponent &c = frame.components[n];
        const int offset = step == 3 ? 2 - static_cast<int>(n) : static_cast<int>(n), shift = frame.pointTransforms[n];
        std::vector<int> columns(static_cast<std::size_t>(frame.width));
        for (int x = 0; x < frame.width; ++x) columns[static_cast<std::size_t>(x)] = x * c.h / hmax;
        for (int y = 0; y < frame.height; ++y) {
            std::uint8_t *out = RowFromTop(image, y) + offset;
            const int row = y * c.v / vmax;
            for (int x = 0; x < frame.width; ++x) {
                const int value = planes[n].At(columns[static_cast<std::size_t>(x)], row);
                out[x * step] = eightBits[static_cast<std::size_t>(std::min(value << shift, maximum))];
            }
        }
    }
}

// The file segment by segment; the rows are allocated with the frame.
class LosslessFile {
public:
    explicit LosslessFile(std::span<const std::uint8_t> bytes) : segments_(bytes) {}

    DecodedImage Read() {
        for (;;) {
            std::span<const std::uint8_t> segment;
            const std::uint8_t marker = segments_.Next(segment);
            if (marker == 0xD9) return Finish();
            OnSegment(marker, segment);
        }
    }

private:
    void OnSegment(std::uint8_t marker, std::span<const std::uint8_t> segment) {
        switch (marker) {
        case 0xC4: coding_.huffman.Read(segment); break;
        case 0xCC: ReadArithmeticConditioning(segment, coding_.conditioning); break;
        case 0xDD:
            if (segment.size() != 2) Damaged(kFormat, "the restart interval is invalid");
            restartInterval_ = segment[0] << 8 | segment[1];
            break;
        case 0xE0:
        case 0xEE: markers_.Read(marker, segment); break;
        case 0xC3: OnFrame(segment, false); break;
        case 0xCB: OnFrame(segment, true); break;
        case 0xDA: {
            if (frame_.components.empty()) Damaged(kFormat, "a scan comes before the frame");
            const LosslessScan scan =
                ReadLosslessScan(segment, frame_, coding_, LosslessPrediction::Predicted, frame_.decoded);
            for (std::size_t index : scan.components) frame_.pointTransforms[index] = scan.pointTransform;
            segments_.MoveTo(DecodeLosslessScan(segments_.Bytes(), segments_.Position(), frame_, scan, coding_,
                                                restartInterval_, LosslessPrediction::Predicted, planes_));
            break;
        }
        default:
            if ((marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) ||
                marker == 0xDE)
                Damaged(kFormat, "the file holds more than one frame");
            break;  // tables of other processes, comments, application data
        }
    }

    void OnFrame(std::span<const std::uint8_t> segment, bool arithmetic) {
        if (!frame_.components.empty()) Damaged(kFormat, "the file holds more than one frame");
        frame_ = ReadFrame(segment);
        coding_.arithmetic = arithmetic;
        CheckCodedSize(frame_.SampleCount(), 1, segments_.Remaining(), arithmetic);
        planes_ = LosslessPlanes(frame_);
    }

    DecodedImage Finish() {
        if (frame_.components.empty()) Damaged(kFormat, "the file holds no frame");
        for (bool decoded : frame_.decoded)
            if (!decoded) Damaged(kFormat, "a scan is missing");
        // Four components are held in rows of four bytes a pixel until the end.
        const std::size_t count = frame_.components.size();
        image_ = MakeBitmap(frame_.width, frame_.height,
                            count == 1   ? ImagePixelFormat::Indexed8
                            : count == 3 ? ImagePixelFormat::Rgb24
                                         : ImagePixelFormat::Rgb32);
        FillRows(frame_, planes_, image_);
        planes_.clear();
        if (frame_.components.size() == 1) SetGreyRamp(image_, 256);
        else if (frame_.components.size() == 4) ToFourComponentJpeg();
        else if (markers_.YCbCr()) ConvertYCbCr(image_);
        image_.format = ImageFileFormat::Jpeg;
        markers_.SetResolution(image_);
        return std::move(image_);
    }

    // PDF images hold CMYK rows, but our bitmaps do not: the samples go into
    // a baseline JPEG, the one way such a picture is placed.
    void ToFourComponentJpeg() {
        image_.jpegColorSpace = markers_.FourComponentSpace();
        image_.jpegData = EncodeFourComponentJpeg(image_.pixels, image_.width, image_.height, image_.jpegColorSpace);
        image_.pixels.clear();
        image_.pixels.shrink_to_fit();
        image_.pixelFormat = ImagePixelFormat::Rgb24;
    }

    JpegSegments segments_;
    LosslessCoding coding_;
    int restartInterval_ = 0;
    JpegColourMarkers markers_;
    Frame frame_;
    std::vector<LosslessPlane> planes_;
    DecodedImage image_;
};

}  // namespace

DecodedImage DecodeLosslessJpeg(std::span<const std::uint8_t> bytes) { return LosslessFile(bytes).Read(); }

}  // namespace ZavorPlatform::ImageFormats
