#include "support/test_output.h"

#include <unistd.h>

namespace ZavorTest {

std::filesystem::path OutputPath(const std::string &name) {
    std::filesystem::path dir(ZAVOR_TEST_OUTPUT_DIR);
    std::filesystem::create_directories(dir);
    return dir / name;
}

std::filesystem::path PublishOutput(const std::string &name,
                                    const std::function<void(const std::filesystem::path &)> &write) {
    std::filesystem::path target = OutputPath(name);
    std::filesystem::path own = OutputPath(name + "." + std::to_string(getpid()) + ".part");
    write(own);
    std::filesystem::rename(own, target);
    return target;
}

std::filesystem::path BinaryDir() { return ZAVOR_BINARY_DIR; }

std::filesystem::path SourceDir() { return ZAVOR_SOURCE_DIR; }

}  // namespace ZavorTest
