// JPEG through libjpeg-turbo. The file's bytes go into the PDF unchanged,
// so the samples are decoded here only to prove that every scan is
// complete: libjpeg pads a cut or corrupt scan with grey and merely warns,
// and a viewer would show that grey. PDF readers need only decode Huffman
// coding (baseline, extended and progressive): arithmetic-coded files get
// their coefficients written again with Huffman codes, which changes no
// pixel; lossless and hierarchical files, which libjpeg cannot read, are
// decoded by our own readers. libjpeg reports errors through
// error_exit, which jumps back with longjmp; the functions holding the jump
// buffer keep no C++ objects.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/image_formats.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "JPEG";

struct JpegErrors {
    jpeg_error_mgr manager;  // first, so that the library's pointer is ours
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    int warnings;
    char warning[JMSG_LENGTH_MAX];  // the first one
};

void OnError(j_common_ptr info) {
    auto *errors = reinterpret_cast<JpegErrors *>(info->err);
    errors->manager.format_message(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Every other warning reports coded data that is missing or corrupt (the
// file or a segment ending early, bad codes, lost restart markers); libjpeg
// goes on with filler rows, and so would a viewer. These only describe the
// header, or stray bytes before a marker: many intact files carry a few
// before their end marker, and a scan that stops early is reported on its
// own.
bool IsHarmless(int code) {
    return code == JWRN_JFIF_MAJOR || code == JWRN_ADOBE_XFORM || code == JWRN_EXTRANEOUS_DATA;
}

void OnMessage(j_common_ptr info, int level) {
    auto *errors = reinterpret_cast<JpegErrors *>(info->err);
    if (level >= 0 || IsHarmless(errors->manager.msg_code)) return;
    if (errors->warnings++ == 0) errors->manager.format_message(info, errors->warning);
}

struct JpegHeader {
    JDIMENSION width, height;
    J_COLOR_SPACE colorSpace;
    int components;
    int densityUnit;
    unsigned densityX, densityY;
    bool arithmetic;
};

// Decodes every scan at an eighth of the size: the entropy-coded data is
// read in full either way, but the smallest inverse transform is the
// cheapest. No C++ objects here either.
void ReadAllScans(jpeg_decompress_struct *info) {
    info->scale_num = 1;
    info->scale_denom = 8;
    info->dct_method = JDCT_IFAST;
    info->do_fancy_upsampling = FALSE;
    info->do_block_smoothing = FALSE;
    jpeg_start_decompress(info);
    JSAMPARRAY row = (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                                info->output_width * static_cast<JDIMENSION>(info->output_components), 1);
    const JpegErrors *errors = reinterpret_cast<const JpegErrors *>(info->err);
    while (info->output_scanline < info->output_height) {
        // One warning settles it; the rest would be filler.
        if (errors->warnings > 0) return;
        jpeg_read_scanlines(info, row, 1);
    }
    jpeg_finish_decompress(info);
}

// No C++ objects in this frame: error_exit jumps back into it.
bool ReadJpeg(const std::uint8_t *data, std::size_t size, JpegHeader *header, JpegErrors *errors) {
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&errors->manager);
    errors->manager.error_exit = OnError;
    errors->manager.emit_message = OnMessage;
    if (setjmp(errors->jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    header->width = info.image_width;
    header->height = info.image_height;
    header->colorSpace = info.jpeg_color_space;
    header->components = info.num_components;
    header->densityUnit = info.density_unit;
    header->densityX = info.X_density;
    header->densityY = info.Y_density;
    header->arithmetic = info.arith_code != FALSE;
    // Pictures that CheckDimensions or a warning refuses are not decoded.
    if (errors->warnings == 0 && info.image_width > 0 && info.image_height > 0 &&
        static_cast<std::uint64_t>(info.image_width) * info.image_height <= MaxPixels)
        ReadAllScans(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

enum class Process { Sequential, Lossless, Hierarchical };

// The coding process of the first frame, from the markers before it;
// libjpeg reads only the sequential and progressive ones. Anything else
// before a frame (no frame at all, a scan first) is libjpeg's to refuse.
Process ProcessOf(std::span<const std::uint8_t> bytes) {
    std::size_t at = 2;  // after SOI
    while (at + 1 < bytes.size()) {
        // Stray bytes and fill bytes before a marker are skipped, as libjpeg does.
        if (bytes[at] != 0xFF || bytes[at + 1] == 0xFF) {
            ++at;
            continue;
        }
        std::uint8_t marker = bytes[at + 1];
        switch (marker) {
        case 0xC3: case 0xCB: return Process::Lossless;
        case 0xC5: case 0xC6: case 0xC7: case 0xCD: case 0xCE: case 0xCF:
        case 0xDE: return Process::Hierarchical;  // DHP comes first in such files
        case 0xC0: case 0xC1: case 0xC2: case 0xC9: case 0xCA:
        case 0xDA: case 0xD9: return Process::Sequential;
        default: break;
        }
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length follows
            at += 2;
            continue;
        }
        if (at + 3 >= bytes.size()) break;
        at += 2 + (static_cast<std::size_t>(bytes[at + 2]) << 8 | bytes[at + 3]);
    }
    return Process::Sequential;
}

// Reads the coefficients of a checked file and writes them again with
// Huffman codes (in one sequential scan, so baseline where the tables
// allow), with the file's comments and application segments (a colour
// profile among them); libjpeg writes the JFIF and Adobe ones itself.
// `out` is malloc'ed by libjpeg, also on failure. No C++ objects.
bool WriteHuffmanCoded(const std::uint8_t *data, std::size_t size, unsigned char **out, unsigned long *outSize,
                       JpegErrors *errors) {
    jpeg_decompress_struct source{};
    jpeg_compress_struct target{};
    source.err = jpeg_std_error(&errors->manager);
    target.err = &errors->manager;
    errors->manager.error_exit = OnError;
    errors->manager.emit_message = OnMessage;
    if (setjmp(errors->jump)) {
        jpeg_destroy_compress(&target);
        jpeg_destroy_decompress(&source);
        return false;
    }
    jpeg_create_decompress(&source);
    jpeg_create_compress(&target);
    jpeg_mem_src(&source, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&source, JPEG_COM, 0xFFFF);
    for (int n = 1; n < 16; ++n)
        if (n != 14) jpeg_save_markers(&source, JPEG_APP0 + n, 0xFFFF);
    jpeg_read_header(&source, TRUE);
    jvirt_barray_ptr *coefficients = jpeg_read_coefficients(&source);
    jpeg_copy_critical_parameters(&source, &target);
    target.optimize_coding = TRUE;  // keeps the file near the size of the arithmetic-coded one
    jpeg_mem_dest(&target, out, outSize);
    jpeg_write_coefficients(&target, coefficients);
    for (jpeg_saved_marker_ptr marker = source.marker_list; marker != nullptr; marker = marker->next)
        jpeg_write_marker(&target, marker->marker, marker->data, marker->data_length);
    jpeg_finish_compress(&target);
    jpeg_finish_decompress(&source);
    jpeg_destroy_compress(&target);
    jpeg_destroy_decompress(&source);
    return errors->warnings == 0;
}

// What a libjpeg writer made into its malloc'ed buffer, which is freed
// either way. A failed writer's error is the reason, or its first warning
// where the writer fails on warnings.
class JpegOutput {
public:
    JpegOutput() = default;
    ~JpegOutput() { std::free(buffer); }
    JpegOutput(const JpegOutput &) = delete;
    JpegOutput &operator=(const JpegOutput &) = delete;

    std::vector<std::uint8_t> Take(bool ok, bool failsOnWarnings = false) const {
        if (!ok) Damaged(kFormat, failsOnWarnings && errors.warnings > 0 ? errors.warning : errors.message);
        return std::vector<std::uint8_t>(buffer, buffer + size);
    }

    JpegErrors errors{};
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
};

std::vector<std::uint8_t> HuffmanCoded(std::span<const std::uint8_t> bytes) {
    JpegOutput output;
    const bool ok = WriteHuffmanCoded(bytes.data(), bytes.size(), &output.buffer, &output.size, &output.errors);
    return output.Take(ok, true);
}

enum class RowOrder { TopFirst, BottomFirst };

// Interleaved samples as a baseline JPEG in the same colour space (libjpeg
// marks CMYK, YCCK and RGB as Adobe does, YCbCr and grey with JFIF). No C++
// objects: error_exit jumps back here.
bool WriteSamples(const std::uint8_t *samples, int width, int height, int components, J_COLOR_SPACE space,
                  RowOrder order, unsigned char **out, unsigned long *outSize, JpegErrors *errors) {
    jpeg_compress_struct info{};
    info.err = jpeg_std_error(&errors->manager);
    errors->manager.error_exit = OnError;
    errors->manager.emit_message = OnMessage;
    if (setjmp(errors->jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, space);
    for (int c = 0; c < components; ++c) {  // YCbCr and YCCK would have their chroma halved
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_set_quality(&info, 100, TRUE);
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        std::size_t stored = order == RowOrder::TopFirst ? info.next_scanline
                                                         : static_cast<std::size_t>(info.image_height - 1 - info.next_scanline);
        JSAMPROW row = const_cast<JSAMPROW>(samples + stored * static_cast<std::size_t>(components) *
                                                          static_cast<std::size_t>(width));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

JpegColorSpace ColorSpaceOf(const JpegHeader &header) {
    switch (header.colorSpace) {
    case JCS_GRAYSCALE: return JpegColorSpace::Gray;
    case JCS_CMYK: return JpegColorSpace::Cmyk;
    case JCS_YCCK: return JpegColorSpace::Ycck;
    case JCS_RGB:
    case JCS_YCbCr: return JpegColorSpace::Rgb;
    default: throw ImageError(ImageError::Kind::Unsupported, "JPEG: unsupported colour space");
    }
}

}  // namespace

std::vector<std::uint8_t> EncodeFourComponentJpeg(std::span<const std::uint8_t> samples, int width, int height,
                                                  JpegColorSpace space) {
    JpegOutput output;
    return output.Take(WriteSamples(samples.data(), width, height, 4,
                                    space == JpegColorSpace::Ycck ? JCS_YCCK : JCS_CMYK, RowOrder::BottomFirst,
                                    &output.buffer, &output.size, &output.errors));
}

std::vector<std::uint8_t> EncodeBaselineJpeg(std::span<const std::uint8_t> samples, int width, int height,
                                             JpegSamples kind) {
    const J_COLOR_SPACE space = kind == JpegSamples::Grey ? JCS_GRAYSCALE : kind == JpegSamples::Rgb ? JCS_RGB : JCS_YCbCr;
    JpegOutput output;
    return output.Take(WriteSamples(samples.data(), width, height, kind == JpegSamples::Grey ? 1 : 3, space,
                                    RowOrder::TopFirst, &output.buffer, &output.size, &output.errors));
}

DecodedImage DecodeJpeg(std::span<const std::uint8_t> bytes) {
    Process process = ProcessOf(bytes);
    if (process == Process::Lossless) return DecodeLosslessJpeg(bytes);
    if (process == Process::Hierarchical) return DecodeHierarchicalJpeg(bytes);
    JpegHeader header{};
    JpegErrors errors{};
    if (!ReadJpeg(bytes.data(), bytes.size(), &header, &errors)) Damaged(kFormat, errors.message);
    CheckDimensions(header.width, header.height, kFormat);
    if (errors.warnings > 0) Damaged(kFormat, errors.warning);
    DecodedImage image;
    image.format = ImageFileFormat::Jpeg;
    image.width = static_cast<int>(header.width);
    image.height = static_cast<int>(header.height);
    image.jpegColorSpace = ColorSpaceOf(header);
    image.pixelFormat = image.jpegColorSpace == JpegColorSpace::Gray ? ImagePixelFormat::Indexed8
                                                                       : ImagePixelFormat::Rgb24;
    if (header.densityX != 0 && header.densityY != 0 && (header.densityUnit == 1 || header.densityUnit == 2)) {
        double perInch = header.densityUnit == 1 ? 1.0 : 2.54;
        image.horizontalResolution = header.densityX * perInch;
        image.verticalResolution = header.densityY * perInch;
    }
    if (header.arithmetic)
        image.jpegData = HuffmanCoded(bytes);
    else
        image.jpegData.assign(bytes.begin(), bytes.end());
    return image;
}

}  // namespace ZavorPlatform::ImageFormats
