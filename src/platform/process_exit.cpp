#include "platform/process_exit.h"

#include <cstdlib>
#include <utility>

namespace ZavorPlatform {
namespace {

ProcessExitHandler &CurrentHandler() {
    static ProcessExitHandler handler;
    return handler;
}

}  // namespace

void ExitProcess(int exitCode) {
    if (CurrentHandler()) {
        CurrentHandler()(exitCode);
        return;
    }
    std::exit(exitCode);
}

ProcessExitHandler SetProcessExitHandler(ProcessExitHandler handler) {
    return std::exchange(CurrentHandler(), std::move(handler));
}

ProcessExitRecorder::ProcessExitRecorder()
    : previous_(SetProcessExitHandler([this](int exitCode) { exitCodes_.push_back(exitCode); })) {}

ProcessExitRecorder::~ProcessExitRecorder() { SetProcessExitHandler(std::move(previous_)); }

}  // namespace ZavorPlatform
