#include "support/test_output.h"

namespace ZavorTest {

std::filesystem::path OutputPath(const std::string &name) {
    std::filesystem::path dir(ZAVOR_TEST_OUTPUT_DIR);
    std::filesystem::create_directories(dir);
    return dir / name;
}

std::filesystem::path BinaryDir() { return ZAVOR_BINARY_DIR; }

std::filesystem::path SourceDir() { return ZAVOR_SOURCE_DIR; }

}  // namespace ZavorTest
