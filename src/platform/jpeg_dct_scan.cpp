#include "platform/jpeg_dct_scan.h"
#include "platform/jpeg_markers.h"

#include <algorithm>
#include <limits>
#include <string>

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "JPEG";

int DivideUp(std::int64_t value, std::int64_t by) { return static_cast<int>((value + by - 1) / by); }

// A coefficient that does not fit the 16 bits every decoder holds it in.
std::int16_t Coefficient(int value) {
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        Damaged(kFormat, "the coded data holds an invalid coefficient");
    return static_cast<std::int16_t>(value);
}

void ReadQuantizationTables(std::span<const std::uint8_t> segment, JpegTables &tables) {
    std::size_t at = 0;
    while (at < segment.size()) {
        int wide = segment[at] >> 4, slot = segment[at] & 15;
        if (wide > 1 || slot > 3) Damaged(kFormat, "a quantization table is invalid");
        const std::size_t size = wide ? 128 : 64;
        if (segment.size() - at - 1 < size) Damaged(kFormat, "a quantization table is cut short");
        auto &table = tables.quantization[static_cast<std::size_t>(slot)];
        for (std::size_t k = 0; k < 64; ++k) {
            const std::uint8_t *q = &segment[at + 1 + (wide ? 2 * k : k)];
            table[kZigzag[k]] = static_cast<std::uint16_t>(wide ? q[0] << 8 | q[1] : q[0]);
        }
        tables.quantizationDefined[static_cast<std::size_t>(slot)] = true;
        at += 1 + size;
    }
}

}  // namespace

bool JpegTables::Read(std::uint8_t marker, std::span<const std::uint8_t> segment) {
    switch (marker) {
    case 0xC4: huffman.Read(segment); return true;
    case 0xCC: ReadArithmeticConditioning(segment, conditioning); return true;
    case 0xDB: ReadQuantizationTables(segment, *this); return true;
    case 0xDD:
        if (segment.size() != 2) Damaged(kFormat, "the restart interval is invalid");
        restartInterval = segment[0] << 8 | segment[1];
        return true;
    default: return false;
    }
}

DctFrame ReadFrameHeader(std::span<const std::uint8_t> segment) {
    if (segment.size() < 6) Damaged(kFormat, "the frame header is cut short");
    DctFrame frame;
    frame.precision = segment[0];
    frame.height = segment[1] << 8 | segment[2];
    frame.width = segment[3] << 8 | segment[4];
    const std::size_t count = segment[5];
    if (count == 0 || count > 4 || segment.size() != 6 + 3 * count) Damaged(kFormat, "the frame header is invalid");
    for (std::size_t n = 0; n < count; ++n) {
        const std::uint8_t *c = &segment[6 + 3 * n];
        DctComponent component;
        component.id = c[0];
        component.h = c[1] >> 4;
        component.v = c[1] & 15;
        component.tq = c[2];
        if (component.h < 1 || component.h > 4 || component.v < 1 || component.v > 4 || component.tq > 3)
            Damaged(kFormat, "the frame header is invalid");
        for (const DctComponent &other : frame.components)
            if (other.id == component.id) Damaged(kFormat, "the frame header is invalid");
        component.successive.fill(-1);
        frame.hMax = std::max(frame.hMax, component.h);
        frame.vMax = std::max(frame.vMax, component.v);
        frame.components.push_back(std::move(component));
    }
    CheckDimensions(frame.width, frame.height, kFormat);
    frame.mcusWide = DivideUp(frame.width, 8 * frame.hMax);
    frame.mcusHigh = DivideUp(frame.height, 8 * frame.vMax);
    for (DctComponent &c : frame.components) {
        c.width = DivideUp(std::int64_t{frame.width} * c.h, frame.hMax);
        c.height = DivideUp(std::int64_t{frame.height} * c.v, frame.vMax);
        c.blocksWide = DivideUp(c.width, 8);
        c.blocksHigh = DivideUp(c.height, 8);
        c.storedWide = frame.mcusWide * c.h;
        c.storedHigh = frame.mcusHigh * c.v;
    }
    return frame;
}

void AllocateCoefficients(DctFrame &frame, std::size_t remaining) {
    std::uint64_t blocks = 0;
    for (const DctComponent &c : frame.components)
        blocks += static_cast<std::uint64_t>(c.blocksWide) * static_cast<std::uint64_t>(c.blocksHigh);
    CheckCodedSize(blocks, 64, remaining, frame.entropy == EntropyCoding::Arithmetic);
    for (DctComponent &c : frame.components)
        c.coefficients.assign(static_cast<std::size_t>(c.storedWide) * static_cast<std::size_t>(c.storedHigh) * 64, 0);
}

namespace {

// Refuses a progressive scan that codes a coefficient's bits out of turn,
// and records the bits it codes.
void CheckProgression(DctFrame &frame, const DctScan &scan) {
    for (std::size_t c : scan.components) {
        DctComponent &component = frame.components[c];
        if (scan.ss > 0 && component.successive[0] < 0)
            Damaged(kFormat, "the scans of a progressive frame are out of order");
        for (int k = scan.ss; k <= scan.se; ++k) {
            int &last = component.successive[static_cast<std::size_t>(k)];
            if (scan.ah != std::max(last, 0) || (last >= 0 && scan.ah == 0))
                Damaged(kFormat, "the scans of a progressive frame are out of order");
            last = scan.al;
        }
    }
}

}  // namespace

DctScan ReadDctScan(std::span<const std::uint8_t> segment, DctFrame &frame, const JpegTables &tables) {
    if (segment.empty() || segment[0] == 0 || segment[0] > 4 ||
        segment.size() != 4 + 2 * static_cast<std::size_t>(segment[0]))
        Damaged(kFormat, "a scan header is invalid");
    DctScan scan;
    int blocksInMcu = 0;
    for (std::size_t n = 0; n < segment[0]; ++n) {
        int id = segment[1 + 2 * n];
        auto found = std::find_if(frame.components.begin(), frame.components.end(),
                                  [id](const DctComponent &c) { return c.id == id; });
        if (found == frame.components.end()) Damaged(kFormat, "a scan header is invalid");
        const std::size_t index = static_cast<std::size_t>(found - frame.components.begin());
        if (std::find(scan.components.begin(), scan.components.end(), index) != scan.components.end())
            Damaged(kFormat, "a scan header is invalid");
        scan.components.push_back(index);
        scan.dcTable.push_back(segment[2 + 2 * n] >> 4);
        scan.acTable.push_back(segment[2 + 2 * n] & 15);
        blocksInMcu += found->h * found->v;
    }
    const std::size_t tail = 1 + 2 * static_cast<std::size_t>(segment[0]);
    scan.ss = segment[tail];
    scan.se = segment[tail + 1];
    scan.ah = segment[tail + 2] >> 4;
    scan.al = segment[tail + 2] & 15;
    if (scan.components.size() > 1 && blocksInMcu > 10) Damaged(kFormat, "a scan header is invalid");
    if (frame.coding == DctCoding::Sequential) {
        if (scan.ss != 0 || scan.se != 63 || scan.ah != 0 || scan.al != 0) Damaged(kFormat, "a scan header is invalid");
        for (std::size_t c : scan.components) {
            if (frame.components[c].scanned) Damaged(kFormat, "a scan header is invalid");
            frame.components[c].scanned = true;
        }
    } else {
        if (scan.se > 63 || scan.ss > scan.se || (scan.ss == 0 && scan.se != 0) ||
            (scan.ss > 0 && scan.components.size() != 1) || scan.al > 13 || (scan.ah != 0 && scan.al != scan.ah - 1))
            Damaged(kFormat, "a scan header is invalid");
        CheckProgression(frame, scan);
    }
    // Which tables a scan needs: DC ones for its first DC bits, AC ones for
    // the bands of AC coefficients. Arithmetic coding starts every table
    // from the same state, defined or not.
    for (std::size_t n = 0; n < scan.components.size() && frame.entropy == EntropyCoding::Huffman; ++n) {
        const bool needsDc = scan.ss == 0 && scan.ah == 0, needsAc = scan.se > 0;
        if ((needsDc && (scan.dcTable[n] > 3 || !tables.huffman.dc[static_cast<std::size_t>(scan.dcTable[n])].defined)) ||
            (needsAc && (scan.acTable[n] > 3 || !tables.huffman.ac[static_cast<std::size_t>(scan.acTable[n])].defined)))
            Damaged(kFormat, "a scan uses a Huffman table that is not defined");
    }
    return scan;
}

void LatchQuantization(DctFrame &frame, const DctScan &scan, const JpegTables &tables) {
    for (std::size_t c : scan.components) {
        DctComponent &component = frame.components[c];
        if (component.latched) continue;
        if (!tables.quantizationDefined[static_cast<std::size_t>(component.tq)])
            Damaged(kFormat, "a scan uses a quantization table that is not defined");
        component.quantization = tables.quantization[static_cast<std::size_t>(component.tq)];
        component.latched = true;
    }
}

HuffmanDctDecoder::HuffmanDctDecoder(std::span<const std::uint8_t> bytes, std::size_t at, const DctFrame &frame,
                                     const DctScan &scan, const JpegTables &tables)
    : bits_(bytes, at), scan_(scan), differential_(frame.kind == FrameKind::Differential),
      predictions_(scan.components.size(), 0) {
    for (std::size_t n = 0; n < scan.components.size(); ++n) {
        dc_.push_back(&tables.huffman.dc[static_cast<std::size_t>(scan.dcTable[n] & 3)]);
        ac_.push_back(&tables.huffman.ac[static_cast<std::size_t>(scan.acTable[n] & 3)]);
    }
}

void HuffmanDctDecoder::Restart(int number) {
    bits_.Restart(number);
    std::fill(predictions_.begin(), predictions_.end(), 0);
    eobRun_ = 0;
}

int HuffmanDctDecoder::Extend(int size) {
    if (size > 16) Damaged(kFormat, "the coded data holds an invalid coefficient");
    return ReadExtended(bits_, size);
}

void HuffmanDctDecoder::DecodeBlock(std::size_t index, std::int16_t *block) {
    if (scan_.ss == 0) {
        if (scan_.ah == 0) DcFirst(index, block);
        else if (bits_.Read(1)) block[0] = static_cast<std::int16_t>(block[0] | 1 << scan_.al);
        if (scan_.se == 0) return;
        // A sequential scan: the AC coefficients follow in the same block.
        for (int k = 1; k <= 63; ++k) {
            int symbol = ac_[index]->Decode(bits_), run = symbol >> 4, size = symbol & 15;
            if (size == 0) {
                if (run != 15) return;
                k += 15;
                continue;
            }
            k += run;
            if (k > 63) Damaged(kFormat, "the coded data holds an invalid coefficient");
            block[kZigzag[static_cast<std::size_t>(k)]] = Coefficient(Extend(size));
        }
        return;
    }
    if (scan_.ah == 0) AcFirst(index, block);
    else AcRefine(index, block);
}

// Differential frames code each DC value as it is, with no prediction.
void HuffmanDctDecoder::DcFirst(std::size_t index, std::int16_t *block) {
    int value = Extend(dc_[index]->Decode(bits_));
    if (!differential_) {
        value += predictions_[index];
        predictions_[index] = value;
    }
    block[0] = Coefficient(value * (1 << scan_.al));
}

void HuffmanDctDecoder::AcFirst(std::size_t index, std::int16_t *block) {
    if (eobRun_ > 0) {
        --eobRun_;
        return;
    }
    for (int k = scan_.ss; k <= scan_.se; ++k) {
        int symbol = ac_[index]->Decode(bits_), run = symbol >> 4, size = symbol & 15;
        if (size == 0) {
            if (run == 15) {
                k += 15;
                continue;
            }
            eobRun_ = (1 << run) + static_cast<int>(bits_.Read(run)) - 1;
            return;
        }
        k += run;
        if (k > scan_.se) Damaged(kFormat, "the coded data holds an invalid coefficient");
        block[kZigzag[static_cast<std::size_t>(k)]] = Coefficient(Extend(size) * (1 << scan_.al));
    }
}

// Each coefficient already known gets one more bit; new ones, of
// magnitude one at this bit, take the place of the zeros the run counts.
void HuffmanDctDecoder::AcRefine(std::size_t index, std::int16_t *block) {
    const int plus = 1 << scan_.al, minus = -plus;
    auto refine = [&](std::int16_t &coefficient) {
        if (bits_.Read(1) && (coefficient & plus) == 0)
            coefficient = static_cast<std::int16_t>(coefficient + (coefficient >= 0 ? plus : minus));
    };
    int k = scan_.ss;
    if (eobRun_ == 0) {
        for (; k <= scan_.se; ++k) {
            int symbol = ac_[index]->Decode(bits_), run = symbol >> 4, size = symbol & 15, value = 0;
            if (size != 0) {
                if (size != 1) Damaged(kFormat, "the coded data holds an invalid coefficient");
                value = bits_.Read(1) ? plus : minus;
            } else if (run != 15) {
                eobRun_ = (1 << run) + static_cast<int>(bits_.Read(run));
                break;
            }
            for (; k <= scan_.se; ++k) {
                std::int16_t &coefficient = block[kZigzag[static_cast<std::size_t>(k)]];
                if (coefficient != 0) refine(coefficient);
                else if (run-- == 0) break;
            }
            if (value != 0) {
                if (k > scan_.se) Damaged(kFormat, "the coded data holds an invalid coefficient");
                block[kZigzag[static_cast<std::size_t>(k)]] = static_cast<std::int16_t>(value);
            }
        }
    }
    if (eobRun_ > 0) {
        for (; k <= scan_.se; ++k) {
            std::int16_t &coefficient = block[kZigzag[static_cast<std::size_t>(k)]];
            if (coefficient != 0) refine(coefficient);
        }
        --eobRun_;
    }
}

namespace {

ArithmeticDctScanParameters ArithmeticParameters(const DctScan &scan) {
    ArithmeticDctScanParameters parameters;
    parameters.ss = scan.ss;
    parameters.se = scan.se;
    parameters.ah = scan.ah;
    parameters.al = scan.al;
    for (std::size_t n = 0; n < scan.components.size(); ++n)
        parameters.components.push_back({scan.dcTable[n], scan.acTable[n]});
    return parameters;
}

}  // namespace

ArithmeticDctDecoder::ArithmeticDctDecoder(std::span<const std::uint8_t> bytes, std::size_t at, const DctFrame &frame,
                                           const DctScan &scan, const JpegTables &tables)
    : decoder_(bytes, at),
      statistics_(ArithmeticParameters(scan), tables.conditioning,
                  frame.kind == FrameKind::Differential ? DcPrediction::None : DcPrediction::PreviousBlock) {}

void ArithmeticDctDecoder::DecodeBlock(std::size_t index, std::int16_t *block) {
    statistics_.DecodeBlock(decoder_, index, block);
}

void ArithmeticDctDecoder::Restart(int number) {
    decoder_.Restart(number);
    statistics_.Restart();
}

// What the decoder made of bytes past the end of the file is invented.
std::size_t ArithmeticDctDecoder::End() {
    if (decoder_.RanOut()) Damaged(kFormat, "the coded data ends early");
    return decoder_.End();
}

std::unique_ptr<DctBlockDecoder> MakeDctBlockDecoder(std::span<const std::uint8_t> bytes, std::size_t at,
                                                     const DctFrame &frame, const DctScan &scan,
                                                     const JpegTables &tables) {
    if (frame.entropy == EntropyCoding::Arithmetic)
        return std::make_unique<ArithmeticDctDecoder>(bytes, at, frame, scan, tables);
    return std::make_unique<HuffmanDctDecoder>(bytes, at, frame, scan, tables);
}

std::size_t DecodeDctScan(DctFrame &frame, const DctScan &scan, int restartInterval, DctBlockDecoder &decoder) {
    const bool single = scan.components.size() == 1;
    const DctComponent &only = frame.components[scan.components[0]];
    const int wide = single ? only.blocksWide : frame.mcusWide, high = single ? only.blocksHigh : frame.mcusHigh;
    int interval = 0, marker = 0;
    for (int y = 0; y < high; ++y)
        for (int x = 0; x < wide; ++x) {
            if (restartInterval > 0 && interval == restartInterval) {
                decoder.Restart(marker);
                marker = (marker + 1) % 8;
                interval = 0;
            }
            ++interval;
            if (single) {
                decoder.DecodeBlock(0, frame.components[scan.components[0]].Block(x, y));
                continue;
            }
            for (std::size_t n = 0; n < scan.components.size(); ++n) {
                DctComponent &c = frame.components[scan.components[n]];
                for (int v = 0; v < c.v; ++v)
                    for (int h = 0; h < c.h; ++h) decoder.DecodeBlock(n, c.Block(x * c.h + h, y * c.v + v));
            }
        }
    return decoder.End();
}

}  // namespace ZavorPlatform::ImageFormats
