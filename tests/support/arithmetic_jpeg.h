// An arithmetic encoder for tests: the binary coder and the lossless
// statistics written from the encoder's side, so that lossless files can be
// made that no tool at hand writes. Only the table of estimates is shared
// with the decoder; that table is proven by decoding libjpeg's own files.
#pragma once

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

}  // namespace ZavorTest::ArithmeticJpeg
