// Hierarchical JPEG, which libjpeg cannot read: a first frame of each
// component at a low resolution, then differential frames that each add
// their decoded differences to the picture so far, optionally doubled in
// width or height first. Our own code decodes every frame to samples. A
// picture whose last frames are DCT-coded is written again as a baseline
// JPEG of the highest quality, since PDF readers need decode only
// sequential and progressive Huffman-coded frames and the DCT coding has
// already lost what it loses; one whose last frames are lossless is
// placed as exact samples, as the lossless reader places its pictures.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/image_formats.h"
#include "platform/jpeg_dct_scan.h"
#include "platform/jpeg_lossless_scan.h"
#include "platform/jpeg_markers.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "JPEG";

// The samples of all frames together, as a multiple of the picture's. A
// pyramid that halves the size at each step adds up to less than twice the
// picture, and a refinement at the full size adds one more. Differential
// frames of arithmetic-coded zeros take a few bytes each whatever their
// size, so without a bound a small file could keep the decoder busy for
// hours.
constexpr std::uint64_t kMostFrameSamples = 8;

std::uint64_t SamplesOf(const DctFrame &frame) {
    std::uint64_t samples = 0;
    for (const DctComponent &c : frame.components)
        samples += static_cast<std::uint64_t>(c.width) * static_cast<std::uint64_t>(c.height);
    return samples;
}

// One component of the picture as the frames so far have made it.
struct Plane {
    int width = 0, height = 0;
    std::vector<int> samples;  // top row first
    bool lossless = false;     // made by a lossless frame

    bool Empty() const { return samples.empty(); }
    int At(int x, int y) const {
        return samples[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
};

// Doubles the plane's width and/or height: every new sample between two
// old ones is their mean rounded down, and one beyond the last old sample
// repeats it. Horizontally first, then vertically.
Plane Expand(const Plane &in, bool wide, bool high) {
    Plane out;
    out.width = wide ? in.width * 2 : in.width;
    out.height = high ? in.height * 2 : in.height;
    out.samples.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
    std::vector<int> row(static_cast<std::size_t>(out.width));
    std::vector<int> previous;
    for (int y = 0; y < in.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const int left = wide ? x / 2 : x;
            const int right = std::min(left + 1, in.width - 1);
            row[static_cast<std::size_t>(x)] =
                wide && x % 2 == 1 ? (in.At(left, y) + in.At(right, y)) >> 1 : in.At(left, y);
        }
        auto put = [&](int outY, const std::vector<int> &values) {
            std::copy(values.begin(), values.end(),
                      out.samples.begin() + static_cast<long>(outY) * out.width);
        };
        if (!high) {
            put(y, row);
            continue;
        }
        put(2 * y, row);
        if (y > 0) {
            for (std::size_t x = 0; x < row.size(); ++x) previous[x] = (previous[x] + row[x]) >> 1;
            put(2 * y - 1, previous);
        }
        previous = row;
        if (y == in.height - 1) put(2 * y + 1, row);
    }
    return out;
}

LosslessFrame LosslessFrameOf(const DctFrame &frame) {
    LosslessFrame out;
    out.precision = frame.precision;
    out.width = frame.width;
    out.height = frame.height;
    for (const DctComponent &c : frame.components) out.components.push_back({c.id, c.h, c.v});
    return out;
}

class HierarchicalFile {
public:
    explicit HierarchicalFile(std::span<const std::uint8_t> bytes) : segments_(bytes) {}

    DecodedImage Read() {
        for (;;) {
            std::span<const std::uint8_t> segment;
            const std::uint8_t marker = segments_.Next(segment);
            if (marker == 0xD9) return Finish();
            if (!tables_.Read(marker, segment)) OnSegment(marker, segment);
        }
    }

private:
    void OnSegment(std::uint8_t marker, std::span<const std::uint8_t> segment) {
        switch (marker) {
        case 0xDE: OnHierarchy(segment); break;
        case 0xDF:
            if (segment.size() != 1 || (segment[0] & 0xEE) != 0) Damaged(kFormat, "an expansion segment is invalid");
            expandWide_ = segment[0] >> 4 != 0;
            expandHigh_ = (segment[0] & 15) != 0;
            break;
        case 0xDA: OnScan(segment); break;
        case 0xE0:
        case 0xEE: markers_.Read(marker, segment); break;
        default:
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
                OnFrame(marker, segment);
            break;  // comments, application data, conditioning of other coders
        }
    }

    void OnHierarchy(std::span<const std::uint8_t> segment) {
        if (hierarchy_) Damaged(kFormat, "the file holds more than one hierarchy");
        hierarchy_ = ReadFrameHeader(segment);
        if (hierarchy_->precision < 2 || hierarchy_->precision > 16)
            Damaged(kFormat, "a sample precision of " + std::to_string(hierarchy_->precision) + " bits is invalid");
        if (hierarchy_->components.size() == 2) Unsupported(kFormat, "hierarchical coding with 2 components is not supported");
        planes_.assign(hierarchy_->components.size(), Plane{});
    }

    void OnFrame(std::uint8_t marker, std::span<const std::uint8_t> segment) {
        if (!hierarchy_) Damaged(kFormat, "a frame comes before the hierarchy header");
        FinishFrame();
        const bool differential = (marker >= 0xC5 && marker <= 0xC7) || marker >= 0xCD;
        const int process = marker & 3;  // 0 and 1 sequential, 2 progressive, 3 lossless
        const bool arithmetic = marker >= 0xC8;
        DctFrame frame = ReadFrameHeader(segment);
        frameSamples_ += SamplesOf(frame);
        if (frameSamples_ > kMostFrameSamples * SamplesOf(*hierarchy_))
            Unsupported(kFormat, "frames that add up to more than 8 times the picture are not supported");
        frame.coding = process == 2 ? DctCoding::Progressive : DctCoding::Sequential;
        frame.kind = differential ? FrameKind::Differential : FrameKind::Plain;
        frame.entropy = arithmetic ? EntropyCoding::Arithmetic : EntropyCoding::Huffman;
        lossless_ = process == 3;
        if (frame.precision != hierarchy_->precision || (!lossless_ && frame.precision != 8 && frame.precision != 12))
            Damaged(kFormat, "a frame's sample precision is invalid");
        for (const DctComponent &c : frame.components) {
            Plane &plane = PlaneOf(c.id);
            if (!differential && !plane.Empty()) Damaged(kFormat, "a component has a second first frame");
            if (differential && plane.Empty()) Damaged(kFormat, "a differential frame has no frame before it");
            if (differential && (expandWide_ || expandHigh_)) plane = Expand(plane, expandWide_, expandHigh_);
            if (differential && (plane.width < c.width || plane.height < c.height))
                Damaged(kFormat, "a differential frame is larger than the frame before it");
        }
        if (!differential && (expandWide_ || expandHigh_)) Damaged(kFormat, "an expansion segment is out of place");
        expandWide_ = expandHigh_ = false;
        if (lossless_) AllocateSamples(frame);
        else AllocateCoefficients(frame, segments_.Remaining());
        frame_ = std::move(frame);
        ++frames_;
    }

    void AllocateSamples(const DctFrame &frame) {
        losslessFrame_ = LosslessFrameOf(frame);
        CheckCodedSize(losslessFrame_.SampleCount(), 1, segments_.Remaining(),
                       frame.entropy == EntropyCoding::Arithmetic);
        losslessPlanes_ = LosslessPlanes(losslessFrame_);
        losslessDecoded_.assign(frame.components.size(), false);
        pointTransforms_.assign(frame.components.size(), 0);
    }

    void OnScan(std::span<const std::uint8_t> segment) {
        if (!frame_) Damaged(kFormat, "a scan comes before the frame");
        if (lossless_) {
            losslessCoding_.arithmetic = frame_->entropy == EntropyCoding::Arithmetic;
            losslessCoding_.huffman = tables_.huffman;
            losslessCoding_.conditioning = tables_.conditioning;
            const LosslessPrediction prediction = frame_->kind == FrameKind::Differential ? LosslessPrediction::Differential
                                                                                          : LosslessPrediction::Predicted;
            const LosslessScan scan =
                ReadLosslessScan(segment, losslessFrame_, losslessCoding_, prediction, losslessDecoded_);
            for (std::size_t c : scan.components) {
                pointTransforms_[c] = scan.pointTransform;
                frame_->components[c].scanned = true;
            }
            segments_.MoveTo(DecodeLosslessScan(segments_.Bytes(), segments_.Position(), losslessFrame_, scan,
                                                losslessCoding_, tables_.restartInterval, prediction, losslessPlanes_));
            return;
        }
        const DctScan scan = ReadDctScan(segment, *frame_, tables_);
        LatchQuantization(*frame_, scan, tables_);
        std::unique_ptr<DctBlockDecoder> decoder =
            MakeDctBlockDecoder(segments_.Bytes(), segments_.Position(), *frame_, scan, tables_);
        segments_.MoveTo(DecodeDctScan(*frame_, scan, tables_.restartInterval, *decoder));
    }

    // The frame's samples into the planes: a first frame's as they are, a
    // differential frame's added to the picture so far.
    void FinishFrame() {
        if (!frame_) return;
        const int maximum = (1 << frame_->precision) - 1;
        for (std::size_t n = 0; n < frame_->components.size(); ++n) {
            const DctComponent &c = frame_->components[n];
            const bool complete = (lossless_ || frame_->coding == DctCoding::Sequential) ? c.scanned : c.successive[0] >= 0;
            if (!complete) Damaged(kFormat, "a scan is missing");
            Plane &plane = PlaneOf(c.id);
            Plane next{c.width, c.height,
                       lossless_ ? LosslessSamples(n) : ComponentSamples(c, frame_->precision, frame_->kind), lossless_};
            if (frame_->kind == FrameKind::Differential)
                for (int y = 0; y < c.height; ++y)
                    for (int x = 0; x < c.width; ++x) {
                        int &sample = next.samples[static_cast<std::size_t>(y) * static_cast<std::size_t>(c.width) +
                                                   static_cast<std::size_t>(x)];
                        // The sum is taken modulo 2^16. Rounding in the DCT
                        // transforms can step a level below black or above
                        // white, which is read as the nearest level rather
                        // than wrapped around; lossless sums are exact.
                        const int sum = (plane.At(x, y) + sample) & 0xFFFF;
                        sample = lossless_ ? sum : sum >= 0x8000 ? 0 : std::min(sum, maximum);
                    }
            plane = std::move(next);
        }
        frame_.reset();
    }

    // A lossless plane's samples (or differences) as values: the point
    // transform undone, modulo 2^16 still.
    std::vector<int> LosslessSamples(std::size_t n) {
        LosslessPlane &plane = losslessPlanes_[n];
        std::vector<int> out;
        out.reserve(static_cast<std::size_t>(plane.width) * static_cast<std::size_t>(plane.height));
        for (int y = 0; y < plane.height; ++y)
            for (int x = 0; x < plane.width; ++x) out.push_back((plane.At(x, y) << pointTransforms_[n]) & 0xFFFF);
        return out;
    }

    Plane &PlaneOf(int id) {
        for (std::size_t n = 0; n < hierarchy_->components.size(); ++n)
            if (hierarchy_->components[n].id == id) return planes_[n];
        Damaged(kFormat, "a frame names a component the hierarchy lacks");
    }

    DecodedImage Finish() {
        if (!hierarchy_ || frames_ == 0) Damaged(kFormat, "the file holds no frame");
        FinishFrame();
        for (std::size_t n = 0; n < planes_.size(); ++n) {
            const DctComponent &c = hierarchy_->components[n];
            if (planes_[n].width != c.width || planes_[n].height != c.height)
                Damaged(kFormat, "a component's last frame is not of the picture's size");
        }
        return Placed();
    }

    // The picture's samples, 8 bits each, interleaved, top row first, with
    // subsampled components repeated to the full size.
    std::vector<std::uint8_t> EightBitSamples() const {
        const int width = hierarchy_->width, height = hierarchy_->height, count = static_cast<int>(planes_.size());
        const int maximum = (1 << hierarchy_->precision) - 1;
        std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                                      static_cast<std::size_t>(count));
        std::size_t at = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int n = 0; n < count; ++n) {
                    const DctComponent &c = hierarchy_->components[static_cast<std::size_t>(n)];
                    const Plane &plane = planes_[static_cast<std::size_t>(n)];
                    const int value =
                        std::min(plane.At(x * c.h / hierarchy_->hMax, y * c.v / hierarchy_->vMax), maximum);
                    out[at++] = static_cast<std::uint8_t>((value * 255 + maximum / 2) / maximum);
                }
        return out;
    }

    DecodedImage Placed() {
        const int width = hierarchy_->width, height = hierarchy_->height;
        const std::size_t count = planes_.size();
        const std::vector<std::uint8_t> samples = EightBitSamples();
        if (count != 4 && std::all_of(planes_.begin(), planes_.end(), [](const Plane &p) { return p.lossless; }))
            return AsRows(samples, width, height);
        DecodedImage image;
        image.format = ImageFileFormat::Jpeg;
        image.width = width;
        image.height = height;
        markers_.SetResolution(image);
        if (count == 4) {
            // Rgb32 rows, bottom row first, as the four-component encoder takes them.
            std::vector<std::uint8_t> rows(samples.size());
            const std::size_t stride = static_cast<std::size_t>(width) * 4;
            for (int y = 0; y < height; ++y)
                std::copy_n(samples.begin() + static_cast<long>(stride * static_cast<std::size_t>(y)), stride,
                            rows.begin() + static_cast<long>(stride * static_cast<std::size_t>(height - 1 - y)));
            image.jpegColorSpace = markers_.FourComponentSpace();
            image.jpegData = EncodeFourComponentJpeg(rows, width, height, image.jpegColorSpace);
            image.pixelFormat = ImagePixelFormat::Rgb24;
            return image;
        }
        const JpegSamples kind = count == 1 ? JpegSamples::Grey : markers_.YCbCr() ? JpegSamples::YCbCr : JpegSamples::Rgb;
        image.jpegColorSpace = count == 1 ? JpegColorSpace::Gray : JpegColorSpace::Rgb;
        image.pixelFormat = count == 1 ? ImagePixelFormat::Indexed8 : ImagePixelFormat::Rgb24;
        image.jpegData = EncodeBaselineJpeg(samples, width, height, kind);
        return image;
    }

    // Exact samples, placed as rows: grey with a grey ramp, three components
    // as blue-green-red.
    DecodedImage AsRows(const std::vector<std::uint8_t> &samples, int width, int height) const {
        const bool grey = planes_.size() == 1;
        DecodedImage image = MakeBitmap(width, height, grey ? ImagePixelFormat::Indexed8 : ImagePixelFormat::Rgb24);
        image.format = ImageFileFormat::Jpeg;
        markers_.SetResolution(image);
        std::size_t at = 0;
        for (int y = 0; y < image.height; ++y) {
            std::uint8_t *row = RowFromTop(image, y);
            for (int x = 0; x < image.width; ++x, at += grey ? 1 : 3) {
                if (grey) row[x] = samples[at];
                else row[3 * x] = samples[at + 2], row[3 * x + 1] = samples[at + 1], row[3 * x + 2] = samples[at];
            }
        }
        if (grey) SetGreyRamp(image, 256);
        else if (markers_.YCbCr()) ConvertYCbCr(image);
        return image;
    }

    JpegSegments segments_;
    JpegTables tables_;
    JpegColourMarkers markers_;
    std::optional<DctFrame> hierarchy_;  // DHP: the picture's size and components
    std::vector<Plane> planes_;          // by the hierarchy's components
    bool expandWide_ = false, expandHigh_ = false;  // for the next frame
    std::optional<DctFrame> frame_;      // the frame whose scans are being read
    bool lossless_ = false;              // of frame_
    LosslessFrame losslessFrame_;                // frame_ as a lossless frame, when it is one
    LosslessCoding losslessCoding_;
    std::vector<LosslessPlane> losslessPlanes_;  // of frame_'s components, when lossless
    std::vector<bool> losslessDecoded_;          // by each scan so far
    std::vector<int> pointTransforms_;            // of each
    int frames_ = 0;
    std::uint64_t frameSamples_ = 0;  // of all frames so far
};

}  // namespace

DecodedImage DecodeHierarchicalJpeg(std::span<const std::uint8_t> bytes) { return HierarchicalFile(bytes).Read(); }

}  // namespace ZavorPlatform::ImageFormats
