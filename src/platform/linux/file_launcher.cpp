#include "platform/system_file_launcher.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/code_page.h"

extern char **environ;

namespace ZavorPlatform {
namespace {

// Starts the opener with its standard streams on /dev/null; 0 on success.
int SpawnOpener(const std::string &path) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd = 0; fd <= 2; ++fd)
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    std::string program = "xdg-open";
    char *argv[] = {program.data(), const_cast<char *>(path.c_str()), nullptr};
    pid_t child = 0;
    int result = posix_spawnp(&child, "xdg-open", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return result;
}

}  // namespace

// The opener runs as a grandchild: the short-lived child that starts it is
// reaped here at once, so the opener is adopted by init and leaves no zombie
// behind in the host, however long it runs.
bool LaunchWithSystem(const std::u16string &path) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::path(path), error)) return false;
    std::string utf8 = Utf16ToUtf8(path);
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        setsid();
        _exit(SpawnOpener(utf8) == 0 ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace ZavorPlatform
