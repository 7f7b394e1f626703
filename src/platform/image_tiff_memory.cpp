#include "platform/image_tiff_memory.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace ZavorPlatform::ImageFormats {
namespace {

TiffMemory &Of(thandle_t handle) { return *static_cast<TiffMemory *>(handle); }

std::uint64_t SizeOf(const TiffMemory &memory) {
    return memory.output != nullptr ? memory.output->size() : memory.input.size();
}

tmsize_t Read(thandle_t handle, void *out, tmsize_t count) {
    TiffMemory &memory = Of(handle);
    std::uint64_t size = SizeOf(memory);
    if (count < 0 || memory.position >= size) return 0;
    auto n = static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(count), size - memory.position));
    const std::uint8_t *source = memory.output != nullptr ? memory.output->data() : memory.input.data();
    std::memcpy(out, source + memory.position, n);
    memory.position += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t Write(thandle_t handle, void *data, tmsize_t count) {
    TiffMemory &memory = Of(handle);
    if (memory.output == nullptr || count <= 0) return count == 0 ? 0 : -1;
    auto end = memory.position + static_cast<std::uint64_t>(count);
    if (end > memory.output->size()) memory.output->resize(static_cast<std::size_t>(end));
    std::memcpy(memory.output->data() + memory.position, data, static_cast<std::size_t>(count));
    memory.position = end;
    return count;
}

toff_t Seek(thandle_t handle, toff_t offset, int whence) {
    TiffMemory &memory = Of(handle);
    std::uint64_t base = whence == SEEK_CUR ? memory.position : whence == SEEK_END ? SizeOf(memory) : 0;
    std::uint64_t target = base + offset;
    // Reading never goes past the end; writing may leave a gap to fill.
    if (memory.output == nullptr && target > memory.input.size()) return static_cast<toff_t>(-1);
    memory.position = target;
    return target;
}

int Close(thandle_t) { return 0; }

toff_t Size(thandle_t handle) { return SizeOf(Of(handle)); }

// Without a mapping libtiff refuses valid uncompressed tiles of less than
// a kilobyte ("Invalid tile byte count"). Through one it takes strips and
// tiles straight from the bytes, checked against their size, and never
// writes there; they stay the caller's while the TIFF is open.
int Map(thandle_t handle, void **base, toff_t *size) {
    TiffMemory &memory = Of(handle);
    if (memory.output != nullptr) return 0;
    *base = const_cast<std::uint8_t *>(memory.input.data());
    *size = memory.input.size();
    return 1;
}

void Unmap(thandle_t, void *, toff_t) {}

// Called from inside libtiff, so nothing may escape.
void Record(std::string &into, const char *module, const char *format, va_list args) noexcept {
    if (!into.empty()) return;
    char text[256];
    std::vsnprintf(text, sizeof text, format, args);
    try {
        into = std::string(module != nullptr ? module : "TIFF") + ": " + text;
    } catch (...) {
    }
}

int OnError(TIFF *, void *user, const char *module, const char *format, va_list args) {
    Record(static_cast<TiffMemory *>(user)->error, module, format, args);
    return 1;
}

int OnWarning(TIFF *, void *user, const char *module, const char *format, va_list args) {
    Record(static_cast<TiffMemory *>(user)->warning, module, format, args);
    return 1;
}

// Bounds what one hostile directory can make libtiff allocate at once.
constexpr tmsize_t kMaxSingleAllocation = 512 * 1024 * 1024;

}  // namespace

TIFF *OpenTiffMemory(TiffMemory &memory, const char *mode) {
    TIFFOpenOptions *options = TIFFOpenOptionsAlloc();
    if (options == nullptr) return nullptr;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxSingleAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, &memory);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, &memory);
    TIFF *tiff = TIFFClientOpenExt("memory", mode, &memory, Read, Write, Seek, Close, Size, Map, Unmap, options);
    TIFFOpenOptionsFree(options);
    return tiff;
}

}  // namespace ZavorPlatform::ImageFormats
