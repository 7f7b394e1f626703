// libjpeg's reading of a file in memory, the truth our own JPEG decoding
// is held against: its header read, then its coefficients or its samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <jpeglib.h>

namespace ZavorTest {

// A decompressor over `file` with the header read; destroyed with it.
// libjpeg's default error handler ends the test program on a broken file,
// which the tests give it none of.
class LibjpegReading {
public:
    explicit LibjpegReading(const std::vector<std::uint8_t> &file) {
        info.err = jpeg_std_error(&errors_);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
        jpeg_read_header(&info, TRUE);
    }
    ~LibjpegReading() { jpeg_destroy_decompress(&info); }
    LibjpegReading(const LibjpegReading &) = delete;
    LibjpegReading &operator=(const LibjpegReading &) = delete;

    jpeg_decompress_struct info{};

private:
    jpeg_error_mgr errors_{};
};

// One component's coefficients as libjpeg reads them: the blocks that hold
// picture samples, row by row, 64 in natural order each.
struct LibjpegComponent {
    int wide = 0, high = 0;
    std::vector<std::int16_t> coefficients;

    const std::int16_t *Block(int x, int y) const {
        return &coefficients[(static_cast<std::size_t>(y) * static_cast<std::size_t>(wide) +
                              static_cast<std::size_t>(x)) * 64];
    }
};

inline std::vector<LibjpegComponent> LibjpegCoefficients(const std::vector<std::uint8_t> &file) {
    LibjpegReading reading(file);
    jpeg_decompress_struct &info = reading.info;
    jvirt_barray_ptr *arrays = jpeg_read_coefficients(&info);
    std::vector<LibjpegComponent> out(static_cast<std::size_t>(info.num_components));
    for (int c = 0; c < info.num_components; ++c) {
        LibjpegComponent &component = out[static_cast<std::size_t>(c)];
        component.wide = static_cast<int>(info.comp_info[c].width_in_blocks);
        component.high = static_cast<int>(info.comp_info[c].height_in_blocks);
        for (int y = 0; y < component.high; ++y) {
            JBLOCKARRAY row = (*info.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&info), arrays[c],
                                                               static_cast<JDIMENSION>(y), 1, FALSE);
            for (int x = 0; x < component.wide; ++x)
                component.coefficients.insert(component.coefficients.end(), row[0][x], row[0][x] + 64);
        }
    }
    jpeg_finish_decompress(&info);
    return out;
}

}  // namespace ZavorTest
