// The lossless scan loop: samples are predicted from their neighbours
// (left, above, above left) and the coded difference added, modulo 2^16.
// The first row of a scan and of each restart interval is predicted from
// the left alone, its first sample from the middle level; the first sample
// of any other row from the one above it.
#include "platform/jpeg_lossless_scan.h"

#include <algorithm>
#include <string>

#include "platform/image_formats.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "JPEG";

// The difference coded for one sample, modulo 2^16.
int ReadDifference(JpegScanBits &bits, const JpegHuffmanTable &table) {
    const int size = table.Decode(bits);
    if (size == 16) return 32768;
    if (size > 16) Damaged(kFormat, "the coded data holds an invalid difference");
    return ReadExtended(bits, size);
}

class HuffmanDifferences {
public:
    HuffmanDifferences(std::span<const std::uint8_t> bytes, std::size_t at, const LosslessCoding &coding,
                       const LosslessScan &scan)
        : bits_(bytes, at) {
        for (int slot : scan.tables) {
            const JpegHuffmanTable &table = coding.huffman.dc.at(static_cast<std::size_t>(slot));
            if (!table.defined) Damaged(kFormat, "a scan uses a Huffman table that is not defined");
            tables_.push_back(&table);
        }
    }
    int Next(std::size_t scanComponent, int, int) { return ReadDifference(bits_, *tables_[scanComponent]); }
    void Restart(int number) { bits_.Restart(number); }
    std::size_t End() { return bits_.End(); }

private:
    JpegScanBits bits_;
    std::vector<const JpegHuffmanTable *> tables_;
};

class ArithmeticDifferences {
public:
    ArithmeticDifferences(std::span<const std::uint8_t> bytes, std::size_t at, const LosslessCoding &coding,
                          const LosslessScan &scan)
        : decoder_(bytes, at), statistics_(scan.tables, coding.conditioning) {}
    // The decoder feeds zeros past the end of a cut file, which decode to
    // something; the end of the file is never part of a whole scan.
    int Next(std::size_t scanComponent, int da, int db) {
        const int difference = statistics_.DecodeDifference(decoder_, scanComponent, da, db);
        if (decoder_.RanOut()) Damaged(kFormat, "the coded data ends early");
        return difference;
    }
    void Restart(int number) {
        decoder_.Restart(number);
        statistics_.Restart();
    }
    std::size_t End() { return decoder_.End(); }

private:
    JpegArithmeticDecoder decoder_;
    ArithmeticLosslessScan statistics_;
};

int Predict(int predictor, int left, int above, int aboveLeft) {
    switch (predictor) {
    case 1: return left;
    case 2: return above;
    case 3: return aboveLeft;
    case 4: return left + above - aboveLeft;
    case 5: return left + ((above - aboveLeft) >> 1);
    case 6: return above + ((left - aboveLeft) >> 1);
    default: return (left + above) >> 1;
    }
}

// The prediction of the sample at (x, y) from the ones decoded before it.
int Prediction(LosslessPlane &plane, int predictor, int x, int y, bool firstRow, int middle) {
    if (firstRow) return x == 0 ? middle : plane.At(x - 1, y);
    if (x == 0) return plane.At(x, y - 1);
    return Predict(predictor, plane.At(x - 1, y), plane.At(x, y - 1), plane.At(x - 1, y - 1));
}

// A scan component: its plane, the samples it adds to an MCU, and the
// differences of its last rows (the context of arithmetic coding).
struct Member {
    LosslessPlane *plane;
    int h, v;
    std::vector<int> differences;  // v + 1 rows of the plane's stride

    int &Difference(int x, int y) {
        return differences[static_cast<std::size_t>(y % (v + 1)) * static_cast<std::size_t>(plane->stride) +
                           static_cast<std::size_t>(x)];
    }
};

template <class Differences>
std::size_t DecodeWith(Differences &source, const LosslessFrame &frame, const LosslessScan &scan,
                       int restartInterval, LosslessPrediction prediction, std::vector<LosslessPlane> &planes) {
    const bool interleaved = scan.components.size() > 1;
    std::vector<Member> members;
    const int hmax = frame.HMax(), vmax = frame.VMax();
    for (std::size_t index : scan.components) {
        const LosslessComponent &c = frame.components.at(index);
        Member member{&planes.at(index), interleaved ? c.h : 1, interleaved ? c.v : 1, {}};
        member.differences.resize(static_cast<std::size_t>((member.v + 1) * member.plane->stride));
        members.push_back(std::move(member));
    }
    const int mcusX = interleaved ? (frame.width + hmax - 1) / hmax : members[0].plane->width;
    const int mcusY = interleaved ? (frame.height + vmax - 1) / vmax : members[0].plane->height;
    if (restartInterval % mcusX != 0)
        Unsupported(kFormat, "lossless restart intervals that end inside a row are not supported");
    const int rowsPerInterval = restartInterval / mcusX;
    const int middle = 1 << (frame.precision - scan.pointTransform - 1);
    const bool predicts = prediction == LosslessPrediction::Predicted;
    for (int my = 0; my < mcusY; ++my) {
        const bool intervalStarts = my == 0 || (rowsPerInterval > 0 && my % rowsPerInterval == 0);
        if (my > 0 && intervalStarts) source.Restart((my / rowsPerInterval - 1) % 8);
        for (int mx = 0; mx < mcusX; ++mx) {
            for (std::size_t n = 0; n < members.size(); ++n) {
                Member &m = members[n];
                LosslessPlane &plane = *m.plane;
                for (int dy = 0; dy < m.v; ++dy) {
                    const int y = my * m.v + dy;
                    const bool firstRow = intervalStarts && dy == 0;
                    for (int dx = 0; dx < m.h; ++dx) {
                        const int x = mx * m.h + dx;
                        const int da = x > 0 ? m.Difference(x - 1, y) : 0, db = firstRow ? 0 : m.Difference(x, y - 1);
                        const int difference = source.Next(n, da, db);
                        // A differential frame adds to nothing. Encoders wrap differences
                        // modulo 2^16, and so does reconstruction.
                        const int base = predicts ? Prediction(plane, scan.predictor, x, y, firstRow, middle) : 0;
                        plane.At(x, y) = static_cast<std::uint16_t>((base + difference) & 0xFFFF);
                        m.Difference(x, y) = difference;
                    }
                }
            }
        }
    }
    return source.End();
}

}  // namespace

LosslessScan ReadLosslessScan(std::span<const std::uint8_t> segment, const LosslessFrame &frame,
                              const LosslessCoding &coding, LosslessPrediction prediction,
                              std::vector<bool> &decoded) {
    if (segment.empty() || segment[0] == 0 || segment.size() != 4 + 2 * static_cast<std::size_t>(segment[0]))
        Damaged(kFormat, "a scan header is invalid");
    LosslessScan scan;
    for (std::size_t n = 0; n < segment[0]; ++n) {
        const int id = segment[1 + 2 * n], slot = segment[2 + 2 * n] >> 4;
        auto found = std::find_if(frame.components.begin(), frame.components.end(),
                                  [id](const LosslessComponent &c) { return c.id == id; });
        const std::size_t index = static_cast<std::size_t>(found - frame.components.begin());
        if (found == frame.components.end() || decoded.at(index)) Damaged(kFormat, "a scan header is invalid");
        if (slot > 3)
            Damaged(kFormat, coding.arithmetic ? "a scan header is invalid"
                                               : "a scan uses a Huffman table that is not defined");
        decoded[index] = true;
        scan.components.push_back(index);
        scan.tables.push_back(slot);
    }
    const std::size_t tail = 1 + 2 * static_cast<std::size_t>(segment[0]);
    scan.predictor = segment[tail];
    scan.pointTransform = segment[tail + 2] & 15;
    const bool predicts = prediction == LosslessPrediction::Predicted;
    if (predicts ? scan.predictor < 1 || scan.predictor > 7 : scan.predictor != 0)
        Damaged(kFormat, "the predictor " + std::to_string(scan.predictor) + " is invalid");
    if (scan.pointTransform >= frame.precision) Damaged(kFormat, "a scan header is invalid");
    return scan;
}

int LosslessFrame::HMax() const {
    int hmax = 1;
    for (const LosslessComponent &c : components) hmax = std::max(hmax, c.h);
    return hmax;
}

int LosslessFrame::VMax() const {
    int vmax = 1;
    for (const LosslessComponent &c : components) vmax = std::max(vmax, c.v);
    return vmax;
}

std::uint64_t LosslessFrame::SampleCount() const {
    const int hmax = HMax(), vmax = VMax();
    std::uint64_t samples = 0;
    for (const LosslessComponent &c : components)
        samples += static_cast<std::uint64_t>((width * c.h + hmax - 1) / hmax) *
                   static_cast<std::uint64_t>((height * c.v + vmax - 1) / vmax);
    return samples;
}

std::vector<LosslessPlane> LosslessPlanes(const LosslessFrame &frame) {
    const int hmax = frame.HMax(), vmax = frame.VMax();
    std::vector<LosslessPlane> planes;
    for (const LosslessComponent &c : frame.components) {
        LosslessPlane plane;
        plane.width = (frame.width * c.h + hmax - 1) / hmax;
        plane.height = (frame.height * c.v + vmax - 1) / vmax;
        plane.stride = (frame.width + hmax - 1) / hmax * c.h;
        plane.rows = (frame.height + vmax - 1) / vmax * c.v;
        plane.samples.assign(static_cast<std::size_t>(plane.stride) * static_cast<std::size_t>(plane.rows), 0);
        planes.push_back(std::move(plane));
    }
    return planes;
}

std::size_t DecodeLosslessScan(std::span<const std::uint8_t> bytes, std::size_t at, const LosslessFrame &frame,
                               const LosslessScan &scan, const LosslessCoding &coding, int restartInterval,
                               LosslessPrediction prediction, std::vector<LosslessPlane> &planes) {
    if (coding.arithmetic) {
        ArithmeticDifferences source(bytes, at, coding, scan);
        return DecodeWith(source, frame, scan, restartInterval, prediction, planes);
    }
    HuffmanDifferences source(bytes, at, coding, scan);
    return DecodeWith(source, frame, scan, restartInterval, prediction, planes);
}

}  // namespace ZavorPlatform::ImageFormats
