// Runs a parsed script against the plug-in's exports and answers the
// plug-in's callback while it does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "host/host_variables.h"
#include "host/plugin_library.h"
#include "host/script.h"

namespace ZavorHost {

struct RunOutcome {
    std::optional<ScriptError> error;
    int eventsRaised = 0;
};

class Interpreter {
public:
    // An ON handler that raises its own event again would recurse until the
    // stack ran out; past this depth the run stops with a script error.
    static constexpr int kMaxHandlerDepth = 16;
    // The host passes no buffer sizes; the plug-in promises to write no
    // more than this to a GetVar result.
    static constexpr std::size_t kGetVarBufferSize = ZAVOR_GETVAR_RESULT_SIZE;
    // The size of the buffer the plug-in hands over with "Subst".
    static constexpr std::size_t kSubstBufferSize = 100000;

    // plugin and variables must outlive the interpreter (non-owning).
    Interpreter(const PluginExports &plugin, HostVariables &variables, std::ostream &out);
    Interpreter(const Interpreter &) = delete;
    Interpreter &operator=(const Interpreter &) = delete;

    // QnD_RunInit, every statement in order until the first script error,
    // then QnD_Stop. The caller has already handed over the callback with
    // QnD_Initialize2.
    RunOutcome Run(const Script &script);

    // The callback that QnD_Initialize2 hands to the plug-in. It reaches the
    // interpreter whose Run is in progress; outside a run it answers "Subst"
    // with the text unchanged and ignores "Interrupt".
    static HostCallbackFunction Callback();

    // Called by the callback for the running interpreter. Never throws: a
    // fault is kept and reported when the plug-in's export has returned.
    int32_t HandleCallback(const char *service, const char *parameter, int32_t length, char *answer);

private:
    void Execute(const Statement &statement);
    void ExecuteGet(const Statement &statement);
    void RaiseEvent(const std::string &event);
    void ThrowPending() const;

    const PluginExports &plugin_;
    HostVariables &variables_;
    std::ostream &out_;
    std::vector<const Statement *> handlers_;  // ON statements of the script, in the order reached
    std::optional<ScriptError> pending_;
    // One zeroed GetVar buffer per GET in progress (a handler running inside
    // GetVar may GET too); kept between calls, so that a GET costs no
    // megabyte to allocate and clear. Zeroed by calloc, which takes a fresh
    // megabyte from the system already zero instead of writing every byte.
    struct FreeBuffer {
        void operator()(char *buffer) const { std::free(buffer); }
    };
    std::vector<std::unique_ptr<char[], FreeBuffer>> getBuffers_;
    std::size_t getsRunning_ = 0;
    int depth_ = 0;
    int currentLine_ = 0;
    int eventsRaised_ = 0;
};

// Answers "Subst" into the plug-in's buffer: at most bufferSize - 1 bytes and
// always a terminating zero. Returns the number of bytes before the zero.
int32_t WriteSubstAnswer(const std::string &text, char *answer, std::size_t bufferSize);

}  // namespace ZavorHost
