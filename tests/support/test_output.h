// Where tests put the files they write, and where they find the built
// programs and the source tree.
#pragma once

#include <filesystem>
#include <string>

namespace ZavorTest {

// build/test-output/<name>, with the folder created. Every PDF a test writes
// goes here, so that the suite can check all of them with qpdf.
std::filesystem::path OutputPath(const std::string &name);

// The folder holding libzavor.so and the zavor host.
std::filesystem::path BinaryDir();

// The root of the source tree (examples/, tests/data/ ...).
std::filesystem::path SourceDir();

}  // namespace ZavorTest
