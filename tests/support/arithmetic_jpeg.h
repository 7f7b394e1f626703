// An arithmetic encoder for tests: the binary coder and the lossless
// statistics written from the encoder's side, so that lossless files can be
// made that no tool at hand writes. Only the table of estimates is shared
// with the decoder; that table is proven by decoding libjpeg's own files.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/jpeg_arithmetic.h"
#include "support/lossless_jpeg.h"

namespace ZavorTest::ArithmeticJpeg {

using ZavorPlatform::ImageFormats::kArithmeticEstimates;
using Bytes = std::vector<std::uint8_t>;

class QmEncoder {
public:
    void Encode(std::uint8_t &bin, int decision) {
        const auto &estimate = kArithmeticEstimates[bin & 0x7F];
        const std::uint32_t qe = estimate.qe;
        const int mps = bin >> 7;
        a_ -= qe;
        if (decision == mps) {
            if (a_ >= 0x8000) return;
            if (a_ < qe) Upper(qe);
            bin = static_cast<std::uint8_t>((bin & 0x80) | estimate.nextMps);
        } else {
            if (a_ >= qe) Upper(qe);
            bin = static_cast<std::uint8_t>(((estimate.exchange ? bin ^ 0x80 : bin) & 0x80) | estimate.nextLps);
        }
        do {
            a_ <<= 1;
            c_ <<= 1;
            if (--ct_ == 0) ByteOut();
        } while (a_ < 0x8000);
    }

    // The coded bytes, stuffed, with trailing zeros dropped; the encoder
    // starts afresh (as after a restart marker).
    Bytes Finish() {
        std::uint32_t end = (c_ + a_ - 1) & 0xFFFF0000;  // the value in range with the most trailing zeros
        if (end < c_) end += 0x8000;
        c_ = end << ct_;
        ByteOut();
        c_ <<= 8;
        ByteOut();
        while (!raw_.empty() && raw_.back() == 0) raw_.pop_back();
        Bytes out;
        for (std::uint8_t byte : raw_) {
            out.push_back(byte);
            if (byte == 0xFF) out.push_back(0);
        }
        *this = QmEncoder();
        return out;
    }

private:
    void Upper(std::uint32_t qe) {
        c_ += a_;
        a_ = qe;
    }
    void ByteOut() {
        const std::uint32_t top = c_ >> 19;
        if (top > 0xFF)  // a carry into the bytes already out
            for (auto at = raw_.rbegin(); at != raw_.rend() && ++*at == 0; ++at) {}
        raw_.push_back(static_cast<std::uint8_t>(top));
        c_ &= 0x7FFFF;
        ct_ = 8;
    }

    std::uint32_t a_ = 0x10000, c_ = 0;
    int ct_ = 11;
    Bytes raw_;
};

inline int ClassOf(int difference, int lower, int upper) {
    const int magnitude = std::abs(difference);
    if (2 * magnitude <= (1 << lower)) return 0;
    if (magnitude <= (1 << upper)) return difference > 0 ? 1 : 2;
    return difference > 0 ? 3 : 4;
}

// The statistics of one lossless table, as the decoder keeps them.
struct LosslessStatistics {
    std::uint8_t bins[158] = {};
    int lower = 0, upper = 1;

    void Encode(QmEncoder &coder, int difference, int da, int db) {
        const int above = ClassOf(db, lower, upper);
        std::uint8_t *zero = &bins[4 * (5 * ClassOf(da, lower, upper) + above)];
        coder.Encode(zero[0], difference != 0);
        if (difference == 0) return;
        coder.Encode(zero[1], difference < 0);
        const int rest = std::abs(difference) - 1;
        coder.Encode(zero[difference < 0 ? 3 : 2], rest > 0);
        if (rest == 0) return;
        std::uint8_t *x = &bins[above > 2 ? 129 : 100];
        coder.Encode(x[0], rest > 1);
        if (rest == 1) return;
        int top = 2, k = 1;
        for (; rest >= 2 * top; top <<= 1) coder.Encode(x[k++], 1);
        coder.Encode(x[k], 0);
        for (top >>= 1; top > 0; top >>= 1) coder.Encode(x[k + 14], (rest & top) != 0);
    }
};


struct LosslessOptions {
    int predictor = 1;
    int restartRows = 0;        // MCU rows in a restart interval, 0: none
    bool perComponent = false;  // a scan for each component
    int lower = -1, upper = 1;  // L and U of table 1 in a DAC segment, when lower >= 0
    std::vector<int> sampling = {};  // 0xHV for each component; 1x1 when empty
};

inline int Predicted(int predictor, int left, int above, int aboveLeft) {
    const int values[] = {left, above, aboveLeft, left + above - aboveLeft, left + ((above - aboveLeft) >> 1),
                          above + ((left - aboveLeft) >> 1), (left + above) >> 1};
    return values[predictor - 1];
}

// An arithmetic-coded lossless file (SOF11) of the samples. The first
// component uses table 0, the others table 1. A subsampled component takes
// the sample at the top left of the area each of its samples covers.
inline Bytes ArithmeticLosslessFile(const LosslessJpeg::Samples &s, const LosslessOptions &o) {
    auto word = [](int v) { return Bytes{static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)}; };
    auto segment = [&](Bytes &out, std::uint8_t marker, const Bytes &body) {
        out.insert(out.end(), {0xFF, marker});
        const Bytes length = word(static_cast<int>(body.size()) + 2);
        out.insert(out.end(), length.begin(), length.end());
        out.insert(out.end(), body.begin(), body.end());
    };
    std::vector<int> h, v;
    for (int c = 0; c < s.components; ++c) {
        const int factors = o.sampling.empty() ? 0x11 : o.sampling[static_cast<std::size_t>(c)];
        h.push_back(factors >> 4);
        v.push_back(factors & 15);
    }
    const int hmax = *std::max_element(h.begin(), h.end()), vmax = *std::max_element(v.begin(), v.end());
    Bytes out{0xFF, 0xD8};
    if (o.lower >= 0) segment(out, 0xCC, {0x01, static_cast<std::uint8_t>(o.upper << 4 | o.lower)});
    Bytes frame{static_cast<std::uint8_t>(s.bits)};
    for (int value : {s.height, s.width}) frame.insert(frame.end(), {word(value)[0], word(value)[1]});
    frame.push_back(static_cast<std::uint8_t>(s.components));
    for (int c = 0; c < s.components; ++c)
        frame.insert(frame.end(), {static_cast<std::uint8_t>(c + 1), static_cast<std::uint8_t>(h[c] << 4 | v[c]), 0});
    segment(out, 0xCB, frame);
    std::vector<std::vector<int>> scans(1);
    for (int c = 0; c < s.components; ++c) {
        if (o.perComponent && c > 0) scans.emplace_back();
        scans.back().push_back(c);
    }
    const bool anyInterleaved = scans[0].size() > 1;
    const int mcusPerRow = anyInterleaved ? (s.width + hmax - 1) / hmax : s.width;
    if (o.restartRows > 0) segment(out, 0xDD, word(o.restartRows * mcusPerRow));
    for (const std::vector<int> &scan : scans) {
        Bytes header{static_cast<std::uint8_t>(scan.size())};
        for (int c : scan) {
            const std::uint8_t table = c == 0 ? 0x00 : 0x10;
            header.insert(header.end(), {static_cast<std::uint8_t>(c + 1), table});
        }
        header.insert(header.end(), {static_cast<std::uint8_t>(o.predictor), 0, 0});
        segment(out, 0xDA, header);
        const bool interleaved = scan.size() > 1;
        // Sample and difference planes, padded to whole MCUs.
        const int mcusX = interleaved ? (s.width + hmax - 1) / hmax : (s.width * h[scan[0]] + hmax - 1) / hmax;
        const int mcusY = interleaved ? (s.height + vmax - 1) / vmax : (s.height * v[scan[0]] + vmax - 1) / vmax;
        std::vector<std::vector<int>> values(scan.size()), differences(scan.size());
        std::vector<int> hs, vs, widths;
        for (std::size_t n = 0; n < scan.size(); ++n) {
            hs.push_back(interleaved ? h[scan[n]] : 1);
            vs.push_back(interleaved ? v[scan[n]] : 1);
            widths.push_back(mcusX * hs[n]);
            values[n].resize(static_cast<std::size_t>(widths[n] * mcusY * vs[n]));
            differences[n].resize(values[n].size());
        }
        std::vector<LosslessStatistics> statistics(2);
        statistics[1].lower = std::max(o.lower, 0);
        statistics[1].upper = o.lower >= 0 ? o.upper : 1;
        const std::vector<LosslessStatistics> fresh = statistics;
        QmEncoder coder;
        for (int my = 0, restarts = 0; my < mcusY; ++my) {
            const bool starts = my == 0 || (o.restartRows > 0 && my % o.restartRows == 0);
            if (my > 0 && starts) {
                const Bytes part = coder.Finish();
                out.insert(out.end(), part.begin(), part.end());
                out.insert(out.end(), {0xFF, static_cast<std::uint8_t>(0xD0 + restarts++ % 8)});
                statistics = fresh;
            }
            for (int mx = 0; mx < mcusX; ++mx)
                for (std::size_t n = 0; n < scan.size(); ++n)
                    for (int dy = 0; dy < vs[n]; ++dy)
                        for (int dx = 0; dx < hs[n]; ++dx) {
                            const int c = scan[n], x = mx * hs[n] + dx, y = my * vs[n] + dy;
                            const bool first = starts && dy == 0;
                            auto at = [&](std::vector<int> &plane, int px, int py) -> int & {
                                return plane[static_cast<std::size_t>(py * widths[n] + px)];
                            };
                            // Padding repeats the last sample of the component's rows and columns.
                            const int cx = std::min(x, (s.width * h[c] + hmax - 1) / hmax - 1);
                            const int cy = std::min(y, (s.height * v[c] + vmax - 1) / vmax - 1);
                            at(values[n], x, y) = s.At(cx * hmax / h[c], cy * vmax / v[c], c);
                            int prediction = first && x == 0 ? 1 << (s.bits - 1)
                                             : first         ? at(values[n], x - 1, y)
                                             : x == 0        ? at(values[n], x, y - 1)
                                                             : Predicted(o.predictor, at(values[n], x - 1, y),
                                                                         at(values[n], x, y - 1),
                                                                         at(values[n], x - 1, y - 1));
                            int difference = (at(values[n], x, y) - prediction) & 0xFFFF;
                            if (difference >= 32768) difference -= 65536;
                            at(differences[n], x, y) = difference;
                            statistics[c == 0 ? 0 : 1].Encode(coder, difference,
                                                              x > 0 ? at(differences[n], x - 1, y) : 0,
                                                              first ? 0 : at(differences[n], x, y - 1));
                        }
        }
        const Bytes part = coder.Finish();
        out.insert(out.end(), part.begin(), part.end());
    }
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

}  // namespace ZavorTest::ArithmeticJpeg
