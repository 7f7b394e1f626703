// Where tests put the files they write, and where they find the built
// programs and the source tree.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ZavorTest {

// build/test-output/<name>, with the folder created. Every PDF a test writes
// goes here, so that the suite can check all of them with qpdf.
std::filesystem::path OutputPath(const std::string &name);

// OutputPath(name), written by `write` under a name of this process's own
// and then renamed into place. CTest runs each test in its own process and
// several of them make the same shared file: renaming means a reader in
// another process never sees it half written.
std::filesystem::path PublishOutput(const std::string &name,
                                    const std::function<void(const std::filesystem::path &)> &write);
// The same for bytes at a given path.
void PublishFile(const std::filesystem::path &path, std::string_view bytes);

// Standard output of a shell command (qpdf, pdfinfo, pdftotext ...); empty
// when it cannot be started.
std::string RunCommand(const std::string &command);

// The fields of the first image line of "pdfimages -list" output: page,
// num, type, width, height, color, comp, bpc, enc ...
std::vector<std::string> FirstListedImage(const std::string &list);

// The folder holding libzavor.so and the zavor host.
std::filesystem::path BinaryDir();

// The root of the source tree (examples/, tests/data/ ...).
std::filesystem::path SourceDir();

}  // namespace ZavorTest
