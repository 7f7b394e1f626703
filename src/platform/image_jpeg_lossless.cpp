// Huffman-coded lossless JPEG (SOF3), which libjpeg 2.1 cannot read and PDF
// readers need not decode. Medical and scanning software writes it. The
// samples are decoded here into rows, so the picture is placed like any
// other bitmap (Flate, which keeps it exact); samples of more than 8 bits
// are scaled to 8. Four components (CMYK), which our bitmaps cannot hold,
// are written again as a baseline JPEG of the highest quality. Only the
// forms in use are read: one frame, every component sampled 1x1, restart
// intervals of whole rows. Every read is bounds-checked, and a file whose
// coded data ends early is refused, since a viewer would show invented
// rows.
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/image_formats.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "JPEG";

[[noreturn]] void Refuse(const std::string &reason) {
    throw ImageError(ImageError::Kind::Unsupported, std::string(kFormat) + ": " + reason);
}

// A table of the lossless class: the differences' size categories by code.
struct HuffmanTable {
    bool defined = false;
    std::array<int, 17> maxCode{};  // by length; -1 when no code has it
    std::array<int, 17> first{};    // index into `values` of the first code of a length
    std::array<int, 17> minCode{};
    std::vector<std::uint8_t> values;
};

// Reads a DHT segment (several tables may share one).
void ReadHuffmanTables(std::span<const std::uint8_t> segment, std::array<HuffmanTable, 4> &tables) {
    std::size_t at = 0;
    while (at < segment.size()) {
        if (segment.size() - at < 17) Damaged(kFormat, "a Huffman table is cut short");
        int kind = segment[at] >> 4, slot = segment[at] & 15;
        if (kind > 1 || slot > 3) Damaged(kFormat, "a Huffman table is invalid");
        std::size_t count = 0;
        for (int n = 1; n <= 16; ++n) count += segment[at + static_cast<std::size_t>(n)];
        if (count > 256 || segment.size() - at - 17 < count) Damaged(kFormat, "a Huffman table is invalid");
        // Lossless scans use class 0 tables only; class 1 ones are skipped.
        if (kind == 0) {
            HuffmanTable table;
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
            tables[static_cast<std::size_t>(slot)] = std::move(table);
        }
        at += 17 + count;
    }
}

// The entropy-coded bytes of a scan: byte stuffing undone, fill bytes
// skipped, and stopped at the next marker. Bits asked for beyond it are
// data the file lacks.
class ScanBits {
public:
    ScanBits(std::span<const std::uint8_t> bytes, std::size_t at) : bytes_(bytes), at_(at) {}

    // The next 16 bits, zeros past the end of the data.
    unsigned Peek16() {
        Fill();
        if (bits_ >= 16) return static_cast<unsigned>(buffer_ >> (bits_ - 16)) & 0xFFFF;
        return static_cast<unsigned>(buffer_ << (16 - bits_)) & 0xFFFF;
    }
    void Skip(int count) {
        if (count > bits_) Damaged(kFormat, "the coded data ends early");
        bits_ -= count;
        buffer_ &= (std::uint64_t{1} << bits_) - 1;
    }
    unsigned Read(int count) {
        unsigned value = Peek16() >> (16 - count);
        Skip(count);
        return value;
    }
    int Decode(const HuffmanTable &table) {
        unsigned bits = Peek16();
        for (int length = 1; length <= 16; ++length) {
            int code = static_cast<int>(bits >> (16 - length));
            if (code <= table.maxCode[length]) {
                Skip(length);
                return table.values[static_cast<std::size_t>(table.first[length] + code - table.minCode[length])];
            }
        }
        Damaged(kFormat, "the coded data holds an invalid Huffman code");
    }
    // Drops the bits that pad the interval and steps over its restart marker.
    void Restart(int number) {
        buffer_ = 0;
        bits_ = 0;
        while (NextByte() >= 0) {}  // data the interval did not need
        while (at_ + 1 < bytes_.size() && bytes_[at_] == 0xFF && bytes_[at_ + 1] == 0xFF) ++at_;
        if (at_ + 1 >= bytes_.size() || bytes_[at_] != 0xFF || bytes_[at_ + 1] != 0xD0 + number)
            Damaged(kFormat, "a restart marker is missing");
        at_ += 2;
        ended_ = false;
    }
    // The offset of the marker that ends the scan.
    std::size_t End() {
        while (NextByte() >= 0) {}
        return at_;
    }

private:
    void Fill() {
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
    int NextByte() {
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

    std::span<const std::uint8_t> bytes_;
    std::size_t at_;
    std::uint64_t buffer_ = 0;  // the low bits_ bits are unread
    int bits_ = 0;
    bool ended_ = false;
};

struct Component {
    int id;
    bool decoded = false;
};

struct Frame {
    int precision = 0;
    int width = 0, height = 0;
    std::vector<Component> components;
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
    if (count == 2) Refuse("lossless coding with 2 components is not supported");
    for (std::size_t n = 0; n < count; ++n) {
        const std::uint8_t *c = &segment[6 + 3 * n];
        if (c[1] != 0x11) Refuse("subsampled lossless coding is not supported");
        for (const Component &other : frame.components)
            if (other.id == c[0]) Damaged(kFormat, "the frame header is invalid");
        frame.components.push_back({c[0]});
    }
    CheckDimensions(frame.width, frame.height, kFormat);
    return frame;
}

struct Scan {
    std::vector<std::size_t> components;  // into the frame's
    std::vector<const HuffmanTable *> tables;
    int predictor = 0;
    int pointTransform = 0;
};

Scan ReadScan(std::span<const std::uint8_t> segment, Frame &frame, const std::array<HuffmanTable, 4> &tables) {
    if (segment.empty() || segment[0] == 0 || segment.size() != 4 + 2 * static_cast<std::size_t>(segment[0]))
        Damaged(kFormat, "a scan header is invalid");
    Scan scan;
    for (std::size_t n = 0; n < segment[0]; ++n) {
        int id = segment[1 + 2 * n], slot = segment[2 + 2 * n] >> 4;
        auto found = std::find_if(frame.components.begin(), frame.components.end(),
                                  [id](const Component &c) { return c.id == id; });
        if (found == frame.components.end() || found->decoded) Damaged(kFormat, "a scan header is invalid");
        if (slot > 3 || !tables[static_cast<std::size_t>(slot)].defined)
            Damaged(kFormat, "a scan uses a Huffman table that is not defined");
        found->decoded = true;
        scan.components.push_back(static_cast<std::size_t>(found - frame.components.begin()));
        scan.tables.push_back(&tables[static_cast<std::size_t>(slot)]);
    }
    std::size_t tail = 1 + 2 * static_cast<std::size_t>(segment[0]);
    scan.predictor = segment[tail];
    scan.pointTransform = segment[tail + 2] & 15;
    if (scan.predictor < 1 || scan.predictor > 7)
        Damaged(kFormat, "the predictor " + std::to_string(scan.predictor) + " is invalid");
    if (scan.pointTransform >= frame.precision) Damaged(kFormat, "a scan header is invalid");
    return scan;
}

// The difference coded for one sample, modulo 2^16.
int ReadDifference(ScanBits &bits, const HuffmanTable &table) {
    int size = bits.Decode(table);
    if (size == 0) return 0;
    if (size == 16) return 32768;
    if (size > 16) Damaged(kFormat, "the coded data holds an invalid difference");
    int value = static_cast<int>(bits.Read(size));
    return value < 1 << (size - 1) ? value - (1 << size) + 1 : value;
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

// Every level from 0 to `maximum` scaled to 8 bits, rounded.
std::vector<std::uint8_t> EightBitLevels(int maximum) {
    std::vector<std::uint8_t> levels(static_cast<std::size_t>(maximum) + 1);
    for (int v = 0; v <= maximum; ++v)
        levels[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>((v * 255 + maximum / 2) / maximum);
    return levels;
}

// Decodes one scan into the components' bytes in `image`; returns the
// offset of the marker after it.
std::size_t DecodeScan(std::span<const std::uint8_t> bytes, std::size_t at, const Frame &frame, const Scan &scan,
                       int restartInterval, DecodedImage &image) {
    const int width = frame.width, count = static_cast<int>(scan.components.size());
    const int shift = scan.pointTransform, maximum = (1 << frame.precision) - 1;
    if (restartInterval % width != 0) Refuse("lossless restart intervals that end inside a row are not supported");
    const int rowsPerInterval = restartInterval / width;
    const std::vector<std::uint8_t> eightBits = EightBitLevels(maximum);
    // Where each component's byte lies in a pixel: grey, blue-green-red, or
    // four in the file's order.
    const int step = static_cast<int>(frame.components.size());
    std::vector<int> offset;
    for (std::size_t c : scan.components) offset.push_back(step == 3 ? 2 - static_cast<int>(c) : static_cast<int>(c));
    // The previous and the current row of each scan component, as coded.
    std::vector<int> rows(static_cast<std::size_t>(width) * 2 * static_cast<std::size_t>(count));
    ScanBits bits(bytes, at);
    bool firstRow = true;
    for (int y = 0; y < frame.height; ++y) {
        if (rowsPerInterval > 0 && y > 0 && y % rowsPerInterval == 0) {
            bits.Restart((y / rowsPerInterval - 1) % 8);
            firstRow = true;
        }
        std::uint8_t *out = RowFromTop(image, y);
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < count; ++c) {
                const std::size_t stride = static_cast<std::size_t>(width);
                const std::size_t base = stride * static_cast<std::size_t>(2 * c);
                int *row = &rows[base + stride * static_cast<std::size_t>(y % 2)];
                const int *above = &rows[base + stride * static_cast<std::size_t>((y + 1) % 2)];
                int prediction;
                if (firstRow) prediction = x == 0 ? 1 << (frame.precision - shift - 1) : row[x - 1];
                else if (x == 0) prediction = above[0];
                else prediction = Predict(scan.predictor, row[x - 1], above[x], above[x - 1]);
                // Encoders wrap differences modulo 2^16, and so does reconstruction.
                int value = (prediction + ReadDifference(bits, *scan.tables[static_cast<std::size_t>(c)])) & 0xFFFF;
                row[x] = value;
                int sample = std::min(value << shift, maximum);
                out[x * step + offset[static_cast<std::size_t>(c)]] = eightBits[static_cast<std::size_t>(sample)];
            }
        }
        firstRow = false;
    }
    return bits.End();
}

// Three components are RGB unless the file says otherwise: encoders of
// medical pictures write RGB with no marker at all, or with an Adobe
// marker of transform 0; libjpeg writes YCbCr under a JFIF marker.
struct ColourMarkers {
    bool jfif = false;
    int adobeTransform = -1;  // none

    bool YCbCr() const { return adobeTransform == 1 || (adobeTransform < 0 && jfif); }
};

// The JFIF conversion (full range), on the rows' blue-green-red bytes.
void ConvertYCbCr(DecodedImage &image) {
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t *p = RowFromTop(image, y);
        for (int x = 0; x < image.width; ++x, p += 3) {
            const double luma = p[2], cb = p[1] - 128.0, cr = p[0] - 128.0;
            auto level = [](double v) { return static_cast<std::uint8_t>(std::clamp(v + 0.5, 0.0, 255.0)); };
            p[2] = level(luma + 1.402 * cr);
            p[1] = level(luma - 0.344136 * cb - 0.714136 * cr);
            p[0] = level(luma + 1.772 * cb);
        }
    }
}

// The resolution from a JFIF marker, if it gives one in inches or centimetres.
void ReadDensity(std::span<const std::uint8_t> segment, DecodedImage &image) {
    if (segment.size() < 12) return;
    int unit = segment[7];
    unsigned x = segment[8] << 8 | segment[9], y = segment[10] << 8 | segment[11];
    if (x == 0 || y == 0 || (unit != 1 && unit != 2)) return;
    double perInch = unit == 1 ? 1.0 : 2.54;
    image.horizontalResolution = x * perInch;
    image.verticalResolution = y * perInch;
}

// Whether the segment starts with `tag` and holds at least `size` bytes.
bool Tagged(std::span<const std::uint8_t> segment, std::string_view tag, std::size_t size) {
    return segment.size() >= std::max(size, tag.size()) &&
           std::equal(tag.begin(), tag.end(), segment.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// The file segment by segment; the rows are allocated with the frame.
class LosslessFile {
public:
    explicit LosslessFile(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    DecodedImage Read() {
        for (;;) {
            // Stray bytes and fill bytes before a marker are skipped.
            while (at_ + 1 < bytes_.size() && (bytes_[at_] != 0xFF || bytes_[at_ + 1] == 0xFF)) ++at_;
            if (at_ + 1 >= bytes_.size()) Damaged(kFormat, "the file is cut short");
            std::uint8_t marker = bytes_[at_ + 1];
            at_ += 2;
            if (marker == 0xD9) return Finish();
            if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) Damaged(kFormat, "a marker is out of place");
            if (bytes_.size() - at_ < 2) Damaged(kFormat, "the file is cut short");
            std::size_t length = static_cast<std::size_t>(bytes_[at_] << 8 | bytes_[at_ + 1]);
            if (length < 2 || bytes_.size() - at_ < length) Damaged(kFormat, "the file is cut short");
            std::span<const std::uint8_t> segment = bytes_.subspan(at_ + 2, length - 2);
            at_ += length;
            OnSegment(marker, segment);
        }
    }

private:
    void OnSegment(std::uint8_t marker, std::span<const std::uint8_t> segment) {
        switch (marker) {
        case 0xC4: ReadHuffmanTables(segment, tables_); break;
        case 0xDD:
            if (segment.size() != 2) Damaged(kFormat, "the restart interval is invalid");
            restartInterval_ = segment[0] << 8 | segment[1];
            break;
        case 0xE0:
            if (!Tagged(segment, std::string_view("JFIF", 5), 5)) break;
            markers_.jfif = true;
            ReadDensity(segment, density_);
            break;
        case 0xEE:
            if (Tagged(segment, "Adobe", 12)) markers_.adobeTransform = segment[11];
            break;
        case 0xC3: OnFrame(segment); break;
        case 0xDA: {
            if (frame_.components.empty()) Damaged(kFormat, "a scan comes before the frame");
            Scan scan = ReadScan(segment, frame_, tables_);
            at_ = DecodeScan(bytes_, at_, frame_, scan, restartInterval_, image_);
            break;
        }
        default:
            if ((marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) ||
                marker == 0xDE)
                Damaged(kFormat, "the file holds more than one frame");
            break;  // tables of other processes, comments, application data
        }
    }

    void OnFrame(std::span<const std::uint8_t> segment) {
        if (!frame_.components.empty()) Damaged(kFormat, "the file holds more than one frame");
        frame_ = ReadFrame(segment);
        // Every sample takes at least one bit, so a file too short for its
        // size is refused before its rows are allocated.
        if (static_cast<std::uint64_t>(frame_.width) * static_cast<std::uint64_t>(frame_.height) *
                frame_.components.size() > 8 * static_cast<std::uint64_t>(bytes_.size() - at_))
            Damaged(kFormat, "the file is cut short");
        // Four components are held in rows of four bytes a pixel until the end.
        const std::size_t count = frame_.components.size();
        image_ = MakeBitmap(frame_.width, frame_.height,
                            count == 1   ? ImagePixelFormat::Indexed8
                            : count == 3 ? ImagePixelFormat::Rgb24
                                         : ImagePixelFormat::Rgb32);
    }

    DecodedImage Finish() {
        if (frame_.components.empty()) Damaged(kFormat, "the file holds no frame");
        for (const Component &component : frame_.components)
            if (!component.decoded) Damaged(kFormat, "a scan is missing");
        if (frame_.components.size() == 1) SetGreyRamp(image_, 256);
        else if (frame_.components.size() == 4) ToFourComponentJpeg();
        else if (markers_.YCbCr()) ConvertYCbCr(image_);
        image_.format = ImageFileFormat::Jpeg;
        image_.horizontalResolution = density_.horizontalResolution;
        image_.verticalResolution = density_.verticalResolution;
        return std::move(image_);
    }

    // PDF images hold CMYK rows, but our bitmaps do not: the samples go into
    // a baseline JPEG, the one way such a picture is placed.
    void ToFourComponentJpeg() {
        // Adobe marks YCCK with transform 2; CMYK carries no transform.
        image_.jpegColorSpace = markers_.adobeTransform == 2 ? JpegColorSpace::Ycck : JpegColorSpace::Cmyk;
        image_.jpegData = EncodeFourComponentJpeg(image_.pixels, image_.width, image_.height, image_.jpegColorSpace);
        image_.pixels.clear();
        image_.pixels.shrink_to_fit();
        image_.pixelFormat = ImagePixelFormat::Rgb24;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 2;  // after SOI
    std::array<HuffmanTable, 4> tables_;
    int restartInterval_ = 0;
    ColourMarkers markers_;
    DecodedImage density_;  // only its resolution is used
    Frame frame_;
    DecodedImage image_;
};

}  // namespace

DecodedImage DecodeLosslessJpeg(std::span<const std::uint8_t> bytes) { return LosslessFile(bytes).Read(); }

}  // namespace ZavorPlatform::ImageFormats
