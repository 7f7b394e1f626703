#include "platform/jpeg_lossless_frame.h"

#include <algorithm>
#include <string>

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "JPEG";

[[noreturn]] void Refuse(const std::string &reason) {
    throw ImageError(ImageError::Kind::Unsupported, std::string(kFormat) + ": " + reason);
}

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

}  // namespace

LosslessScan ReadLosslessScan(std::span<const std::uint8_t> segment, DctFrame &frame) {
    if (segment.empty() || segment[0] == 0 || segment[0] > 4 ||
        segment.size() != 4 + 2 * static_cast<std::size_t>(segment[0]))
        Damaged(kFormat, "a scan header is invalid");
    LosslessScan scan;
    for (std::size_t n = 0; n < segment[0]; ++n) {
        int id = segment[1 + 2 * n];
        auto found = std::find_if(frame.components.begin(), frame.components.end(),
                                  [id](const DctComponent &c) { return c.id == id; });
        if (found == frame.components.end() || found->scanned) Damaged(kFormat, "a scan header is invalid");
        found->scanned = true;
        scan.components.push_back(static_cast<std::size_t>(found - frame.components.begin()));
        scan.tables.push_back(segment[2 + 2 * n] >> 4);
        if (segment[0] > 1 && (found->h != 1 || found->v != 1)) Refuse("subsampled lossless coding is not supported");
    }
    const std::size_t tail = 1 + 2 * static_cast<std::size_t>(segment[0]);
    scan.predictor = segment[tail];
    scan.pointTransform = segment[tail + 2] & 15;
    const bool differential = frame.kind == FrameKind::Differential;
    if (differential ? scan.predictor != 0 : scan.predictor < 1 || scan.predictor > 7)
        Damaged(kFormat, "the predictor " + std::to_string(scan.predictor) + " is invalid");
    if (scan.pointTransform >= frame.precision) Damaged(kFormat, "a scan header is invalid");
    return scan;
}

HuffmanDifferenceDecoder::HuffmanDifferenceDecoder(std::span<const std::uint8_t> bytes, std::size_t at,
                                                   const LosslessScan &scan, const JpegTables &tables)
    : bits_(bytes, at) {
    for (int slot : scan.tables) {
        if (slot > 3 || !tables.dc[static_cast<std::size_t>(slot)].defined)
            Damaged(kFormat, "a scan uses a Huffman table that is not defined");
        tables_.push_back(&tables.dc[static_cast<std::size_t>(slot)]);
    }
}

int HuffmanDifferenceDecoder::Decode(std::size_t index, int, int) {
    const int size = tables_[index]->Decode(bits_);
    if (size == 0) return 0;
    if (size == 16) return 32768;
    if (size > 16) Damaged(kFormat, "the coded data holds an invalid difference");
    const int value = static_cast<int>(bits_.Read(size));
    return value < 1 << (size - 1) ? value - (1 << size) + 1 : value;
}

std::size_t DecodeLosslessScan(const DctFrame &frame, const LosslessScan &scan, int restartInterval,
                               LosslessDifferenceDecoder &decoder, std::vector<std::vector<int>> &planes) {
    const DctComponent &first = frame.components[scan.components[0]];
    // An interleaved scan's components are all of the frame's size.
    const int width = first.width, height = first.height, count = static_cast<int>(scan.components.size());
    if (restartInterval % width != 0) Refuse("lossless restart intervals that end inside a row are not supported");
    const int rowsPerInterval = restartInterval / width, shift = scan.pointTransform;
    const bool differential = frame.kind == FrameKind::Differential;
    // The differences of the row above and of this one, by scan component,
    // for the conditioning of arithmetic coding.
    const std::vector<int> zeros(static_cast<std::size_t>(width));
    std::vector<std::vector<int>> above(static_cast<std::size_t>(count), zeros), current = above;
    bool firstRow = true;
    for (int y = 0; y < height; ++y) {
        if (rowsPerInterval > 0 && y > 0 && y % rowsPerInterval == 0) {
            decoder.Restart((y / rowsPerInterval - 1) % 8);
            firstRow = true;
        }
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < count; ++c) {
                std::vector<int> &plane = planes[scan.components[static_cast<std::size_t>(c)]];
                const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                       static_cast<std::size_t>(x);
                std::vector<int> &row = current[static_cast<std::size_t>(c)];
                const std::vector<int> &last = firstRow ? zeros : above[static_cast<std::size_t>(c)];
                const std::size_t column = static_cast<std::size_t>(x);
                const int difference =
                    decoder.Decode(static_cast<std::size_t>(c), x == 0 ? 0 : row[column - 1], last[column]);
                row[column] = difference;
                if (differential) {
                    plane[at] = difference * (1 << shift);
                    continue;
                }
                // Samples are predicted as coded, before the point transform.
                auto coded = [&](int dx, int dy) { return plane[at - static_cast<std::size_t>(dy * width + dx)] >> shift; };
                int prediction;
                if (firstRow) prediction = x == 0 ? 1 << (frame.precision - shift - 1) : coded(1, 0);
                else if (x == 0) prediction = coded(0, 1);
                else prediction = Predict(scan.predictor, coded(1, 0), coded(0, 1), coded(1, 1));
                // Encoders wrap differences modulo 2^16, and so does reconstruction.
                plane[at] = ((prediction + difference) & 0xFFFF) << shift;
            }
        std::swap(above, current);
        firstRow = false;
    }
    return decoder.End();
}

}  // namespace ZavorPlatform::ImageFormats
