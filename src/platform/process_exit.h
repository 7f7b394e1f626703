// Ending the process after a failure the plug-in cannot recover from.
// Tests replace the ending so that they can see "the process would exit with
// code 1" and live on.
#pragma once

#include <functional>
#include <vector>

namespace ZavorPlatform {

using ProcessExitHandler = std::function<void(int exitCode)>;

// Ends the process with the code. Returns only when a replacement handler
// does, so callers must leave their work in a harmless state afterwards.
void ExitProcess(int exitCode);

// Replaces the handler and returns the previous one; an empty handler
// restores the real ending.
ProcessExitHandler SetProcessExitHandler(ProcessExitHandler handler);

// Records the exit codes asked for while it lives instead of exiting, and
// puts the previous handler back when it goes.
class ProcessExitRecorder {
public:
    ProcessExitRecorder();
    ~ProcessExitRecorder();
    ProcessExitRecorder(const ProcessExitRecorder &) = delete;
    ProcessExitRecorder &operator=(const ProcessExitRecorder &) = delete;

    const std::vector<int> &ExitCodes() const { return exitCodes_; }

private:
    std::vector<int> exitCodes_;
    ProcessExitHandler previous_;
};

}  // namespace ZavorPlatform
