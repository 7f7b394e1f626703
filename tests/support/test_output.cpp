#include "support/test_output.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace ZavorTest {

std::filesystem::path OutputPath(const std::string &name) {
    std::filesystem::path dir(ZAVOR_TEST_OUTPUT_DIR);
    std::filesystem::create_directories(dir);
    return dir / name;
}

namespace {

void Publish(const std::filesystem::path &target, const std::function<void(const std::filesystem::path &)> &write) {
    std::filesystem::path own = target;
    own += "." + std::to_string(getpid()) + ".part";
    write(own);
    std::filesystem::rename(own, target);
}

}  // namespace

std::filesystem::path PublishOutput(const std::string &name,
                                    const std::function<void(const std::filesystem::path &)> &write) {
    std::filesystem::path target = OutputPath(name);
    Publish(target, write);
    return target;
}

void PublishFile(const std::filesystem::path &path, std::string_view bytes) {
    Publish(path, [&](const std::filesystem::path &own) {
        std::ofstream(own, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    });
}

std::string RunCommand(const std::string &command) {
    std::string output;
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[4096];
    while (std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, read);
    pclose(pipe);
    return output;
}

std::filesystem::path BinaryDir() { return ZAVOR_BINARY_DIR; }

std::filesystem::path SourceDir() { return ZAVOR_SOURCE_DIR; }

std::vector<std::string> FirstListedImage(const std::string &list) {
    std::istringstream lines(list);
    std::string line;
    for (int skip = 0; skip < 3; ++skip) std::getline(lines, line);
    std::istringstream fields(line);
    std::vector<std::string> out;
    for (std::string field; fields >> field;) out.push_back(field);
    return out;
}

}  // namespace ZavorTest
