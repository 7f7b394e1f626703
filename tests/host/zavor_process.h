// Runs the real zavor binary on a script written by the test.
#pragma once

#include <filesystem>
#include <string>

namespace ZavorHostTest {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// A fresh folder per test for scripts, logs and outputs.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::filesystem::path &Path() const { return path_; }
    std::filesystem::path Write(const std::string &name, const std::string &content) const;
    std::string Read(const std::string &name) const;

private:
    std::filesystem::path path_;
};

std::filesystem::path FakePlugin();

// Runs "zavor ARGUMENTS" in folder with FAKE_PLUGIN_LOG set to folder/log
// and the extra environment assignments (e.g. "FAKE_PLUGIN_ENDLESS=1").
ProcessResult RunZavor(const ScratchFolder &folder, const std::string &arguments,
                       const std::string &environment = "");

// Quotes a path for the shell.
std::string Quote(const std::filesystem::path &path);

}  // namespace ZavorHostTest
