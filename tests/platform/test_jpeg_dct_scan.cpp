// Our own decoding of DCT coefficients against libjpeg's: files libjpeg
// writes (baseline, extended, progressive; interleaved and one scan per
// component; every sampling in use; restart intervals) must give exactly
// the coefficients jpeg_read_coefficients gives, and the samples must lie
// within a level of libjpeg's floating-point inverse transform. Cut and
// corrupt scans end in typed errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "platform/jpeg_dct_scan.h"
#include "support/image_refusal.h"
#include "support/libjpeg_reading.h"

using namespace ZavorPlatform;
using namespace ZavorPlatform::ImageFormats;

namespace {

using ZavorTest::EndedAt;

using Bytes = std::vector<std::uint8_t>;

struct Coding {
    const char *name;
    int components;  // 1 grey, 3 YCbCr, 4 CMYK
    int h, v;        // the first component's sampling; the others 1x1
    bool progressive;
    int quality;  // below 25 with baseline off, tables beyond 8 bits: extended
    int restartRows;
    bool scanPerComponent;
    bool arithmetic = false;
};

// Noise over gradients, so that every band of coefficients is busy.
Bytes Samples(int width, int height, int components) {
    Bytes out;
    unsigned seed = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c) {
                seed = seed * 1103515245 + 12345;
                out.push_back(static_cast<std::uint8_t>((x * 7 + y * 3 + c * 50 + (seed >> 16) % 60) & 255));
            }
    return out;
}

Bytes Encode(const Coding &coding, int width, int height) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    errors.emit_message = [](j_common_ptr, int) {};  // the caution that coarse tables are not baseline
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = coding.components;
    info.in_color_space = coding.components == 1 ? JCS_GRAYSCALE : coding.components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, coding.quality, coding.quality >= 25 ? TRUE : FALSE);
    for (int c = 0; c < coding.components; ++c) {
        info.comp_info[c].h_samp_factor = c == 0 ? coding.h : 1;
        info.comp_info[c].v_samp_factor = c == 0 ? coding.v : 1;
    }
    info.restart_in_rows = coding.restartRows;
    info.arith_code = coding.arithmetic ? TRUE : FALSE;
    std::vector<jpeg_scan_info> scans;
    if (coding.progressive) {
        jpeg_simple_progression(&info);
    } else if (coding.scanPerComponent) {
        for (int c = 0; c < coding.components; ++c) scans.push_back({1, {c, 0, 0, 0}, 0, 63, 0, 0});
        info.scan_info = scans.data();
        info.num_scans = static_cast<int>(scans.size());
    }
    jpeg_start_compress(&info, TRUE);
    const Bytes samples = Samples(width, height, coding.components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + info.next_scanline * static_cast<std::size_t>(width) *
                                                                 static_cast<std::size_t>(coding.components));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

std::vector<std::int16_t> OurCoefficients(DctComponent &component) {
    std::vector<std::int16_t> out;
    for (int y = 0; y < component.blocksHigh; ++y)
        for (int x = 0; x < component.blocksWide; ++x)
            out.insert(out.end(), component.Block(x, y), component.Block(x, y) + 64);
    return out;
}

// The coefficients of the one frame of a sequential or progressive file
// (Huffman- or arithmetic-coded), through the pieces the hierarchical
// reader walks its frames with.
DctFrame DecodeDctFrame(std::span<const std::uint8_t> bytes) {
    JpegSegments segments(bytes);
    JpegTables tables;
    DctFrame frame;
    bool framed = false;
    for (;;) {
        std::span<const std::uint8_t> segment;
        const std::uint8_t marker = segments.Next(segment);
        if (marker == 0xD9) break;
        if (tables.Read(marker, segment)) continue;
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2 || marker == 0xC9 || marker == 0xCA) {
            if (framed) Damaged("JPEG", "the file holds more than one frame");
            frame = ReadFrameHeader(segment);
            frame.coding = (marker & 3) == 2 ? DctCoding::Progressive : DctCoding::Sequential;
            frame.entropy = marker >= 0xC8 ? EntropyCoding::Arithmetic : EntropyCoding::Huffman;
            AllocateCoefficients(frame, segments.Remaining());
            framed = true;
        } else if (marker == 0xDA) {
            if (!framed) Damaged("JPEG", "a scan comes before the frame");
            const DctScan scan = ReadDctScan(segment, frame, tables);
            LatchQuantization(frame, scan, tables);
            std::unique_ptr<DctBlockDecoder> decoder = MakeDctBlockDecoder(bytes, segments.Position(), frame, scan, tables);
            segments.MoveTo(DecodeDctScan(frame, scan, tables.restartInterval, *decoder));
        }
    }
    if (!framed) Damaged("JPEG", "the file holds no frame");
    return frame;
}

std::uint8_t MarkerOfFrame(const Bytes &file) {
    for (std::size_t at = 2; at + 1 < file.size(); ++at)
        if (file[at] == 0xFF && ((file[at + 1] >= 0xC0 && file[at + 1] <= 0xC2) || file[at + 1] == 0xC9 ||
                                 file[at + 1] == 0xCA))
            return file[at + 1];
    return 0;
}

}  // namespace

TEST(JpegDctScan, CoefficientsEqualLibjpegs) {
    const Coding codings[] = {
        {"grey baseline", 1, 1, 1, false, 90, 0, false},
        {"YCbCr 2x2 baseline", 3, 2, 2, false, 75, 0, false},
        {"YCbCr 2x1, restarts every 2 rows", 3, 2, 1, false, 95, 2, false},
        {"YCbCr 1x2, a scan per component", 3, 1, 2, false, 85, 0, true},
        {"YCbCr 4x1 and 3x2", 3, 4, 2, false, 80, 1, false},
        {"YCbCr 3x1, a scan per component, restarts", 3, 3, 1, false, 80, 1, true},
        {"CMYK 1x1", 4, 1, 1, false, 70, 0, false},
        {"grey extended, 16-bit tables", 1, 1, 1, false, 3, 0, false},
        {"YCbCr extended, restarts", 3, 2, 2, false, 2, 1, false},
        {"grey progressive", 1, 1, 1, true, 90, 0, false},
        {"YCbCr 2x2 progressive", 3, 2, 2, true, 95, 0, false},
        {"YCbCr 2x1 progressive, restarts every row", 3, 2, 1, true, 60, 1, false},
        {"CMYK progressive", 4, 1, 1, true, 80, 3, false},
        {"grey, arithmetic-coded", 1, 1, 1, false, 90, 0, false, true},
        {"YCbCr 2x1, arithmetic-coded, restarts", 3, 2, 1, false, 75, 2, false, true},
        {"YCbCr 2x2, arithmetic-coded, progressive", 3, 2, 2, true, 95, 0, false, true},
    };
    for (const Coding &coding : codings) {
        for (auto [width, height] : {std::pair{61, 37}, std::pair{16, 16}, std::pair{1, 9}}) {
            SCOPED_TRACE(std::string(coding.name) + ", " + std::to_string(width) + "x" + std::to_string(height));
            const Bytes file = Encode(coding, width, height);
            EXPECT_EQ(MarkerOfFrame(file), (coding.arithmetic ? 0xC9 : coding.quality < 25 ? 0xC1 : 0xC0) +
                                               (coding.progressive ? coding.arithmetic ? 1 : 2 : 0));
            const auto expected = ZavorTest::LibjpegCoefficients(file);
            DctFrame frame = DecodeDctFrame(file);
            ASSERT_EQ(frame.components.size(), expected.size());
            for (std::size_t c = 0; c < expected.size(); ++c) {
                SCOPED_TRACE("component " + std::to_string(c));
                EXPECT_EQ(OurCoefficients(frame.components[c]), expected[c].coefficients);
            }
        }
    }
}

// libjpeg's float transform rounds as ours does; its integer ones do not.
TEST(JpegDctScan, SamplesLieWithinALevelOfLibjpegsFloatTransform) {
    for (int quality : {100, 90, 40}) {
        SCOPED_TRACE(quality);
        const Bytes file = Encode({"grey", 1, 1, 1, false, quality, 0, false}, 45, 29);
        ZavorTest::LibjpegReading reading(file);
        jpeg_decompress_struct &info = reading.info;
        info.dct_method = JDCT_FLOAT;
        jpeg_start_decompress(&info);
        Bytes theirs(45 * 29);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = theirs.data() + info.output_scanline * 45;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        DctFrame frame = DecodeDctFrame(file);
        const std::vector<int> ours = ComponentSamples(frame.components[0], 8, FrameKind::Plain);
        ASSERT_EQ(ours.size(), theirs.size());
        int worst = 0;
        for (std::size_t n = 0; n < ours.size(); ++n) worst = std::max(worst, std::abs(ours[n] - theirs[n]));
        EXPECT_LE(worst, 1);
    }
}

TEST(JpegDctScan, CutAndCorruptScansAreRefused) {
    const Bytes sequential = Encode({"", 3, 2, 2, false, 90, 1, false}, 40, 40);
    const Bytes progressive = Encode({"", 1, 1, 1, true, 90, 0, false}, 40, 40);
    const Bytes arithmetic = Encode({"", 1, 1, 1, false, 90, 0, false, true}, 40, 40);
    auto sosData = [](const Bytes &file, int which) {
        std::size_t at = 2;
        for (int seen = 0;; ++at)
            if (file.at(at) == 0xFF && file.at(at + 1) == 0xDA && seen++ == which) break;
        return at + 2 + static_cast<std::size_t>(file[at + 2] << 8 | file[at + 3]);
    };
    auto restartChanged = [&] {
        Bytes b = sequential;
        for (std::size_t at = sosData(b, 0);; ++at)
            if (b.at(at) == 0xFF && b[at + 1] == 0xD0) {
                b[at + 1] = 0xD3;
                return b;
            }
    };
    auto scanDropped = [&] {  // the second scan of a progressive file
        Bytes b = progressive;
        std::size_t start = sosData(progressive, 1), end = start;
        while (!(b[start] == 0xFF && b[start + 1] == 0xDA)) --start;
        while (!(b[end] == 0xFF && b[end + 1] != 0 && (b[end + 1] < 0xD0 || b[end + 1] > 0xD7))) ++end;
        b.erase(b.begin() + static_cast<long>(start), b.begin() + static_cast<long>(end));
        return b;
    };
    const struct {
        const char *name;
        Bytes bytes;
        const char *message;
    } cases[] = {
        {"sequential, cut in its data", EndedAt(sequential, sosData(sequential, 0) + 40),
         "JPEG: the coded data ends early"},
        {"progressive, cut in its first scan", EndedAt(progressive, sosData(progressive, 0) + 20),
         "JPEG: the coded data ends early"},
        // Arithmetic-coded data followed by a marker may have lost only
        // zeros, so the file's end tells a cut.
        {"arithmetic-coded, the file cut in its data",
         Bytes(arithmetic.begin(), arithmetic.begin() + static_cast<long>(sosData(arithmetic, 0) + 60)),
         "JPEG: the coded data ends early"},
        {"a restart marker out of turn", restartChanged(), "JPEG: a restart marker is missing"},
        {"cut before the end marker", Bytes(sequential.begin(), sequential.end() - 2), "JPEG: the file is cut short"},
        {"a refining scan without its first", scanDropped(),
         "JPEG: the scans of a progressive frame are out of order"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            DecodeDctFrame(c.bytes);
            ADD_FAILURE() << "decoded";
        } catch (const ImageError &e) {
            EXPECT_EQ(e.GetKind(), ImageError::Kind::Damaged);
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}
