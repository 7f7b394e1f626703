// JPEG through libjpeg-turbo. The file's bytes go into the PDF unchanged,
// so the samples are decoded here only to prove that every scan is
// complete: libjpeg pads a cut or corrupt scan with grey and merely warns,
// and a viewer would show that grey. libjpeg reports errors through
// error_exit, which jumps back with longjmp; the function holding the jump
// buffer keeps no C++ objects.
#include <csetjmp>
#include <cstdio>

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
    // Pictures that CheckDimensions or a warning refuses are not decoded.
    if (errors->warnings == 0 && info.image_width > 0 && info.image_height > 0 &&
        static_cast<std::uint64_t>(info.image_width) * info.image_height <= MaxPixels)
        ReadAllScans(&info);
    jpeg_destroy_decompress(&info);
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

DecodedImage DecodeJpeg(std::span<const std::uint8_t> bytes) {
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
    image.jpegData.assign(bytes.begin(), bytes.end());
    return image;
}

}  // namespace ZavorPlatform::ImageFormats
