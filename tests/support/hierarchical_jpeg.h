// A small hierarchical JPEG encoder for the tests, written apart from the
// decoder: a first frame at a fraction of the size, then differential
// frames, each after an expansion of the picture so far, coding the
// difference between the samples of its size and that expanded picture.
// DCT frames are Huffman-coded (sequential, or progressive with a DC scan
// and one scan of all AC coefficients per component) with fixed-length
// codes; lossless frames predict from the left neighbour (first frames)
// or code the differences as they are (differential ones). The encoder keeps its own reconstruction, which a decoder must
// reproduce.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "support/arithmetic_jpeg.h"

namespace ZavorTest::HierarchicalJpeg {

using Bytes = std::vector<std::uint8_t>;

// One component's samples, top row first.
struct Plane {
    int width = 0, height = 0;
    std::vector<int> values;

    // Samples beyond the edge repeat the edge, as the blocks' padding.
    int At(int x, int y) const {
        x = std::min(x, width - 1);
        y = std::min(y, height - 1);
        return values[static_cast<std::size_t>(y * width + x)];
    }
};

// Lossless: every frame lossless; LosslessLast: DCT frames, the last one
// lossless.
enum class Coding { Sequential, Progressive, Lossless, LosslessLast };

struct Plan {
    int width = 0, height = 0;
    std::vector<std::pair<int, int>> sampling;  // h, v for each component
    // For each differential frame: whether the picture so far is doubled
    // in width and in height before it.
    std::vector<std::pair<bool, bool>> expansions;
    Coding coding = Coding::Sequential;
    int quantizationFirst = 6, quantizationDifferential = 2;  // the same step for every coefficient
    // Arithmetic coding (sequential DCT frames and lossless ones), with the
    // conditioning of a DAC segment: DC and lossless bounds 1 and 3, AC
    // split at 8.
    bool arithmetic = false;
    Bytes markers;        // after SOI
    int restartInterval = 0;  // MCUs of sequential DCT frames, rows of lossless ones
};

struct Encoded {
    Bytes file;
    std::vector<Plane> reconstruction;  // each component at its full size
};

namespace Detail {

inline int Up(int value, int by) { return (value + by - 1) / by; }

using LosslessJpeg::BitWriter;
using LosslessJpeg::Segment;

constexpr int kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
                             41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
                             30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

inline double Weight(int position, int frequency) {
    return (frequency == 0 ? std::sqrt(0.5) : 1.0) * std::cos((2 * position + 1) * frequency * std::numbers::pi / 16);
}

// The quantized coefficients of 64 samples (natural order both).
inline std::vector<int> Forward(const double *samples, int step) {
    std::vector<int> out(64);
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
            double sum = 0;
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) sum += samples[y * 8 + x] * Weight(x, u) * Weight(y, v);
            out[static_cast<std::size_t>(v * 8 + u)] = static_cast<int>(std::lround(sum / 4 / step));
        }
    return out;
}

inline void Inverse(const std::vector<int> &coefficients, int step, double *out) {
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            double sum = 0;
            for (int v = 0; v < 8; ++v)
                for (int u = 0; u < 8; ++u)
                    sum += coefficients[static_cast<std::size_t>(v * 8 + u)] * step * Weight(x, u) * Weight(y, v);
            out[y * 8 + x] = sum / 4;
        }
}

// Doubles width and/or height: a new sample is the mean (rounded down) of
// its neighbours, the last one repeats the edge.
inline Plane Expanded(const Plane &in, bool wide, bool high) {
    Plane across{wide ? in.width * 2 : in.width, in.height, {}};
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < across.width; ++x)
            across.values.push_back(!wide ? in.At(x, y)
                                    : x % 2 == 0 ? in.At(x / 2, y)
                                                 : (in.At(x / 2, y) + in.At(x / 2 + 1, y)) / 2);
    if (!high) return across;
    Plane out{across.width, across.height * 2, {}};
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.values.push_back(y % 2 == 0 ? across.At(x, y / 2) : (across.At(x, y / 2) + across.At(x, y / 2 + 1)) / 2);
    return out;
}

// DC sizes 0 to 16 as five-bit codes; AC symbols as eight-bit codes.
inline std::vector<int> AcSymbols() {
    std::vector<int> symbols{0x00, 0xF0};
    for (int run = 0; run < 16; ++run)
        for (int size = 1; size <= 14; ++size) symbols.push_back(run << 4 | size);
    return symbols;
}

inline int SizeOf(int value) {
    int size = 0;
    while ((value < 0 ? -value : value) >= 1 << size) ++size;
    return size;
}

inline void PutValue(BitWriter &bits, int value, int size) {
    if (size > 0) bits.Put(static_cast<std::uint32_t>(value > 0 ? value : value + (1 << size) - 1), size);
}

inline void PutAc(BitWriter &bits, const std::vector<int> &block) {
    static const std::vector<int> symbols = AcSymbols();
    auto put = [&](int symbol) {
        bits.Put(static_cast<std::uint32_t>(std::find(symbols.begin(), symbols.end(), symbol) - symbols.begin()), 8);
    };
    int run = 0;
    for (int k = 1; k < 64; ++k) {
        const int value = block[static_cast<std::size_t>(kZigzag[k])];
        if (value == 0) {
            ++run;
            continue;
        }
        for (; run >= 16; run -= 16) put(0xF0);
        put(run << 4 | SizeOf(value));
        PutValue(bits, value, SizeOf(value));
        run = 0;
    }
    if (run > 0) put(0x00);
}

// The statistics of sequential DCT blocks with arithmetic coding, as the
// encoder side keeps them: one table for every component.
class ArithmeticBlocks {
public:
    static constexpr int kLower = 1, kUpper = 3, kSplit = 8;

    explicit ArithmeticBlocks(std::size_t components) : states_(components) {}

    void Restart() {
        *this = ArithmeticBlocks(states_.size());
    }

    // Differential frames code each DC value itself, not its change.
    void Encode(ArithmeticJpeg::QmEncoder &coder, std::size_t c, const std::vector<int> &block, bool differential) {
        State &state = states_[c];
        EncodeDc(coder, state, differential ? block[0] : block[0] - state.previous);
        state.previous = block[0];
        int last = 0;
        for (int k = 1; k < 64; ++k)
            if (block[static_cast<std::size_t>(kZigzag[k])] != 0) last = k;
        for (int k = 1; k < 64; ++k) {
            std::uint8_t *st = &ac_[3 * (k - 1)];
            coder.Encode(st[0], k > last);  // the end of the block
            if (k > last) break;
            while (block[static_cast<std::size_t>(kZigzag[k])] == 0) {
                coder.Encode(st[1], 0);
                st = &ac_[3 * k++];
            }
            coder.Encode(st[1], 1);
            const int value = block[static_cast<std::size_t>(kZigzag[k])];
            std::uint8_t even = 0;  // a fresh estimate each time: the fixed one
            coder.Encode(even, value < 0);
            EncodeMagnitude(coder, st + 2, &ac_[k <= kSplit ? 189 : 217], std::abs(value) - 1, true);
        }
    }

private:
    struct State {
        int previous = 0;
        int context = 0;  // 0, 4, 8, 12 or 16: the class of the last DC difference
    };

    void EncodeDc(ArithmeticJpeg::QmEncoder &coder, State &state, int difference) {
        std::uint8_t *st = &dc_[state.context];
        coder.Encode(st[0], difference != 0);
        if (difference == 0) {
            state.context = 0;
            return;
        }
        coder.Encode(st[1], difference < 0);
        state.context = difference > 0 ? 4 : 8;
        const int m = EncodeMagnitude(coder, st + (difference > 0 ? 2 : 3), &dc_[20], std::abs(difference) - 1, false);
        if (m < (1 << kLower) >> 1) state.context = 0;
        else if (m > (1 << kUpper) >> 1) state.context += 8;
    }

    // The magnitude category of `rest` (the magnitude less one), then its
    // bits; AC coding asks the first context twice. Returns the category's
    // top bit.
    static int EncodeMagnitude(ArithmeticJpeg::QmEncoder &coder, std::uint8_t *st, std::uint8_t *x, int rest, bool ac) {
        int m = 0;
        if (rest > 0) {
            coder.Encode(*st, 1);
            m = 1;
            int shifted = rest;
            if (!ac || (shifted >>= 1) != 0) {
                if (ac) {
                    coder.Encode(*st, 1);
                    m = 2;
                }
                st = x;
                while ((shifted >>= 1) != 0) {
                    coder.Encode(*st, 1);
                    m <<= 1;
                    ++st;
                }
            }
        }
        coder.Encode(*st, 0);
        const int category = m;
        st += 14;
        while ((m >>= 1) != 0) coder.Encode(*st, (rest & m) != 0);
        return category;
    }

    std::vector<State> states_;
    std::uint8_t dc_[49] = {}, ac_[245] = {};
};

struct Frame {
    int width, height;
    bool differential, lossless;
    std::vector<Plane> targets, references;  // references: expanded, differential frames only
};

class Encoder {
public:
    explicit Encoder(const Plan &plan) : plan_(plan) {
        for (auto [h, v] : plan.sampling) {
            hMax_ = std::max(hMax_, h);
            vMax_ = std::max(vMax_, v);
        }
    }

    Plane ComponentAt(const std::vector<int> &picture, int c, int width, int height, int scaleX, int scaleY) const {
        const int components = static_cast<int>(plan_.sampling.size());
        auto [h, v] = plan_.sampling[static_cast<std::size_t>(c)];
        Plane out{Up(width * h, hMax_), Up(height * v, vMax_), {}};
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) {
                const int px = std::min(x * hMax_ / h * scaleX, plan_.width - 1);
                const int py = std::min(y * vMax_ / v * scaleY, plan_.height - 1);
                out.values.push_back(picture[static_cast<std::size_t>((py * plan_.width + px) * components + c)]);
            }
        return out;
    }

    // Codes the frame's blocks; returns the reconstruction of each component.
    std::vector<Plane> CodeFrame(Bytes &out, const Frame &frame) {
        if (frame.lossless) return CodeLossless(out, frame);
        const int step = frame.differential ? plan_.quantizationDifferential : plan_.quantizationFirst;
        const std::size_t count = plan_.sampling.size();
        std::vector<Plane> rebuilt;
        std::vector<std::vector<std::vector<int>>> blocks(count);  // by component, row by row of blocks
        const int mcusWide = Up(frame.width, 8 * hMax_), mcusHigh = Up(frame.height, 8 * vMax_);
        for (std::size_t c = 0; c < count; ++c) {
            const Plane &target = frame.targets[c];
            Plane result{target.width, target.height, std::vector<int>(target.values.size())};
            const int wide = mcusWide * plan_.sampling[c].first, high = mcusHigh * plan_.sampling[c].second;
            for (int by = 0; by < high; ++by)
                for (int bx = 0; bx < wide; ++bx) {
                    double samples[64], back[64];
                    for (int n = 0; n < 64; ++n) {
                        const int x = bx * 8 + n % 8, y = by * 8 + n / 8;
                        samples[n] = target.At(x, y) - (frame.differential ? frame.references[c].At(x, y) : 128);
                    }
                    blocks[c].push_back(Forward(samples, step));
                    Inverse(blocks[c].back(), step, back);
                    for (int n = 0; n < 64; ++n) {
                        const int x = bx * 8 + n % 8, y = by * 8 + n / 8;
                        if (x >= target.width || y >= target.height) continue;
                        const int offset = frame.differential ? frame.references[c].At(x, y) : 128;
                        result.values[static_cast<std::size_t>(y * target.width + x)] =
                            std::clamp(static_cast<int>(std::floor(back[n] + 0.5)) + offset, 0, 255);
                    }
                }
            rebuilt.push_back(std::move(result));
        }
        if (plan_.coding != Coding::Progressive) Scan(out, frame, blocks, mcusWide, mcusHigh, ScanPart::All);
        else {
            Scan(out, frame, blocks, mcusWide, mcusHigh, ScanPart::Dc);
            for (std::size_t c = 0; c < count; ++c) ScanAc(out, frame, blocks[c], c, mcusWide, mcusHigh);
        }
        return rebuilt;
    }

    int hMax_ = 1, vMax_ = 1;

private:
    // One interleaved scan; components sampled 1x1 only.
    std::vector<Plane> CodeLossless(Bytes &out, const Frame &frame) {
        const std::size_t count = plan_.sampling.size();
        Bytes header{static_cast<std::uint8_t>(count)};
        for (std::size_t c = 0; c < count; ++c) header.insert(header.end(), {static_cast<std::uint8_t>(c + 1), 0x00});
        header.insert(header.end(), {static_cast<std::uint8_t>(frame.differential ? 0 : 1), 0, 0});
        Segment(out, 0xDA, header);
        BitWriter bits(out);
        ArithmeticJpeg::QmEncoder coder;
        ArithmeticJpeg::LosslessStatistics statistics;
        statistics.lower = ArithmeticBlocks::kLower;
        statistics.upper = ArithmeticBlocks::kUpper;
        // The differences of the row above and of this one, for the
        // arithmetic coder's contexts.
        std::vector<std::vector<int>> above(count, std::vector<int>(static_cast<std::size_t>(frame.width))),
            current = above;
        const int rows = plan_.restartInterval;
        for (int y = 0; y < frame.height; ++y) {
            if (rows > 0 && y > 0 && y % rows == 0) {
                bits.Flush();
                const Bytes coded = plan_.arithmetic ? coder.Finish() : Bytes{};
                out.insert(out.end(), coded.begin(), coded.end());
                out.insert(out.end(), {0xFF, static_cast<std::uint8_t>(0xD0 + (y / rows - 1) % 8)});
                if (plan_.arithmetic) statistics = {{}, ArithmeticBlocks::kLower, ArithmeticBlocks::kUpper};
            }
            const bool firstRow = rows > 0 ? y % rows == 0 : y == 0;
            for (int x = 0; x < frame.width; ++x)
                for (std::size_t c = 0; c < count; ++c) {
                    const Plane &target = frame.targets[c];
                    int prediction = firstRow ? (x == 0 ? 128 : target.At(x - 1, y))
                                     : x == 0 ? target.At(x, y - 1)
                                              : target.At(x - 1, y);
                    if (frame.differential) prediction = frame.references[c].At(x, y);
                    int difference = (target.At(x, y) - prediction) & 0xFFFF;
                    if (difference >= 32768) difference -= 65536;
                    const std::size_t column = static_cast<std::size_t>(x);
                    current[c][column] = difference;
                    if (plan_.arithmetic) {
                        statistics.Encode(coder, difference, x == 0 ? 0 : current[c][column - 1],
                                          firstRow ? 0 : above[c][column]);
                        continue;
                    }
                    bits.Put(static_cast<std::uint32_t>(SizeOf(difference)), 5);
                    PutValue(bits, difference, SizeOf(difference));
                }
            std::swap(above, current);
        }
        bits.Flush();
        const Bytes coded = plan_.arithmetic ? coder.Finish() : Bytes{};
        out.insert(out.end(), coded.begin(), coded.end());
        return frame.targets;
    }

    enum class ScanPart { All, Dc };

    void Scan(Bytes &out, const Frame &frame, const std::vector<std::vector<std::vector<int>>> &blocks, int mcusWide,
              int mcusHigh, ScanPart part) {
        const std::size_t count = plan_.sampling.size();
        Bytes header{static_cast<std::uint8_t>(count)};
        for (std::size_t c = 0; c < count; ++c) header.insert(header.end(), {static_cast<std::uint8_t>(c + 1), 0x00});
        header.insert(header.end(), {0, static_cast<std::uint8_t>(part == ScanPart::All ? 63 : 0), 0});
        Segment(out, 0xDA, header);
        BitWriter bits(out);
        ArithmeticJpeg::QmEncoder coder;
        ArithmeticBlocks statistics(count);
        std::vector<int> predictions(count, 0);
        int interval = 0, marker = 0;
        for (int my = 0; my < mcusHigh; ++my)
            for (int mx = 0; mx < mcusWide; ++mx) {
                if (plan_.restartInterval > 0 && interval == plan_.restartInterval) {
                    bits.Flush();
                    if (plan_.arithmetic) {
                        const Bytes coded = coder.Finish();
                        out.insert(out.end(), coded.begin(), coded.end());
                        statistics.Restart();
                    }
                    out.insert(out.end(), {0xFF, static_cast<std::uint8_t>(0xD0 + marker)});
                    marker = (marker + 1) % 8;
                    interval = 0;
                    std::fill(predictions.begin(), predictions.end(), 0);
                }
                ++interval;
                for (std::size_t c = 0; c < count; ++c) {
                    auto [h, v] = plan_.sampling[c];
                    for (int y = 0; y < v; ++y)
                        for (int x = 0; x < h; ++x) {
                            const auto &block = blocks[c][static_cast<std::size_t>(
                                (my * v + y) * mcusWide * h + mx * h + x)];
                            if (plan_.arithmetic) {
                                statistics.Encode(coder, c, block, frame.differential);
                                continue;
                            }
                            const int dc = frame.differential ? block[0] : block[0] - predictions[c];
                            predictions[c] = block[0];
                            bits.Put(static_cast<std::uint32_t>(SizeOf(dc)), 5);
                            PutValue(bits, dc, SizeOf(dc));
                            if (part == ScanPart::All) PutAc(bits, block);
                        }
                }
            }
        bits.Flush();
        if (plan_.arithmetic) {
            const Bytes coded = coder.Finish();
            out.insert(out.end(), coded.begin(), coded.end());
        }
    }

    // All AC coefficients of one component, block by block over its own size.
    void ScanAc(Bytes &out, const Frame &frame, const std::vector<std::vector<int>> &blocks, std::size_t c,
                int mcusWide, int) {
        Segment(out, 0xDA, {1, static_cast<std::uint8_t>(c + 1), 0x00, 1, 63, 0});
        BitWriter bits(out);
        const int stored = mcusWide * plan_.sampling[c].first;
        const Plane &target = frame.targets[c];
        for (int by = 0; by < Up(target.height, 8); ++by)
            for (int bx = 0; bx < Up(target.width, 8); ++bx)
                PutAc(bits, blocks[static_cast<std::size_t>(by * stored + bx)]);
        bits.Flush();
    }

    const Plan &plan_;
};

}  // namespace Detail

// `picture`: 8-bit samples, interleaved, top row first.
inline Encoded Encode(const Plan &plan, const std::vector<int> &picture) {
    using namespace Detail;
    Encoder encoder(plan);
    const std::size_t count = plan.sampling.size();
    const std::size_t frames = plan.expansions.size() + 1;
    // Frame sizes from the last back: each expansion halves the one before.
    std::vector<std::pair<int, int>> sizes(frames), scales(frames, {1, 1});
    sizes.back() = {plan.width, plan.height};
    for (std::size_t k = frames - 1; k > 0; --k) {
        auto [wide, high] = plan.expansions[k - 1];
        sizes[k - 1] = {wide ? Up(sizes[k].first, 2) : sizes[k].first, high ? Up(sizes[k].second, 2) : sizes[k].second};
        scales[k - 1] = {scales[k].first * (wide ? 2 : 1), scales[k].second * (high ? 2 : 1)};
    }
    Bytes out{0xFF, 0xD8};
    out.insert(out.end(), plan.markers.begin(), plan.markers.end());
    Bytes tables{0x00};
    tables.insert(tables.end(), 64, static_cast<std::uint8_t>(plan.quantizationFirst));
    tables.push_back(0x01);
    tables.insert(tables.end(), 64, static_cast<std::uint8_t>(plan.quantizationDifferential));
    Segment(out, 0xDB, tables);
    Bytes huffman(17, 0);
    huffman[5] = 17;
    for (int k = 0; k <= 16; ++k) huffman.push_back(static_cast<std::uint8_t>(k));
    const std::vector<int> ac = AcSymbols();
    huffman.push_back(0x10);
    for (int n = 1; n <= 16; ++n) huffman.push_back(n == 8 ? static_cast<std::uint8_t>(ac.size()) : 0);
    for (int symbol : ac) huffman.push_back(static_cast<std::uint8_t>(symbol));
    Segment(out, 0xC4, huffman);
    if (plan.arithmetic)
        Segment(out, 0xCC, {0x00, ArithmeticBlocks::kUpper << 4 | ArithmeticBlocks::kLower, 0x10,
                            ArithmeticBlocks::kSplit});
    auto header = [&](int width, int height, int table) {
        Bytes h{8, static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height),
                static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(count)};
        for (std::size_t c = 0; c < count; ++c)
            h.insert(h.end(), {static_cast<std::uint8_t>(c + 1),
                               static_cast<std::uint8_t>(plan.sampling[c].first << 4 | plan.sampling[c].second),
                               static_cast<std::uint8_t>(table)});
        return h;
    };
    Segment(out, 0xDE, header(plan.width, plan.height, 0));
    std::vector<Plane> rebuilt;
    for (std::size_t k = 0; k < frames; ++k) {
        const bool lossless = plan.coding == Coding::Lossless || (plan.coding == Coding::LosslessLast && k + 1 == frames);
        Frame frame{sizes[k].first, sizes[k].second, k > 0, lossless, {}, {}};
        for (std::size_t c = 0; c < count; ++c)
            frame.targets.push_back(encoder.ComponentAt(picture, static_cast<int>(c), frame.width, frame.height,
                                                        scales[k].first, scales[k].second));
        if (k > 0) {
            auto [wide, high] = plan.expansions[k - 1];
            if (wide || high) Segment(out, 0xDF, {static_cast<std::uint8_t>((wide ? 0x10 : 0) | (high ? 1 : 0))});
            for (const Plane &previous : rebuilt) frame.references.push_back(Expanded(previous, wide, high));
        }
        if (plan.restartInterval > 0) {
            const int interval = lossless ? plan.restartInterval * frame.width : plan.restartInterval;
            Segment(out, 0xDD, {static_cast<std::uint8_t>(interval >> 8), static_cast<std::uint8_t>(interval)});
        }
        // SOF1, SOF2 or SOF3 first, SOF5, SOF6 or SOF7 after; arithmetic
        // coding adds 8.
        const int marker = (k > 0 ? 0xC5 : 0xC1) + (plan.coding == Coding::Progressive ? 1 : 0) + (lossless ? 2 : 0) +
                           (plan.arithmetic ? 8 : 0);
        Segment(out, static_cast<std::uint8_t>(marker), header(frame.width, frame.height, k > 0 ? 1 : 0));
        rebuilt = encoder.CodeFrame(out, frame);
    }
    out.insert(out.end(), {0xFF, 0xD9});
    return {out, rebuilt};
}

}  // namespace ZavorTest::HierarchicalJpeg
