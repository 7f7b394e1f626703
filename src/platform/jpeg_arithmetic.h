// Arithmetic-coded JPEG entropy decoding of our own: libjpeg 2.1 decodes
// only sequential and progressive frames, while lossless and differential
// (hierarchical) frames need the same coder. The pieces are kept apart so
// that every frame type can use them: the binary decoder over the bytes of
// one entropy-coded segment, the conditioning from DAC segments, and the
// statistics of a DCT scan and of a lossless scan. Every malformed input
// ends in ImageError Damaged ("JPEG: ...").
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ZavorPlatform::ImageFormats {

// One adaptive probability estimate: the state's index in the low seven
// bits, the more probable symbol in the top bit. Zero is the state every
// estimate starts from.
using ArithmeticBin = std::uint8_t;

// The states an estimate moves through.
struct ArithmeticEstimate {
    std::uint16_t qe;  // the less probable symbol's share of 0x10000
    std::uint8_t nextLps, nextMps;
    bool exchange;  // the symbols swap roles after a less probable one
};
extern const std::array<ArithmeticEstimate, 113> kArithmeticEstimates;

// The binary decoder over one entropy-coded segment of the file. Byte
// stuffing is undone; at a marker, and at the end of the file, zero bytes
// are fed, since the encoder drops trailing zeros. Running into the end of
// the file is remembered: such a scan was cut, and what it decodes past
// that point is invented.
class JpegArithmeticDecoder {
public:
    // `at` is the segment's first byte (right after the scan header).
    JpegArithmeticDecoder(std::span<const std::uint8_t> bytes, std::size_t at);

    // One decision with the adaptive estimate `bin`, which it updates.
    int Decode(ArithmeticBin &bin);
    // One decision with an even estimate that never adapts (signs and
    // correction bits of progressive scans).
    int DecodeFixed();

    // Steps over the rest of the interval to the restart marker RSTn with
    // n = `number` (0 to 7), which must follow, and starts decoding afresh.
    void Restart(int number);
    // The offset of the marker that ends the segment, or the file's size
    // when none does.
    std::size_t End();
    // Whether bytes past the end of the file were needed.
    bool RanOut() const { return ranOut_; }

private:
    void Start();
    void ByteIn();
    void Renormalise();

    std::span<const std::uint8_t> bytes_;
    std::size_t at_;
    std::uint32_t a_ = 0;  // the interval's size
    std::uint32_t c_ = 0;  // the code; its upper 16 bits are compared with a_
    int ct_ = 0;           // bits left in c_'s low byte before the next byte is due
    bool ranOut_ = false;
};

// The conditioning of the statistics, by table slot: L and U bound the
// "small" differences of DC and lossless tables, Kx splits the AC
// magnitude statistics into low and high frequencies.
struct ArithmeticConditioning {
    std::array<int, 4> lower{0, 0, 0, 0};
    std::array<int, 4> upper{1, 1, 1, 1};
    std::array<int, 4> kx{5, 5, 5, 5};
};

// Applies a DAC segment (the bytes after its length) to `conditioning`.
void ReadArithmeticConditioning(std::span<const std::uint8_t> segment, ArithmeticConditioning &conditioning);

// A component of a scan: its DC (or lossless) and AC table slots, 0 to 3.
struct ArithmeticScanComponent {
    int dcTable = 0;
    int acTable = 0;
};

struct ArithmeticDctScanParameters {
    int ss = 0, se = 63;  // the spectral band, in zigzag order
    int ah = 0, al = 0;   // the successive approximation bits
    std::vector<ArithmeticScanComponent> components;
};

// In a differential frame the DC coefficient of each block is a correction
// of the upsampled reference, not a level, so it has no neighbour to be
// predicted from: its difference is coded with the same statistics, but the
// prediction is always 0 (and the coded difference still conditions the
// next block's).
enum class DcPrediction { PreviousBlock, None };

// The statistics of one DCT scan: sequential (Ss 0, Se 63), or a
// progressive DC first or refinement scan (Ss 0, Se 0), or an AC first or
// refinement scan (Ss > 0, one component).
class ArithmeticDctScan {
public:
    ArithmeticDctScan(ArithmeticDctScanParameters parameters, const ArithmeticConditioning &conditioning,
                      DcPrediction prediction = DcPrediction::PreviousBlock);

    // At a restart marker: every estimate and every DC prediction starts again.
    void Restart();
    // Decodes one block of the scan component `scanComponent` (an index into
    // the parameters' components). `block` is in natural order: first scans
    // set the coefficients of their band, refinement scans add their bits to
    // what earlier scans left there.
    void DecodeBlock(JpegArithmeticDecoder &decoder, std::size_t scanComponent, std::int16_t block[64]);

private:
    struct ComponentState {
        int prediction = 0;  // the previous block's DC, as coded (before Al)
        int context = 0;     // the class of the previous block's DC difference
    };
    void DecodeDc(JpegArithmeticDecoder &decoder, std::size_t scanComponent, std::int16_t block[64]);
    void DecodeAc(JpegArithmeticDecoder &decoder, int table, std::int16_t block[64]);
    void RefineAc(JpegArithmeticDecoder &decoder, int table, std::int16_t block[64]);

    ArithmeticDctScanParameters parameters_;
    ArithmeticConditioning conditioning_;
    DcPrediction prediction_;
    std::array<std::array<ArithmeticBin, 49>, 4> dc_{};
    std::array<std::array<ArithmeticBin, 245>, 4> ac_{};
    std::vector<ComponentState> states_;
};

// The statistics of one lossless scan.
class ArithmeticLosslessScan {
public:
    // `tables`: the table slot of each scan component.
    ArithmeticLosslessScan(std::vector<int> tables, const ArithmeticConditioning &conditioning);

    void Restart();
    // The next difference of scan component `scanComponent`, from -32768 to
    // 32768 (the caller reduces samples modulo 2^16). The context is the
    // component's differences already decoded next to the sample, as coded:
    // `da` the one left of it, 0 at the start of a row; `db` the one above
    // it, 0 in the first row of the scan and in the first row of each
    // restart interval.
    int DecodeDifference(JpegArithmeticDecoder &decoder, std::size_t scanComponent, int da, int db);

private:
    std::vector<int> tables_;
    ArithmeticConditioning conditioning_;
    std::array<std::array<ArithmeticBin, 158>, 4> bins_{};
};

}  // namespace ZavorPlatform::ImageFormats
