// The arithmetic decoder against an independent encoder: libjpeg writes
// arithmetic-coded sequential and progressive files, libjpeg's own
// coefficients are the truth, and every scan of the file goes through our
// statistics, block by block. Lossless statistics have no such encoder at
// hand; the test encoder's planes must come back exactly, and a cut stream
// must be noticed.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "platform/image_decoder.h"
#include "platform/jpeg_arithmetic.h"
#include "support/arithmetic_jpeg.h"
#include "support/libjpeg_reading.h"

using namespace ZavorPlatform;
using namespace ZavorPlatform::ImageFormats;
using ZavorTest::ArithmeticJpeg::Bytes;
using ZavorTest::LibjpegCoefficients;

namespace {

struct DctCase {
    const char *name;
    int width, height, components;
    bool subsampled, progressive;
    int restartInterval;  // in MCUs
    bool conditioned;     // DAC values other than the defaults
};

void PrintTo(const DctCase &c, std::ostream *out) { *out << c.name; }

// A picture with edges and noise, so that coefficients of every size occur.
Bytes LibjpegArithmetic(const DctCase &c) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(c.width);
    info.image_height = static_cast<JDIMENSION>(c.height);
    info.input_components = c.components;
    info.in_color_space = c.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 97, TRUE);
    info.arith_code = TRUE;
    info.restart_interval = static_cast<unsigned>(c.restartInterval);
    if (c.components == 3) {
        info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = c.subsampled ? 2 : 1;
    }
    if (c.conditioned)
        for (int t = 0; t < 2; ++t) {
            info.arith_dc_L[t] = static_cast<UINT8>(1 + t);
            info.arith_dc_U[t] = static_cast<UINT8>(3 + 2 * t);
            info.arith_ac_K[t] = static_cast<UINT8>(2 + 20 * t);
        }
    if (c.progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(c.width * c.components));
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < c.width; ++x)
            for (int k = 0; k < c.components; ++k)
                row[static_cast<std::size_t>(x * c.components + k)] = static_cast<JSAMPLE>(
                    ((x / 5 + y / 3) % 2 ? 200 : 40) + (x * y * (k + 3) * 7919 % 53) - x * k);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// A component's blocks as our statistics decode them, natural order, row by row.
struct Plane {
    int h = 1, v = 1, id = 0;
    int wide = 0, high = 0;  // blocks holding picture samples
    std::vector<std::int16_t> coefficients;  // padded to whole MCUs
    int stride = 0;
    std::int16_t *Block(int bx, int by) {
        return &coefficients[(static_cast<std::size_t>(by) * static_cast<std::size_t>(stride) +
                              static_cast<std::size_t>(bx)) * 64];
    }
};

int Word(const Bytes &b, std::size_t at) { return b[at] << 8 | b[at + 1]; }

// Decodes every scan with our statistics: a marker walk that knows just
// enough of a frame to lay out its MCUs.
std::vector<Plane> OurCoefficients(const Bytes &file,
                                   DcPrediction prediction = DcPrediction::PreviousBlock) {
    std::vector<Plane> planes;
    ArithmeticConditioning conditioning;
    int restartInterval = 0, width = 0, height = 0, hmax = 1, vmax = 1;
    std::size_t at = 2;
    while (at + 4 <= file.size() && file[at + 1] != 0xD9) {
        const std::uint8_t marker = file[at + 1];
        const std::size_t length = static_cast<std::size_t>(Word(file, at + 2));
        const Bytes segment(file.begin() + static_cast<long>(at + 4),
                            file.begin() + static_cast<long>(at + 2 + length));
        at += 2 + length;
        if (marker == 0xCC) ReadArithmeticConditioning(segment, conditioning);
        if (marker == 0xDD) restartInterval = Word(segment, 0);
        if (marker == 0xC9 || marker == 0xCA) {
            height = Word(segment, 1);
            width = Word(segment, 3);
            for (int c = 0; c < segment[5]; ++c) {
                Plane plane;
                plane.id = segment[6 + 3 * static_cast<std::size_t>(c)];
                plane.h = segment[7 + 3 * static_cast<std::size_t>(c)] >> 4;
                plane.v = segment[7 + 3 * static_cast<std::size_t>(c)] & 15;
                hmax = std::max(hmax, plane.h);
                vmax = std::max(vmax, plane.v);
                planes.push_back(plane);
            }
            const int mcusX = (width + 8 * hmax - 1) / (8 * hmax), mcusY = (height + 8 * vmax - 1) / (8 * vmax);
            for (Plane &plane : planes) {
                plane.wide = ((width * plane.h + hmax - 1) / hmax + 7) / 8;
                plane.high = ((height * plane.v + vmax - 1) / vmax + 7) / 8;
                plane.stride = mcusX * plane.h;
                plane.coefficients.assign(static_cast<std::size_t>(plane.stride * mcusY * plane.v) * 64, 0);
            }
        }
        if (marker != 0xDA) continue;
        ArithmeticDctScanParameters parameters;
        std::vector<Plane *> members;
        for (std::size_t n = 0; n < segment[0]; ++n) {
            for (Plane &plane : planes)
                if (plane.id == segment[1 + 2 * n]) members.push_back(&plane);
            parameters.components.push_back({segment[2 + 2 * n] >> 4, segment[2 + 2 * n] & 15});
        }
        const std::size_t tail = 1 + 2 * std::size_t{segment[0]};
        parameters.ss = segment[tail];
        parameters.se = segment[tail + 1];
        parameters.ah = segment[tail + 2] >> 4;
        parameters.al = segment[tail + 2] & 15;
        ArithmeticDctScan scan(parameters, conditioning, prediction);
        JpegArithmeticDecoder decoder(file, at);
        const bool single = members.size() == 1;
        const int mcusX = single ? members[0]->wide : (width + 8 * hmax - 1) / (8 * hmax);
        const int mcusY = single ? members[0]->high : (height + 8 * vmax - 1) / (8 * vmax);
        for (int mcu = 0; mcu < mcusX * mcusY; ++mcu) {
            if (restartInterval > 0 && mcu > 0 && mcu % restartInterval == 0) {
                decoder.Restart((mcu / restartInterval - 1) % 8);
                scan.Restart();
            }
            const int mx = mcu % mcusX, my = mcu / mcusX;
            for (std::size_t n = 0; n < members.size(); ++n) {
                Plane &p = *members[n];
                if (single) scan.DecodeBlock(decoder, n, p.Block(mx, my));
                else
                    for (int y = 0; y < p.v; ++y)
                        for (int x = 0; x < p.h; ++x) scan.DecodeBlock(decoder, n, p.Block(mx * p.h + x, my * p.v + y));
            }
        }
        EXPECT_FALSE(decoder.RanOut());
        at = decoder.End();
    }
    return planes;
}

class ArithmeticDct : public testing::TestWithParam<DctCase> {};

TEST_P(ArithmeticDct, EveryCoefficientEqualsLibjpegs) {
    const Bytes file = LibjpegArithmetic(GetParam());
    const std::vector<ZavorTest::LibjpegComponent> theirs = LibjpegCoefficients(file);
    std::vector<Plane> ours = OurCoefficients(file);
    ASSERT_EQ(ours.size(), theirs.size());
    for (std::size_t c = 0; c < ours.size(); ++c) {
        ASSERT_EQ(ours[c].wide, theirs[c].wide);
        ASSERT_EQ(ours[c].high, theirs[c].high);
        for (int by = 0; by < theirs[c].high; ++by)
            for (int bx = 0; bx < theirs[c].wide; ++bx)
                for (int k = 0; k < 64; ++k)
                    ASSERT_EQ(ours[c].Block(bx, by)[k], theirs[c].Block(bx, by)[k])
                        << "component " << c << " block " << bx << "," << by << " coefficient " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    LibjpegFiles, ArithmeticDct,
    testing::Values(DctCase{"GreySequential", 61, 45, 1, false, false, 0, false},
                    DctCase{"GreySequentialRestarts", 61, 45, 1, false, false, 5, false},
                    DctCase{"ColourSubsampledSequentialRestarts", 77, 50, 3, true, false, 3, false},
                    DctCase{"ColourSequentialConditioned", 40, 33, 3, false, false, 0, true},
                    DctCase{"GreyProgressive", 61, 45, 1, false, true, 0, false},
                    DctCase{"ColourSubsampledProgressive", 77, 50, 3, true, true, 0, false},
                    DctCase{"ColourProgressiveRestarts", 40, 33, 3, false, true, 4, false},
                    DctCase{"ColourSubsampledProgressiveConditioned", 53, 70, 3, true, true, 7, true}),
    [](const testing::TestParamInfo<DctCase> &info) { return std::string(info.param.name); });

// Without prediction (in differential frames) each block keeps the coded
// difference: libjpeg's DC levels less the previous block's, with the
// contexts still following the differences.
TEST(ArithmeticDecoder, WithoutPredictionTheDcIsTheCodedDifference) {
    const Bytes file = LibjpegArithmetic({"", 61, 45, 1, false, false, 0, false});
    const std::vector<ZavorTest::LibjpegComponent> levels = LibjpegCoefficients(file);
    std::vector<Plane> differences = OurCoefficients(file, DcPrediction::None);
    int previous = 0;
    for (int by = 0; by < levels[0].high; ++by)
        for (int bx = 0; bx < levels[0].wide; ++bx) {
            ASSERT_EQ(differences[0].Block(bx, by)[0], levels[0].Block(bx, by)[0] - previous) << bx << "," << by;
            for (int k = 1; k < 64; ++k) ASSERT_EQ(differences[0].Block(bx, by)[k], levels[0].Block(bx, by)[k]);
            previous = levels[0].Block(bx, by)[0];
        }
}

TEST(ArithmeticDecoder, NoticesCutDataAndMissingRestartMarkers) {
    const Bytes file = LibjpegArithmetic({"", 64, 64, 1, false, false, 8, false});
    std::size_t scan = 0;
    for (std::size_t at = 2; scan == 0; at += 2 + static_cast<std::size_t>(Word(file, at + 2)))
        if (file[at + 1] == 0xDA) scan = at + 2 + static_cast<std::size_t>(Word(file, at + 2));
    const Bytes cut(file.begin(), file.begin() + static_cast<long>(scan + 40));
    JpegArithmeticDecoder decoder(cut, scan);
    ArithmeticDctScan statistics({0, 63, 0, 0, {{0, 0}}}, ArithmeticConditioning{});
    std::int16_t block[64];
    for (int n = 0; n < 8; ++n) statistics.DecodeBlock(decoder, 0, block);
    EXPECT_TRUE(decoder.RanOut());

    // The first interval read whole, the second's marker is numbered wrongly.
    Bytes renumbered = file;
    JpegArithmeticDecoder whole(file, scan);
    ArithmeticDctScan afresh({0, 63, 0, 0, {{0, 0}}}, ArithmeticConditioning{});
    for (int n = 0; n < 8; ++n) afresh.DecodeBlock(whole, 0, block);
    const std::size_t marker = whole.End();
    ASSERT_EQ(file[marker + 1], 0xD0);
    renumbered[marker + 1] = 0xD3;
    JpegArithmeticDecoder wrong(renumbered, scan);
    try {
        wrong.Restart(0);
        FAIL() << "no error";
    } catch (const ImageError &e) {
        EXPECT_EQ(e.GetKind(), ImageError::Kind::Damaged);
        EXPECT_STREQ(e.what(), "JPEG: a restart marker is missing");
    }
}

TEST(ArithmeticDecoder, RefusesInvalidConditioningAndScanParameters) {
    ArithmeticConditioning conditioning;
    ReadArithmeticConditioning(Bytes{0x01, 0x42, 0x13, 0x20}, conditioning);
    EXPECT_EQ(conditioning.lower[1], 2);
    EXPECT_EQ(conditioning.upper[1], 4);
    EXPECT_EQ(conditioning.kx[3], 32);
    for (const Bytes &bad : {Bytes{0x00, 0x12}, Bytes{0x10, 0x00}, Bytes{0x10, 64}, Bytes{0x24, 0x11}, Bytes{0x00}})
        EXPECT_THROW(ReadArithmeticConditioning(bad, conditioning), ImageError);
    for (const ArithmeticDctScanParameters &bad :
         {ArithmeticDctScanParameters{1, 5, 0, 0, {{0, 0}, {1, 1}}}, ArithmeticDctScanParameters{0, 63, 0, 0, {}},
          ArithmeticDctScanParameters{3, 2, 0, 0, {{0, 0}}}, ArithmeticDctScanParameters{0, 5, 1, 0, {{0, 0}}},
          ArithmeticDctScanParameters{0, 0, 0, 0, {{4, 0}}}})
        EXPECT_THROW(ArithmeticDctScan(bad, conditioning), ImageError);
}

// Lossless differences of every size, in contexts of every class, through
// the test encoder and back; one restart in the middle.
TEST(ArithmeticLossless, DifferencesComeBackExactly) {
    using namespace ZavorTest::ArithmeticJpeg;
    for (int upper : {1, 5}) {
        std::vector<int> differences;
        for (int n = 0; n < 3000; ++n)
            differences.push_back(n % 11 == 0   ? (n % 2 ? 32768 : -32767)
                                  : n % 3 == 0 ? -((n * 7919) % (1 << (n % 16)))
                                               : (n * 7919) % (1 << (n % 16)));
        std::vector<LosslessStatistics> statistics(2);
        for (LosslessStatistics &s : statistics) s.upper = upper;
        QmEncoder encoder;
        auto previous = [&](std::size_t n, std::size_t back) { return n % 1500 >= back ? differences[n - back] : 0; };
        Bytes coded{0xFF, 0xDA};
        for (std::size_t n = 0; n < differences.size(); ++n) {
            if (n == 1500) {
                Bytes part = encoder.Finish();
                coded.insert(coded.end(), part.begin(), part.end());
                coded.insert(coded.end(), {0xFF, 0xD0});
                statistics.assign(2, LosslessStatistics{{}, 0, upper});
            }
            statistics[n % 2].Encode(encoder, differences[n], previous(n, 2), previous(n, 20));
        }
        Bytes part = encoder.Finish();
        coded.insert(coded.end(), part.begin(), part.end());
        coded.insert(coded.end(), {0xFF, 0xD9});

        ArithmeticConditioning conditioning;
        conditioning.upper = {upper, upper, upper, upper};
        ArithmeticLosslessScan scan({2, 0}, conditioning);
        JpegArithmeticDecoder decoder(coded, 2);
        for (std::size_t n = 0; n < differences.size(); ++n) {
            if (n == 1500) {
                decoder.Restart(0);
                scan.Restart();
            }
            ASSERT_EQ(scan.DecodeDifference(decoder, n % 2, previous(n, 2), previous(n, 20)), differences[n]) << n;
        }
        EXPECT_FALSE(decoder.RanOut());
        EXPECT_EQ(decoder.End(), coded.size() - 2);

        const Bytes cut(coded.begin(), coded.begin() + static_cast<long>(coded.size() / 4));
        JpegArithmeticDecoder short_(cut, 2);
        ArithmeticLosslessScan again({2, 0}, conditioning);
        try {  // zeros fed for the missing bytes may also decode to nonsense
            for (std::size_t n = 0; n < 1500; ++n)
                again.DecodeDifference(short_, n % 2, previous(n, 2), previous(n, 20));
        } catch (const ImageError &) {
        }
        EXPECT_TRUE(short_.RanOut());
    }
}

}  // namespace
