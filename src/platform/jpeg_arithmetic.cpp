// The binary decoder works on 16-bit fractions: a_ is the size of the
// current interval (renormalised to at least 0x8000), the upper half of
// c_ the code's offset into it. The less probable symbol takes the upper
// part of the interval unless that part would be the larger one, in which
// case the two are exchanged; the estimates move through a fixed table of
// states as the decisions come.
#include "platform/jpeg_arithmetic.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/image_formats.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "JPEG";

}  // namespace

const std::array<ArithmeticEstimate, 113> kArithmeticEstimates{{
    {0x5A1D, 1, 1, true},     {0x2586, 14, 2, false},   {0x1114, 16, 3, false},   {0x080B, 18, 4, false},
    {0x03D8, 20, 5, false},   {0x01DA, 23, 6, false},   {0x00E5, 25, 7, false},   {0x006F, 28, 8, false},
    {0x0036, 30, 9, false},   {0x001A, 33, 10, false},  {0x000D, 35, 11, false},  {0x0006, 9, 12, false},
    {0x0003, 10, 13, false},  {0x0001, 12, 13, false},  {0x5A7F, 15, 15, true},   {0x3F25, 36, 16, false},
    {0x2CF2, 38, 17, false},  {0x207C, 39, 18, false},  {0x17B9, 40, 19, false},  {0x1182, 42, 20, false},
    {0x0CEF, 43, 21, false},  {0x09A1, 45, 22, false},  {0x072F, 46, 23, false},  {0x055C, 48, 24, false},
    {0x0406, 49, 25, false},  {0x0303, 51, 26, false},  {0x0240, 52, 27, false},  {0x01B1, 54, 28, false},
    {0x0144, 56, 29, false},  {0x00F5, 57, 30, false},  {0x00B7, 59, 31, false},  {0x008A, 60, 32, false},
    {0x0068, 62, 33, false},  {0x004E, 63, 34, false},  {0x003B, 32, 35, false},  {0x002C, 33, 9, false},
    {0x5AE1, 37, 37, true},   {0x484C, 64, 38, false},  {0x3A0D, 65, 39, false},  {0x2EF1, 67, 40, false},
    {0x261F, 68, 41, false},  {0x1F33, 69, 42, false},  {0x19A8, 70, 43, false},  {0x1518, 72, 44, false},
    {0x1177, 73, 45, false},  {0x0E74, 74, 46, false},  {0x0BFB, 75, 47, false},  {0x09F8, 77, 48, false},
    {0x0861, 78, 49, false},  {0x0706, 79, 50, false},  {0x05CD, 48, 51, false},  {0x04DE, 50, 52, false},
    {0x040F, 50, 53, false},  {0x0363, 51, 54, false},  {0x02D4, 52, 55, false},  {0x025C, 53, 56, false},
    {0x01F8, 54, 57, false},  {0x01A4, 55, 58, false},  {0x0160, 56, 59, false},  {0x0125, 57, 60, false},
    {0x00F6, 58, 61, false},  {0x00CB, 59, 62, false},  {0x00AB, 61, 63, false},  {0x008F, 61, 32, false},
    {0x5B12, 65, 65, true},   {0x4D04, 80, 66, false},  {0x412C, 81, 67, false},  {0x37D8, 82, 68, false},
    {0x2FE8, 83, 69, false},  {0x293C, 84, 70, false},  {0x2379, 86, 71, false},  {0x1EDF, 87, 72, false},
    {0x1AA9, 87, 73, false},  {0x174E, 72, 74, false},  {0x1424, 72, 75, false},  {0x119C, 74, 76, false},
    {0x0F6B, 74, 77, false},  {0x0D51, 75, 78, false},  {0x0BB6, 77, 79, false},  {0x0A40, 77, 48, false},
    {0x5832, 80, 81, true},   {0x4D1C, 88, 82, false},  {0x438E, 89, 83, false},  {0x3BDD, 90, 84, false},
    {0x34EE, 91, 85, false},  {0x2EAE, 92, 86, false},  {0x299A, 93, 87, false},  {0x2516, 86, 71, false},
    {0x5570, 88, 89, true},   {0x4CA9, 95, 90, false},  {0x44D9, 96, 91, false},  {0x3E22, 97, 92, false},
    {0x3824, 99, 93, false},  {0x32B4, 99, 94, false},  {0x2E17, 93, 86, false},  {0x56A8, 95, 96, true},
    {0x4F46, 101, 97, false}, {0x47E5, 102, 98, false}, {0x41CF, 103, 99, false}, {0x3C3D, 104, 100, false},
    {0x375E, 99, 93, false},  {0x5231, 105, 102, false}, {0x4C0F, 106, 103, false}, {0x4639, 107, 104, false},
    {0x415E, 103, 99, false}, {0x5627, 105, 106, true},  {0x50E7, 108, 107, false}, {0x4B85, 109, 103, false},
    {0x5597, 110, 109, false}, {0x504F, 111, 107, false}, {0x5A10, 110, 111, true},  {0x5522, 112, 109, false},
    {0x59EB, 112, 111, true},
}};

namespace {

constexpr ArithmeticBin kMpsBit = 0x80;

void AfterMps(ArithmeticBin &bin) {
    bin = static_cast<ArithmeticBin>((bin & kMpsBit) | kArithmeticEstimates[bin & 0x7F].nextMps);
}

void AfterLps(ArithmeticBin &bin) {
    const ArithmeticEstimate &estimate = kArithmeticEstimates[bin & 0x7F];
    ArithmeticBin mps = estimate.exchange ? static_cast<ArithmeticBin>((bin & kMpsBit) ^ kMpsBit) : bin & kMpsBit;
    bin = static_cast<ArithmeticBin>(mps | estimate.nextLps);
}

}  // namespace

JpegArithmeticDecoder::JpegArithmeticDecoder(std::span<const std::uint8_t> bytes, std::size_t at)
    : bytes_(bytes), at_(std::min(at, bytes.size())) {
    Start();
}

void JpegArithmeticDecoder::Start() {
    a_ = 0x10000;
    c_ = 0;
    ByteIn();
    c_ <<= 8;
    ByteIn();
    c_ <<= 8;
    ct_ = 0;
}

// Adds the next byte of the segment below the compared half of c_; at a
// marker nothing is consumed and the byte is zero.
void JpegArithmeticDecoder::ByteIn() {
    if (at_ >= bytes_.size()) {
        ranOut_ = true;
        return;
    }
    const std::uint8_t byte = bytes_[at_];
    if (byte != 0xFF) {
        c_ += static_cast<std::uint32_t>(byte) << 8;
        ++at_;
        return;
    }
    if (at_ + 1 >= bytes_.size()) {
        ranOut_ = true;
        return;
    }
    if (bytes_[at_ + 1] == 0x00) {
        c_ += 0xFF00;
        at_ += 2;
    }
}

void JpegArithmeticDecoder::Renormalise() {
    do {
        if (ct_ == 0) {
            ByteIn();
            ct_ = 8;
        }
        a_ <<= 1;
        c_ <<= 1;
        --ct_;
    } while (a_ < 0x8000);
}

int JpegArithmeticDecoder::Decode(ArithmeticBin &bin) {
    const std::uint32_t qe = kArithmeticEstimates[bin & 0x7F].qe;
    const int mps = bin >> 7;
    int decision;
    a_ -= qe;
    if ((c_ >> 16) < a_) {
        if (a_ >= 0x8000) return mps;  // no renormalisation, no new estimate
        // The lower part, which belongs to the more probable symbol unless it is the smaller one.
        if (a_ < qe) {
            decision = 1 - mps;
            AfterLps(bin);
        } else {
            decision = mps;
            AfterMps(bin);
        }
    } else {
        c_ -= a_ << 16;
        if (a_ < qe) {
            decision = mps;
            AfterMps(bin);
        } else {
            decision = 1 - mps;
            AfterLps(bin);
        }
        a_ = qe;
    }
    Renormalise();
    return decision;
}

int JpegArithmeticDecoder::DecodeFixed() {
    ArithmeticBin even = 0;  // the first state, left behind after every use
    return Decode(even);
}

std::size_t JpegArithmeticDecoder::End() {
    while (at_ < bytes_.size()) {
        if (bytes_[at_] != 0xFF) {
            ++at_;
        } else if (at_ + 1 >= bytes_.size()) {
            at_ = bytes_.size();
        } else if (bytes_[at_ + 1] == 0x00 || bytes_[at_ + 1] == 0xFF) {
            ++at_;  // a stuffed byte, or a fill byte before a marker
        } else {
            break;
        }
    }
    return at_;
}

void JpegArithmeticDecoder::Restart(int number) {
    const std::size_t marker = End();
    if (marker + 1 >= bytes_.size() || bytes_[marker + 1] != 0xD0 + number)
        Damaged(kFormat, "a restart marker is missing");
    at_ = marker + 2;
    Start();
}

void ReadArithmeticConditioning(std::span<const std::uint8_t> segment, ArithmeticConditioning &conditioning) {
    if (segment.size() % 2 != 0) Damaged(kFormat, "an arithmetic conditioning table is invalid");
    for (std::size_t at = 0; at < segment.size(); at += 2) {
        const int kind = segment[at] >> 4, slot = segment[at] & 15, value = segment[at + 1];
        if (kind > 1 || slot > 3) Damaged(kFormat, "an arithmetic conditioning table is invalid");
        const std::size_t table = static_cast<std::size_t>(slot);
        if (kind == 0) {
            if ((value & 15) > value >> 4) Damaged(kFormat, "an arithmetic conditioning table is invalid");
            conditioning.lower[table] = value & 15;
            conditioning.upper[table] = value >> 4;
        } else {
            if (value < 1 || value > 63) Damaged(kFormat, "an arithmetic conditioning table is invalid");
            conditioning.kx[table] = value;
        }
    }
}

namespace {

// The class of a difference that conditions the next decisions: zero,
// small or large, each with its sign, as L and U bound them.
int Classify(int difference, int lower, int upper) {
    const int magnitude = std::abs(difference);
    if (magnitude <= (1 << lower) >> 1) return 0;
    if (magnitude <= 1 << upper) return difference > 0 ? 1 : 2;
    return difference > 0 ? 3 : 4;
}

// The magnitude less one of a nonzero difference: `first` decides whether
// it is 0, `x1` whether it is above 1, x2[0..13] how far above (X2 to
// X15), and x2[14..27] give its lower bits (M2 to M15).
int DecodeMagnitude(JpegArithmeticDecoder &decoder, ArithmeticBin &first, ArithmeticBin &x1, ArithmeticBin *x2) {
    if (!decoder.Decode(first)) return 0;
    if (!decoder.Decode(x1)) return 1;
    int top = 2;
    std::size_t k = 0;  // x2[k] decides whether the magnitude reaches 2 * top
    while (decoder.Decode(x2[k])) {
        top <<= 1;
        if (++k == 14) Damaged(kFormat, "the coded data holds an invalid difference");
    }
    int magnitude = top;
    ArithmeticBin &bits = x2[k + 14];
    for (top >>= 1; top > 0; top >>= 1)
        if (decoder.Decode(bits)) magnitude |= top;
    return magnitude;
}

}  // namespace

ArithmeticLosslessScan::ArithmeticLosslessScan(std::vector<int> tables, const ArithmeticConditioning &conditioning)
    : tables_(std::move(tables)), conditioning_(conditioning) {
    for (int table : tables_)
        if (table < 0 || table > 3) Damaged(kFormat, "a scan header is invalid");
}

void ArithmeticLosslessScan::Restart() { bins_ = {}; }

// Bins 0 to 99: the zero, sign and first magnitude decisions for each pair
// of classes of Da and Db. Then two sets of magnitude statistics (X1 to
// X15, then M2 to M15), the second used when the difference above is large.
int ArithmeticLosslessScan::DecodeDifference(JpegArithmeticDecoder &decoder, std::size_t scanComponent, int da,
                                             int db) {
    const std::size_t table = static_cast<std::size_t>(tables_.at(scanComponent));
    const int lower = conditioning_.lower[table], upper = conditioning_.upper[table];
    const int left = Classify(da, lower, upper), above = Classify(db, lower, upper);
    std::array<ArithmeticBin, 158> &bins = bins_[table];
    const std::size_t context = static_cast<std::size_t>(4 * (5 * left + above));
    if (!decoder.Decode(bins[context])) return 0;
    const int negative = decoder.Decode(bins[context + 1]);
    const std::size_t magnitudes = above > 2 ? 129 : 100;
    const int magnitude = DecodeMagnitude(decoder, bins[context + 2 + static_cast<std::size_t>(negative)],
                                          bins[magnitudes], &bins[magnitudes + 1]);
    return negative ? -(magnitude + 1) : magnitude + 1;
}

namespace {

// The natural position of each coefficient in zigzag order.
constexpr std::array<std::uint8_t, 64> kNatural{
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// AC statistics: for each position k from 1 to 63, the end-of-block bin at
// 3 (k - 1), the zero bin after it, and the bin shared by the first two
// magnitude decisions; then the magnitude statistics (X2 to X15, M2 to
// M15) for positions up to Kx at 189, and for those beyond it at 217.
std::size_t EndOfBlockBin(int k) { return static_cast<std::size_t>(3 * (k - 1)); }

[[noreturn]] void RunsPastBand() { Damaged(kFormat, "the coded data runs past the end of a block"); }

}  // namespace

ArithmeticDctScan::ArithmeticDctScan(ArithmeticDctScanParameters parameters,
                                     const ArithmeticConditioning &conditioning, DcPrediction prediction)
    : parameters_(std::move(parameters)), conditioning_(conditioning), prediction_(prediction),
      states_(parameters_.components.size()) {
    const ArithmeticDctScanParameters &p = parameters_;
    bool valid = p.ss >= 0 && p.ss <= p.se && p.se <= 63 && p.ah >= 0 && p.ah <= 13 && p.al >= 0 && p.al <= 13 &&
                 !p.components.empty() && p.components.size() <= 4 && (p.ss == 0 || p.components.size() == 1) &&
                 (p.ss == 0 || p.ah == 0 || p.ah == p.al + 1) && (p.ss > 0 || p.ah == 0 || p.se == 0);
    for (const ArithmeticScanComponent &component : p.components)
        valid = valid && component.dcTable >= 0 && component.dcTable <= 3 && component.acTable >= 0 &&
                component.acTable <= 3;
    if (!valid) Damaged(kFormat, "a scan header is invalid");
}

void ArithmeticDctScan::Restart() {
    dc_ = {};
    ac_ = {};
    std::fill(states_.begin(), states_.end(), ComponentState{});
}

void ArithmeticDctScan::DecodeBlock(JpegArithmeticDecoder &decoder, std::size_t scanComponent,
                                    std::int16_t block[64]) {
    const ArithmeticScanComponent &component = parameters_.components.at(scanComponent);
    if (parameters_.ss == 0) {
        if (parameters_.ah == 0)
            DecodeDc(decoder, scanComponent, block);
        else if (decoder.DecodeFixed())
            block[0] = static_cast<std::int16_t>(block[0] | 1 << parameters_.al);
        if (parameters_.se > 0) DecodeAc(decoder, component.acTable, block);
    } else if (parameters_.ah == 0) {
        DecodeAc(decoder, component.acTable, block);
    } else {
        RefineAc(decoder, component.acTable, block);
    }
}

// DC statistics: for each class of the previous difference, the zero bin,
// the sign bin and the first magnitude bin for either sign (4 from 0 to
// 19); then X1 at 20, X2 to X15 and M2 to M15 from 21.
void ArithmeticDctScan::DecodeDc(JpegArithmeticDecoder &decoder, std::size_t scanComponent,
                                 std::int16_t block[64]) {
    const std::size_t table = static_cast<std::size_t>(parameters_.components[scanComponent].dcTable);
    std::array<ArithmeticBin, 49> &bins = dc_[table];
    ComponentState &state = states_[scanComponent];
    const std::size_t context = static_cast<std::size_t>(4 * state.context);
    int difference = 0;
    if (decoder.Decode(bins[context])) {
        const int negative = decoder.Decode(bins[context + 1]);
        const int magnitude =
            DecodeMagnitude(decoder, bins[context + 2 + static_cast<std::size_t>(negative)], bins[20], &bins[21]);
        difference = negative ? -(magnitude + 1) : magnitude + 1;
    }
    state.context = Classify(difference, conditioning_.lower[table], conditioning_.upper[table]);
    // Levels stay within 16 bits in any file that is not damaged.
    state.prediction = static_cast<std::int16_t>((prediction_ == DcPrediction::PreviousBlock ? state.prediction : 0) +
                                                 difference);
    block[0] = static_cast<std::int16_t>(state.prediction * (1 << parameters_.al));
}

void ArithmeticDctScan::DecodeAc(JpegArithmeticDecoder &decoder, int table, std::int16_t block[64]) {
    std::array<ArithmeticBin, 245> &bins = ac_[static_cast<std::size_t>(table)];
    const int kx = conditioning_.kx[static_cast<std::size_t>(table)];
    for (int k = std::max(parameters_.ss, 1); k <= parameters_.se; ++k) {
        if (decoder.Decode(bins[EndOfBlockBin(k)])) return;
        // An end of block cannot follow a zero, so none is coded before the next position.
        while (!decoder.Decode(bins[EndOfBlockBin(k) + 1]))
            if (++k > parameters_.se) RunsPastBand();
        const int negative = decoder.DecodeFixed();
        ArithmeticBin &first = bins[EndOfBlockBin(k) + 2];
        const int magnitude = DecodeMagnitude(decoder, first, first, &bins[k <= kx ? 189 : 217]) + 1;
        block[kNatural[static_cast<std::size_t>(k)]] =
            static_cast<std::int16_t>((negative ? -magnitude : magnitude) * (1 << parameters_.al));
    }
}

// Coefficients that earlier scans made nonzero get a correction bit each;
// the others may become +-1 << Al. No end of block is coded before the last
// coefficient that was already nonzero.
void ArithmeticDctScan::RefineAc(JpegArithmeticDecoder &decoder, int table, std::int16_t block[64]) {
    std::array<ArithmeticBin, 245> &bins = ac_[static_cast<std::size_t>(table)];
    const int bit = 1 << parameters_.al;
    int lastKnown = parameters_.ss - 1;
    for (int k = parameters_.se; k >= parameters_.ss; --k)
        if (block[kNatural[static_cast<std::size_t>(k)]] != 0) {
            lastKnown = k;
            break;
        }
    for (int k = parameters_.ss; k <= parameters_.se; ++k) {
        if (k > lastKnown && decoder.Decode(bins[EndOfBlockBin(k)])) return;
        for (;;) {
            std::int16_t &coefficient = block[kNatural[static_cast<std::size_t>(k)]];
            if (coefficient != 0) {
                if (decoder.Decode(bins[EndOfBlockBin(k) + 2]))
                    coefficient = static_cast<std::int16_t>(coefficient + (coefficient < 0 ? -bit : bit));
                break;
            }
            if (decoder.Decode(bins[EndOfBlockBin(k) + 1])) {
                coefficient = static_cast<std::int16_t>(decoder.DecodeFixed() ? -bit : bit);
                break;
            }
            if (++k > parameters_.se) RunsPastBand();
        }
    }
}

}  // namespace ZavorPlatform::ImageFormats
