// Lossless JPEG files from an encoder other than ours: dcmtk (from
// scripts/packages.txt) writes them into DICOM files, from which the JPEG
// stream is cut out (the bytes from SOI to the last EOI). The samples are
// made here, so the decoded picture can be compared with them exactly.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/test_output.h"

namespace ZavorTest::LosslessJpeg {

using Bytes = std::vector<std::uint8_t>;

struct Samples {
    int width = 0, height = 0;
    int bits = 8;        // stored bits per sample (2 to 16)
    int components = 1;  // 1 grey, 3 RGB
    std::vector<std::uint16_t> values;  // interleaved, top row first

    std::uint16_t At(int x, int y, int c) const {
        return values[(static_cast<std::size_t>(y) * width + x) * components + c];
    }
};

// Writes bits most significant first, with a zero byte after every 0xFF.
class BitWriter {
public:
    explicit BitWriter(Bytes &out) : out_(out) {}
    void Put(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            byte_ = static_cast<std::uint8_t>(byte_ << 1 | (value >> i & 1));
            if (++bits_ < 8) continue;
            out_.push_back(byte_);
            if (byte_ == 0xFF) out_.push_back(0);
            byte_ = 0;
            bits_ = 0;
        }
    }
    void Flush() {
        while (bits_ != 0) Put(1, 1);
    }

private:
    Bytes &out_;
    std::uint8_t byte_ = 0;
    int bits_ = 0;
};

// A marker segment: the marker, the length, the body.
inline void Segment(Bytes &out, std::uint8_t marker, const Bytes &body) {
    out.insert(out.end(), {0xFF, marker, static_cast<std::uint8_t>((body.size() + 2) >> 8),
                           static_cast<std::uint8_t>(body.size() + 2)});
    out.insert(out.end(), body.begin(), body.end());
}

// Ramps with a ripple, so that every predictor has differences of every
// size to code, up to the full range of `bits`.
inline Samples Ramps(int width, int height, int bits, int components) {
    Samples s{width, height, bits, components, {}};
    const std::uint32_t range = 1u << bits;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                s.values.push_back(static_cast<std::uint16_t>(
                    (static_cast<std::uint32_t>(x) * range / width + static_cast<std::uint32_t>(y * y * 37 + c * 9001) +
                     (x * y % 7 == 0 ? range / 3 : 0)) % range));
    return s;
}

inline Bytes ReadAll(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// `options` for dcmcjpeg, e.g. "+el +sv 4 +pt 1"; `name` must be unique to
// the test, since tests run in processes of their own at the same time.
inline Bytes MadeByDcmtk(const Samples &s, const std::string &options, const std::string &name) {
    const std::filesystem::path raw = OutputPath(name + ".raw"), dump = OutputPath(name + ".dump"),
                                plain = OutputPath(name + ".dcm"), coded = OutputPath(name + "-jpeg.dcm");
    const bool wide = s.bits > 8;
    {
        std::ofstream out(raw, std::ios::binary);
        for (std::uint16_t v : s.values) {
            out.put(static_cast<char>(v & 0xFF));
            if (wide) out.put(static_cast<char>(v >> 8));
        }
        std::ofstream text(dump);
        text << "(0008,0016) UI =SecondaryCaptureImageStorage\n(0008,0018) UI 1.2.826.0.1.3680043.2.1143.1\n"
             << "(0028,0002) US " << s.components << "\n(0028,0004) CS " << (s.components == 1 ? "MONOCHROME2" : "RGB")
             << "\n";
        if (s.components > 1) text << "(0028,0006) US 0\n";
        text << "(0028,0010) US " << s.height << "\n(0028,0011) US " << s.width << "\n(0028,0100) US "
             << (wide ? 16 : 8) << "\n(0028,0101) US " << s.bits << "\n(0028,0102) US " << s.bits - 1
             << "\n(0028,0103) US 0\n(7fe0,0010) " << (wide ? "OW" : "OB") << " =" << raw.string() << "\n";
    }
    const std::string command = "dump2dcm -q '" + dump.string() + "' '" + plain.string() + "' && dcmcjpeg -q " +
                                options + " '" + plain.string() + "' '" + coded.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    const Bytes dicom = ReadAll(coded);
    const Bytes soi{0xFF, 0xD8}, eoi{0xFF, 0xD9};
    auto start = std::search(dicom.begin(), dicom.end(), soi.begin(), soi.end());
    auto end = std::find_end(dicom.begin(), dicom.end(), eoi.begin(), eoi.end());
    if (start == dicom.end() || end == dicom.end() || end < start) {
        ADD_FAILURE() << "no JPEG stream in " << coded;
        return {};
    }
    return Bytes(start, end + 2);
}

// A sample of `precision` bits as the decoder hands it on: scaled to 8
// bits, rounded.
inline std::uint8_t EightBits(std::uint32_t value, int precision) {
    const std::uint32_t maximum = (1u << precision) - 1;
    return static_cast<std::uint8_t>((value * 255 + maximum / 2) / maximum);
}

// The picture a lossless decoder hands on, as red, green, blue and alpha
// bytes, top row first: the samples as the file codes them (their low
// `pointTransform` bits dropped), scaled from `precision` to 8 bits.
inline Bytes ExpectedRgba(const Samples &s, int precision, int pointTransform) {
    Bytes out;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const std::uint32_t v = s.At(x, y, s.components == 1 ? 0 : c);
                out.push_back(EightBits(v >> pointTransform << pointTransform, precision));
            }
            out.push_back(255);
        }
    return out;
}

}  // namespace ZavorTest::LosslessJpeg
