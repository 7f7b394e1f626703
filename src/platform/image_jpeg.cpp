// JPEG through libjpeg-turbo: only the header is read. The file's bytes go
// into the PDF unchanged, so its samples are never decoded here. libjpeg
// reports errors through error_exit, which jumps back with longjmp; the
// function holding the jump buffer keeps no C++ objects.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "platform/image_formats.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "JPEG";

struct JpegErrors {
    jpeg_error_mgr manager;  // first, so that the library's pointer is ours
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
    auto *errors = reinterpret_cast<JpegErrors *>(info->err);
    errors->manager.format_message(info, errors->message);
    std::longjmp(errors->jump, 1);
}

void OnMessage(j_common_ptr, int) {}

struct JpegHeader {
    JDIMENSION width, height;
    J_COLOR_SPACE colorSpace;
    int components;
    int densityUnit;
    unsigned densityX, densityY;
};

// No C++ objects in this frame: error_exit jumps back into it.
bool ReadHeader(const std::uint8_t *data, std::size_t size, JpegHeader *header, JpegErrors *errors) {
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
    if (!ReadHeader(bytes.data(), bytes.size(), &header, &errors)) Damaged(kFormat, errors.message);
    CheckDimensions(header.width, header.height, kFormat);
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
