#include "platform/file_identity.h"

#include <windows.h>

#include "platform/win32/file_handle.h"

namespace ZavorPlatform {

std::optional<FileIdentity> IdentifyFile(const std::filesystem::path &name) {
    // Attributes only, shared with everyone, so that a file another program
    // is writing can still be examined.
    FileHandle file(CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.IsOpen()) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.Get(), &information)) return std::nullopt;
    FileIdentity identity;
    identity.volume = information.dwVolumeSerialNumber;
    identity.file = (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    identity.size = (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    identity.modified = static_cast<std::int64_t>((static_cast<std::uint64_t>(information.ftLastWriteTime.dwHighDateTime)
                                                   << 32) |
                                                  information.ftLastWriteTime.dwLowDateTime);
    return identity;
}

}  // namespace ZavorPlatform
