// PNG through libpng. libpng reports errors by longjmp, so the functions
// that call it with a jump buffer hold no C++ objects: the caller allocates
// every buffer before and frees it after, and a jump only ever skips C
// frames.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <png.h>

#include "platform/image_formats.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "PNG";

struct PngSource {
    const std::uint8_t *data;
    std::size_t size;
    std::size_t position;
    char message[160];
};

struct PngLayout {
    png_uint_32 width;
    png_uint_32 height;
    int colorType;
    int bitDepth;  // after the transformations
    png_uint_32 resX, resY;
    int resUnit;
};

void ReadData(png_structp png, png_bytep out, png_size_t count) {
    auto *source = static_cast<PngSource *>(png_get_io_ptr(png));
    if (count > source->size - source->position) png_error(png, "the file is cut short");
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
}

void OnError(png_structp png, png_const_charp message) {
    auto *source = static_cast<PngSource *>(png_get_error_ptr(png));
    std::snprintf(source->message, sizeof source->message, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Reads the header and sets the transformations. No C++ objects here.
bool ReadLayout(png_structp png, png_infop info, PngLayout *layout) {
    if (setjmp(png_jmpbuf(png))) return false;
    // The pixel count is checked later; this stops absurd rows early.
    png_set_user_limits(png, 1'000'000, 1'000'000);
    png_read_info(png, info);
    int colorType = png_get_color_type(png, info);
    int depth = png_get_bit_depth(png, info);
    png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE || colorType == PNG_COLOR_TYPE_GRAY) {
        // 1, 4 and 8 bits stay packed as the bitmap rows want them.
        if (depth == 2) png_set_packing(png);
    } else {
        if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
        if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
        png_set_bgr(png);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    layout->width = png_get_image_width(png, info);
    layout->height = png_get_image_height(png, info);
    layout->colorType = png_get_color_type(png, info);
    layout->bitDepth = png_get_bit_depth(png, info);
    if (!png_get_pHYs(png, info, &layout->resX, &layout->resY, &layout->resUnit)) layout->resUnit = -1;
    return true;
}

bool ReadRows(png_structp png, png_infop info, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

struct PngHandles {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngHandles() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

ImagePixelFormat PixelFormatOf(const PngLayout &layout) {
    switch (layout.colorType) {
    case PNG_COLOR_TYPE_PALETTE:
    case PNG_COLOR_TYPE_GRAY:
        return layout.bitDepth == 1 ? ImagePixelFormat::Indexed1
               : layout.bitDepth == 4 ? ImagePixelFormat::Indexed4
                                      : ImagePixelFormat::Indexed8;
    case PNG_COLOR_TYPE_RGB: return ImagePixelFormat::Rgb24;
    default: return ImagePixelFormat::Argb32;
    }
}

void ReadPalette(png_structp png, png_infop info, const PngLayout &layout, int originalDepth, DecodedImage &image) {
    if (layout.colorType == PNG_COLOR_TYPE_GRAY) {
        SetGreyRamp(image, 1 << std::min(originalDepth, 8));
        png_color_16p key = nullptr;
        if (originalDepth <= 8 && png_get_tRNS(png, info, nullptr, nullptr, &key) && key != nullptr &&
            key->gray < image.PaletteCount())
            image.palette[key->gray * 4u + 3] = 0;
        return;
    }
    if (layout.colorType != PNG_COLOR_TYPE_PALETTE) return;
    png_colorp colors = nullptr;
    int count = 0;
    if (!png_get_PLTE(png, info, &colors, &count)) Damaged(kFormat, "the palette is missing");
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    png_get_tRNS(png, info, &alphas, &alphaCount, nullptr);
    image.palette.resize(static_cast<std::size_t>(count) * 4);
    for (int i = 0; i < count; ++i) {
        std::uint8_t *entry = &image.palette[static_cast<std::size_t>(i) * 4];
        entry[0] = colors[i].blue;
        entry[1] = colors[i].green;
        entry[2] = colors[i].red;
        entry[3] = alphas != nullptr && i < alphaCount ? alphas[i] : 255;
    }
}

}  // namespace

DecodedImage DecodePng(std::span<const std::uint8_t> bytes) {
    PngSource source{bytes.data(), bytes.size(), 0, {}};
    PngHandles handles;
    handles.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, OnError, OnWarning);
    if (handles.png == nullptr) throw std::bad_alloc();
    handles.info = png_create_info_struct(handles.png);
    if (handles.info == nullptr) throw std::bad_alloc();
    png_set_read_fn(handles.png, &source, ReadData);
    PngLayout layout{};
    if (!ReadLayout(handles.png, handles.info, &layout)) Damaged(kFormat, source.message);
    CheckDimensions(layout.width, layout.height, kFormat);
    int originalDepth = png_get_bit_depth(handles.png, handles.info);
    DecodedImage image = MakeBitmap(static_cast<int>(layout.width), static_cast<int>(layout.height),
                                    PixelFormatOf(layout));
    image.format = ImageFileFormat::Png;
    if (layout.resUnit == PNG_RESOLUTION_METER && layout.resX != 0 && layout.resY != 0) {
        image.horizontalResolution = layout.resX * 0.0254;
        image.verticalResolution = layout.resY * 0.0254;
    }
    ReadPalette(handles.png, handles.info, layout, originalDepth, image);
    if (png_get_rowbytes(handles.png, handles.info) > image.Stride()) Damaged(kFormat, "unexpected row size");
    std::vector<png_bytep> rows(image.height);
    for (int y = 0; y < image.height; ++y) rows[y] = RowFromTop(image, y);
    if (!ReadRows(handles.png, handles.info, rows.data())) Damaged(kFormat, source.message);
    return image;
}

}  // namespace ZavorPlatform::ImageFormats
