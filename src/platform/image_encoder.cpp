// Encoders through the same libraries as the decoders. libpng and libjpeg
// jump out of errors with longjmp, so their calls sit in frames without
// C++ objects, as in the decoders.
#include "platform/image_encoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

#include "platform/image_formats.h"
#include "platform/image_tiff_memory.h"

namespace ZavorPlatform {
namespace {

const std::uint8_t *RowAt(const DecodedImage &image, int y) {
    return image.pixels.data() + static_cast<std::size_t>(image.height - 1 - y) * image.Stride();
}

[[noreturn]] void Unsupported(const char *what) { throw ImageError(ImageError::Kind::Unsupported, what); }

// ---- PNG ----

void PngWrite(png_structp png, png_bytep data, png_size_t count) {
    auto *out = static_cast<std::vector<std::uint8_t> *>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void PngFlush(png_structp) {}

void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

struct PngPlan {
    int colorType, depth;
    png_color palette[256];
    png_byte alphas[256];
    int paletteCount;
};

bool WritePng(png_structp png, png_infop info, const DecodedImage *image, const PngPlan *plan, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(image->width), static_cast<png_uint_32>(image->height),
                 plan->depth, plan->colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (plan->colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, plan->palette, plan->paletteCount);
        png_set_tRNS(png, info, plan->alphas, plan->paletteCount, nullptr);
    }
    auto dpm = [](double dpi) { return static_cast<png_uint_32>(dpi / 0.0254 + 0.5); };
    png_set_pHYs(png, info, dpm(image->horizontalResolution), dpm(image->verticalResolution), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    if (plan->colorType != PNG_COLOR_TYPE_PALETTE) png_set_bgr(png);
    if (image->pixelFormat == ImagePixelFormat::Rgb32) png_set_filler(png, 0, PNG_FILLER_AFTER);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

PngPlan PlanPng(const DecodedImage &image) {
    PngPlan plan{};
    switch (image.pixelFormat) {
    case ImagePixelFormat::Rgb24:
    case ImagePixelFormat::Rgb32: plan.colorType = PNG_COLOR_TYPE_RGB; plan.depth = 8; return plan;
    case ImagePixelFormat::Argb32: plan.colorType = PNG_COLOR_TYPE_RGBA; plan.depth = 8; return plan;
    default: break;
    }
    plan.colorType = PNG_COLOR_TYPE_PALETTE;
    plan.depth = image.BitsPerPixel();
    plan.paletteCount = std::min(image.PaletteCount(), 1 << plan.depth);
    if (plan.paletteCount == 0) Unsupported("PNG: an indexed picture needs a palette");
    for (int i = 0; i < plan.paletteCount; ++i) {
        const std::uint8_t *entry = &image.palette[static_cast<std::size_t>(i) * 4];
        plan.palette[i] = png_color{entry[2], entry[1], entry[0]};
        plan.alphas[i] = entry[3];
    }
    return plan;
}

// ---- JPEG ----

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JpegError(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrors *>(info->err)->jump, 1); }

// `rows` holds top-first scanlines in the colour space asked for; the
// output buffer is malloc'ed by libjpeg and handed back through `out`.
bool WriteJpeg(const DecodedImage *image, JSAMPARRAY rows, bool grey, int quality, JpegCoding coding,
               unsigned char **out, unsigned long *size) {
    jpeg_compress_struct info{};
    JpegErrors errors{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JpegError;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, size);
    info.image_width = static_cast<JDIMENSION>(image->width);
    info.image_height = static_cast<JDIMENSION>(image->height);
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (coding == JpegCoding::Progressive) jpeg_simple_progression(&info);
    info.arith_code = coding == JpegCoding::Arithmetic ? TRUE : FALSE;
    info.density_unit = 1;
    info.X_density = static_cast<UINT16>(image->horizontalResolution + 0.5);
    info.Y_density = static_cast<UINT16>(image->verticalResolution + 0.5);
    jpeg_start_compress(&info, TRUE);
    jpeg_write_scanlines(&info, rows, static_cast<JDIMENSION>(image->height));
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const DecodedImage &image) {
    PngPlan plan = PlanPng(image);
    std::vector<std::uint8_t> out;
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) rows[y] = const_cast<png_bytep>(RowAt(image, y));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    bool ok = info != nullptr;
    if (ok) {
        png_set_write_fn(png, &out, PngWrite, PngFlush);
        ok = WritePng(png, info, &image, &plan, rows.data());
    }
    png_destroy_write_struct(&png, &info);
    if (!ok) throw ImageError(ImageError::Kind::Damaged, "PNG: the picture cannot be written");
    return out;
}

std::vector<std::uint8_t> EncodeJpeg(const DecodedImage &image, int quality, JpegCoding coding) {
    bool grey = image.pixelFormat == ImagePixelFormat::Indexed8;
    if (!grey && image.pixelFormat != ImagePixelFormat::Rgb24 && image.pixelFormat != ImagePixelFormat::Rgb32)
        Unsupported("JPEG: only RGB and grey pictures can be written");
    // libjpeg wants packed rows: three bytes per pixel, or one grey byte.
    int channels = grey ? 1 : 3, source = image.BitsPerPixel() / 8;
    std::vector<std::uint8_t> packed(static_cast<std::size_t>(image.width) * channels * image.height);
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t *row = packed.data() + static_cast<std::size_t>(y) * image.width * channels;
        const std::uint8_t *in = RowAt(image, y);
        for (int x = 0; x < image.width; ++x) {
            if (grey) {
                std::size_t entry = static_cast<std::size_t>(in[x]) * 4 + 2;
                row[x] = entry < image.palette.size() ? image.palette[entry] : in[x];
            } else {
                std::memcpy(row + x * 3, in + x * source, 3);
            }
        }
        rows[y] = row;
    }
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    bool ok = WriteJpeg(&image, rows.data(), grey, quality, coding, &buffer, &size);
    std::vector<std::uint8_t> out;
    if (ok) out.assign(buffer, buffer + size);
    std::free(buffer);
    if (!ok) throw ImageError(ImageError::Kind::Damaged, "JPEG: the picture cannot be written");
    return out;
}

namespace {

int GifWrite(GifFileType *gif, const GifByteType *data, int count) {
    auto *out = static_cast<std::vector<std::uint8_t> *>(gif->UserData);
    out->insert(out->end(), data, data + count);
    return count;
}

int IndexAt(const DecodedImage &image, const std::uint8_t *row, int x) {
    switch (image.pixelFormat) {
    case ImagePixelFormat::Indexed1: return row[x / 8] >> (7 - x % 8) & 1;
    case ImagePixelFormat::Indexed4: return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
    default: return row[x];
    }
}

}  // namespace

std::vector<std::uint8_t> EncodeGif(const DecodedImage &image) {
    int bits = image.BitsPerPixel();
    if (bits > 8 || image.PaletteCount() == 0) Unsupported("GIF: only indexed pictures can be written");
    std::vector<GifColorType> colors(static_cast<std::size_t>(1) << bits);
    int transparent = -1;
    for (int i = 0; i < image.PaletteCount() && i < static_cast<int>(colors.size()); ++i) {
        const std::uint8_t *entry = &image.palette[static_cast<std::size_t>(i) * 4];
        colors[i] = GifColorType{entry[2], entry[1], entry[0]};
        if (transparent < 0 && entry[3] < 128) transparent = i;
    }
    std::vector<std::uint8_t> out;
    int error = 0;
    GifFileType *gif = EGifOpen(&out, GifWrite, &error);
    if (gif == nullptr) throw ImageError(ImageError::Kind::Damaged, "GIF: the picture cannot be written");
    ColorMapObject *map = GifMakeMapObject(static_cast<int>(colors.size()), colors.data());
    bool ok = map != nullptr;
    ok = ok && EGifPutScreenDesc(gif, image.width, image.height, bits, 0, map) == GIF_OK;
    if (ok && transparent >= 0) {
        GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, transparent};
        GifByteType block[4];
        EGifGCBToExtension(&gcb, block);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(static_cast<std::size_t>(image.width));
    for (int y = 0; ok && y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) line[x] = static_cast<GifPixelType>(IndexAt(image, RowAt(image, y), x));
        ok = EGifPutLine(gif, line.data(), image.width) == GIF_OK;
    }
    GifFreeMapObject(map);
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    if (!ok) throw ImageError(ImageError::Kind::Damaged, "GIF: the picture cannot be written");
    return out;
}

std::vector<std::uint8_t> EncodeTiff(const DecodedImage &image) {
    bool bilevel = image.pixelFormat == ImagePixelFormat::Indexed1;
    bool alpha = image.pixelFormat == ImagePixelFormat::Argb32;
    if (!bilevel && !alpha && image.pixelFormat != ImagePixelFormat::Rgb24)
        Unsupported("TIFF: only RGB, RGBA and bilevel pictures can be written");
    std::vector<std::uint8_t> out;
    ImageFormats::TiffMemory memory;
    memory.output = &out;
    ImageFormats::TiffHandle handle;
    handle.tiff = ImageFormats::OpenTiffMemory(memory, "w");
    TIFF *tiff = handle.tiff;
    if (tiff == nullptr) throw ImageError(ImageError::Kind::Damaged, "TIFF: the picture cannot be written");
    int samples = bilevel ? 1 : alpha ? 4 : 3;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(image.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(image.height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bilevel ? 1 : 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<std::uint32_t>(image.height));
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<float>(image.horizontalResolution));
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<float>(image.verticalResolution));
    if (bilevel) {
        // Palette entry 0 decides: black first means zero bits are black.
        bool zeroIsBlack = image.PaletteCount() == 0 || image.palette[0] < 128;
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, zeroIsBlack ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    } else {
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        if (alpha) {
            std::uint16_t extra = EXTRASAMPLE_UNASSALPHA;
            TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &extra);
        }
    }
    std::size_t rowBytes = bilevel ? (static_cast<std::size_t>(image.width) + 7) / 8
                                   : static_cast<std::size_t>(image.width) * samples;
    std::vector<std::uint8_t> line(rowBytes);
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t *in = RowAt(image, y);
        if (bilevel) {
            std::memcpy(line.data(), in, rowBytes);
        } else {
            // Bitmap rows are B, G, R(, A); TIFF wants R, G, B(, A).
            for (int x = 0; x < image.width; ++x)
                for (int c = 0; c < samples; ++c) line[x * samples + c] = in[x * samples + (c < 3 ? 2 - c : 3)];
        }
        if (TIFFWriteScanline(tiff, line.data(), static_cast<std::uint32_t>(y), 0) < 0)
            throw ImageError(ImageError::Kind::Damaged, "TIFF: " + memory.error);
    }
    TIFFClose(tiff);
    handle.tiff = nullptr;
    return out;
}

}  // namespace ZavorPlatform
