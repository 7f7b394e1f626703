#include "platform/file_mapping.h"

#include <windows.h>

#include <limits>

#include "platform/win32/file_handle.h"

namespace ZavorPlatform {

std::unique_ptr<FileMapping> FileMapping::Map(const std::filesystem::path &path) {
    // Shared with writers as an ordinary read is; the system refuses to
    // shorten a file while a view of it exists, so the view never loses
    // pages under it.
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen() || GetFileType(file.Get()) != FILE_TYPE_DISK) return nullptr;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0) return nullptr;
    if (static_cast<unsigned long long>(size.QuadPart) > std::numeric_limits<std::size_t>::max()) return nullptr;
    // The view keeps the file and the mapping object alive once their
    // handles are closed.
    FileHandle mapping(CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping.IsOpen()) return nullptr;
    void *view = MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) return nullptr;
    return std::unique_ptr<FileMapping>(
        new FileMapping(static_cast<const std::uint8_t *>(view), static_cast<std::size_t>(size.QuadPart), -1));
}

// A file with a view cannot be shortened or replaced until the view goes.
bool FileMapping::LeavesFileWritable() { return false; }

FileMapping::FileMapping(const std::uint8_t *data, std::size_t size, int slot)
    : data_(data), size_(size), slot_(slot) {}

FileMapping::~FileMapping() { UnmapViewOfFile(data_); }

bool FileMapping::Shortened() const { return false; }

}  // namespace ZavorPlatform
