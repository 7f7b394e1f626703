// The command line's arguments as UTF-8 texts, as the rest of the host reads
// every text.
#pragma once

#include <string>
#include <vector>

namespace ZavorHost {

// The arguments after the program's name.
std::vector<std::string> ProgramArguments(int argc, char **argv);

}  // namespace ZavorHost
