#include "platform/file_launcher.h"

#include <utility>

#include "platform/system_file_launcher.h"

namespace ZavorPlatform {
namespace {

FileLauncher &CurrentLauncher() {
    static FileLauncher launcher;
    return launcher;
}

}  // namespace

bool OpenWithAssociatedProgram(std::u16string_view path) noexcept {
    try {
        std::u16string text(path);
        const FileLauncher &launcher = CurrentLauncher();
        return launcher ? launcher(text) : LaunchWithSystem(text);
    } catch (...) {
        return false;
    }
}

FileLauncher SetFileLauncher(FileLauncher launcher) { return std::exchange(CurrentLauncher(), std::move(launcher)); }

FileLaunchRecorder::FileLaunchRecorder(bool result) : result_(result) {
    previous_ = SetFileLauncher([this](const std::u16string &path) {
        requests_.push_back(path);
        return result_;
    });
}

FileLaunchRecorder::~FileLaunchRecorder() { SetFileLauncher(std::move(previous_)); }

}  // namespace ZavorPlatform
