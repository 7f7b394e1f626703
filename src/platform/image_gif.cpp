// GIF through giflib: the first frame, placed on the logical screen. The
// frame is read line by line after its size is checked, so a hostile size
// is refused before anything is allocated for it.
#include <algorithm>
#include <cstring>
#include <vector>

#include <gif_lib.h>

#include "platform/image_formats.h"

namespace ZavorPlatform::ImageFormats {
namespace {

constexpr const char *kFormat = "GIF";

struct GifSource {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

int ReadData(GifFileType *gif, GifByteType *out, int count) {
    auto *source = static_cast<GifSource *>(gif->UserData);
    std::size_t available = source->bytes.size() - source->position;
    std::size_t n = std::min(available, static_cast<std::size_t>(std::max(count, 0)));
    if (n > 0) std::memcpy(out, source->bytes.data() + source->position, n);
    source->position += n;
    return static_cast<int>(n);
}

struct GifHandle {
    GifFileType *gif = nullptr;
    ~GifHandle() {
        int error = 0;
        if (gif != nullptr) DGifCloseFile(gif, &error);
    }
};

[[noreturn]] void Fail(const GifFileType *gif) {
    const char *reason = gif != nullptr ? GifErrorString(gif->Error) : nullptr;
    Damaged(kFormat, reason != nullptr ? reason : "the file is damaged");
}

// Skips extensions up to the first frame; returns the transparent index of
// its graphic control block, or -1.
int SkipToFrame(GifFileType *gif) {
    int transparent = -1;
    for (;;) {
        GifRecordType record;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR) Fail(gif);
        if (record == IMAGE_DESC_RECORD_TYPE) return transparent;
        if (record == TERMINATE_RECORD_TYPE) Damaged(kFormat, "the file holds no picture");
        if (record != EXTENSION_RECORD_TYPE) continue;
        int code = 0;
        GifByteType *block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) Fail(gif);
        if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
            GraphicsControlBlock gcb;
            if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
        }
        while (block != nullptr)
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) Fail(gif);
    }
}

ImagePixelFormat FormatFor(int paletteCount) {
    if (paletteCount <= 2) return ImagePixelFormat::Indexed1;
    if (paletteCount <= 16) return ImagePixelFormat::Indexed4;
    return ImagePixelFormat::Indexed8;
}

void SetIndex(DecodedImage &image, int x, int y, int index) {
    std::uint8_t *row = RowFromTop(image, y);
    switch (image.pixelFormat) {
    case ImagePixelFormat::Indexed1:
        if (index & 1) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        else row[x / 8] &= static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
        break;
    case ImagePixelFormat::Indexed4:
        row[x / 2] = x % 2 == 0 ? static_cast<std::uint8_t>((row[x / 2] & 0x0F) | (index & 0x0F) << 4)
                                : static_cast<std::uint8_t>((row[x / 2] & 0xF0) | (index & 0x0F));
        break;
    default: row[x] = static_cast<std::uint8_t>(index);
    }
}

void ReadFrame(GifFileType *gif, DecodedImage &image, int background) {
    const GifImageDesc &frame = gif->Image;
    CheckDimensions(frame.Width, frame.Height, kFormat);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) SetIndex(image, x, y, background);
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
    // Interlaced frames arrive in four passes over the rows.
    static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    int passes = frame.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        int start = frame.Interlace ? kStart[pass] : 0, step = frame.Interlace ? kStep[pass] : 1;
        for (int row = start; row < frame.Height; row += step) {
            if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) Fail(gif);
            int y = frame.Top + row;
            if (y < 0 || y >= image.height) continue;
            for (int x = 0; x < frame.Width; ++x) {
                int px = frame.Left + x;
                if (px >= 0 && px < image.width) SetIndex(image, px, y, line[static_cast<std::size_t>(x)]);
            }
        }
    }
}

}  // namespace

DecodedImage DecodeGif(std::span<const std::uint8_t> bytes) {
    GifSource source{bytes};
    GifHandle handle;
    int error = 0;
    handle.gif = DGifOpen(&source, ReadData, &error);
    if (handle.gif == nullptr) Damaged(kFormat, GifErrorString(error) ? GifErrorString(error) : "cannot open");
    GifFileType *gif = handle.gif;
    CheckDimensions(gif->SWidth, gif->SHeight, kFormat);
    int transparent = SkipToFrame(gif);
    if (DGifGetImageDesc(gif) == GIF_ERROR) Fail(gif);
    const ColorMapObject *map = gif->Image.ColorMap != nullptr ? gif->Image.ColorMap : gif->SColorMap;
    if (map == nullptr || map->ColorCount <= 0) Damaged(kFormat, "the picture has no colour table");
    DecodedImage image = MakeBitmap(gif->SWidth, gif->SHeight, FormatFor(map->ColorCount));
    image.format = ImageFileFormat::Gif;
    image.palette.resize(static_cast<std::size_t>(map->ColorCount) * 4);
    for (int i = 0; i < map->ColorCount; ++i) {
        std::uint8_t *entry = &image.palette[static_cast<std::size_t>(i) * 4];
        entry[0] = map->Colors[i].Blue;
        entry[1] = map->Colors[i].Green;
        entry[2] = map->Colors[i].Red;
        entry[3] = i == transparent ? 0 : 255;
    }
    // Uncovered screen shows through where the frame is transparent.
    int background = transparent >= 0 ? transparent : std::clamp(gif->SBackGroundColor, 0, map->ColorCount - 1);
    ReadFrame(gif, image, background);
    return image;
}

}  // namespace ZavorPlatform::ImageFormats
