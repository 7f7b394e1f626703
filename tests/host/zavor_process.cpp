#include "host/zavor_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "support/test_output.h"

namespace ZavorHostTest {

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("zavor-host-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchFolder::Write(const std::string &name, const std::string &content) const {
    std::filesystem::path file = path_ / name;
    std::ofstream(file, std::ios::binary) << content;
    return file;
}

std::string ScratchFolder::Read(const std::string &name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::filesystem::path FakePlugin() { return ZavorTest::BinaryDir() / "libzavor_fake.so"; }

std::string Quote(const std::filesystem::path &path) { return "'" + path.string() + "'"; }

ProcessResult RunZavor(const ScratchFolder &folder, const std::string &arguments, const std::string &environment) {
    std::string command = "cd " + Quote(folder.Path()) + " && FAKE_PLUGIN_LOG=log " + environment + " " +
                          Quote(ZavorTest::BinaryDir() / "zavor") + " " + arguments + " >stdout 2>stderr";
    int status = std::system(command.c_str());
    ProcessResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = folder.Read("stdout");
    result.err = folder.Read("stderr");
    return result;
}

}  // namespace ZavorHostTest
