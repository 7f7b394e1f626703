// Opening a file with the program that the desktop associates with its type,
// without waiting for that program. Tests replace the launcher by a recorder.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ZavorPlatform {

// Returns whether the program could be started. Never throws.
using FileLauncher = std::function<bool(const std::u16string &path)>;

// Starts the associated program for the file (Linux: xdg-open, detached from
// this process; Windows: the shell's association) and returns at once.
// False when the file does not exist or the opener cannot be started; what
// the opener does later is not awaited.
bool OpenWithAssociatedProgram(std::u16string_view path) noexcept;

// Replaces the launcher and returns the previous one; an empty launcher
// restores the system's own.
FileLauncher SetFileLauncher(FileLauncher launcher);

// Records every request instead of starting anything, answers each with the
// result set, and puts the previous launcher back when it goes.
class FileLaunchRecorder {
public:
    explicit FileLaunchRecorder(bool result = true);
    ~FileLaunchRecorder();
    FileLaunchRecorder(const FileLaunchRecorder &) = delete;
    FileLaunchRecorder &operator=(const FileLaunchRecorder &) = delete;

    const std::vector<std::u16string> &Requests() const { return requests_; }
    void SetResult(bool result) { result_ = result; }

private:
    std::vector<std::u16string> requests_;
    bool result_;
    FileLauncher previous_;
};

}  // namespace ZavorPlatform
