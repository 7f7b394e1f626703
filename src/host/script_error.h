// A fault of the script, reported as "file:line: message" with exit status 2.
#pragma once

#include <stdexcept>
#include <string>

namespace ZavorHost {

struct ScriptError {
    int line = 0;
    std::string message;
};

// Thrown while a script runs; the interpreter adds the line.
class ScriptRuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace ZavorHost
