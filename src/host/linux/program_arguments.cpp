#include "host/program_arguments.h"

namespace ZavorHost {

// Linux hands over the bytes as typed; under a UTF-8 locale they are UTF-8.
std::vector<std::string> ProgramArguments(int argc, char **argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace ZavorHost
