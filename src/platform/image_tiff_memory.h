// A TIFF "file" in memory for libtiff's client interface: reads from a
// caller's span, or writes into a growing buffer. Errors are recorded, not
// printed, so that decoding stays silent and its failures carry the reason.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <tiffio.h>

namespace ZavorPlatform::ImageFormats {

struct TiffMemory {
    std::span<const std::uint8_t> input;
    std::vector<std::uint8_t> *output = nullptr;  // non-owning; null when reading
    std::uint64_t position = 0;
    std::string error;    // the first error
    std::string warning;  // the first warning since it was last cleared
};

// Opens `memory` with mode "r" or "w"; null on failure (reason in error).
TIFF *OpenTiffMemory(TiffMemory &memory, const char *mode);

struct TiffHandle {
    TIFF *tiff = nullptr;
    ~TiffHandle() {
        if (tiff != nullptr) TIFFClose(tiff);
    }
};

}  // namespace ZavorPlatform::ImageFormats
