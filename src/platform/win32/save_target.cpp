#include "platform/win32/save_target.h"

#include <windows.h>

#include <cerrno>
#include <string>

#include "platform/win32/file_handle.h"
#include "platform/win32/windows_error.h"

namespace ZavorPlatform {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// FILE_FLAG_BACKUP_SEMANTICS lets a folder be opened too, so that it can be
// told apart; links are followed.
FileHandle OpenToExamine(const std::filesystem::path &name) {
    return FileHandle(CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool IsLink(const std::filesystem::path &name) {
    DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The file at the end of the links, without the "\\?\" that the system puts
// before the name it reports.
std::filesystem::path FinalPath(HANDLE file, const std::filesystem::path &name) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
        if (length == 0) ThrowLastError("Cannot follow the link", name);
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(length);
    }
    if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + path.substr(8);
    if (path.starts_with(L"\\\\?\\") && path.size() >= 6 && path[5] == L':') return path.substr(4);
    return path;
}

// Opening for writing is the one question that takes the file's access
// rules, its read-only attribute and other programs' locks into account.
int WriteError(const std::filesystem::path &path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsOpen() ? 0 : ErrnoOfWindowsError(GetLastError());
}

}  // namespace

SaveTarget InspectSaveTarget(const std::filesystem::path &name) {
    FileHandle file = OpenToExamine(name);
    if (!file.IsOpen()) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            ThrowFileError(ErrnoOfWindowsError(error), IsLink(name) ? "The link leads to no file" : "Cannot examine", name);
        if (IsLink(name)) ThrowFileError(ENOENT, "The link leads to no file", name);
        // A new file; whether its folder can take it shows when the
        // temporary file is made there.
        return {name, false};
    }
    // Devices ("NUL", "COM1") and pipes are no files on disk.
    if (GetFileType(file.Get()) != FILE_TYPE_DISK)
        ThrowFileError(EINVAL, "Cannot save over something that is not a regular file", name);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.Get(), &information)) ThrowLastError("Cannot examine", name);
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        ThrowFileError(EISDIR, "Cannot save over a folder", name);
    std::filesystem::path path = IsLink(name) ? FinalPath(file.Get(), name) : name;
    file.Close();
    // A read-only file is write-protected for everyone, as the user sees it.
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0)
        ThrowFileError(EACCES, "The file is write-protected", name);
    if (int error = WriteError(path); error == EBUSY)
        ThrowFileError(error, "The file is in use by another program", name);
    else if (error != 0)
        ThrowFileError(error, "The file is write-protected", name);
    return {path, true};
}

}  // namespace ZavorPlatform
