// Pictures made in the tests: bitmaps of a few pixels in every pixel
// format, written to files through the platform encoders when a test needs
// a path.
#pragma once

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/image_decoder.h"
#include "support/test_output.h"

namespace ZavorTest {

using Bytes = std::vector<std::uint8_t>;

inline std::uint8_t *PictureRow(ZavorPlatform::DecodedImage &image, int y) {
    return image.pixels.data() + static_cast<std::size_t>(image.height - 1 - y) * image.Stride();
}

// `width` x `height` of one BGR(A) colour.
inline ZavorPlatform::DecodedImage SolidPicture(int width, int height, ZavorPlatform::ImagePixelFormat format,
                                                std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
    ZavorPlatform::DecodedImage image = ZavorPlatform::MakeBitmap(width, height, format);
    int step = image.BitsPerPixel() / 8;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t *p = PictureRow(image, y) + x * step;
            p[0] = b;
            p[1] = g;
            p[2] = r;
            if (step == 4) p[3] = a;
        }
    return image;
}

// Indexed picture: palette entries given as {b, g, r, a} quads, pixel
// indices row by row from the top.
inline ZavorPlatform::DecodedImage IndexedPicture(int width, int height, ZavorPlatform::ImagePixelFormat format,
                                                  Bytes palette, const std::vector<int> &indices) {
    ZavorPlatform::DecodedImage image = ZavorPlatform::MakeBitmap(width, height, format);
    image.palette = std::move(palette);
    int bits = image.BitsPerPixel();
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = PictureRow(image, y);
        for (int x = 0; x < width; ++x) {
            int index = indices[static_cast<std::size_t>(y * width + x)];
            if (bits == 8) row[x] = static_cast<std::uint8_t>(index);
            else if (bits == 4) row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
            else row[x / 8] |= static_cast<std::uint8_t>(index << (7 - x % 8));
        }
    }
    return image;
}

inline std::filesystem::path WritePictureFile(const std::string &name, const Bytes &bytes) {
    std::filesystem::path path = OutputPath(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    return path;
}

}  // namespace ZavorTest
