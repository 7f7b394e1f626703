#include "host/interpreter.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>

#include "host/ansi_text.h"
#include "host/script_error.h"

namespace ZavorHost {
namespace {

// The plug-in calls back synchronously from inside an export, through a
// plain C function: this is how that function finds the running script.
Interpreter *activeInterpreter = nullptr;

// Carries a fault with its line out of a statement.
struct ScriptFailure {
    ScriptError error;
};

class ActiveGuard {
public:
    explicit ActiveGuard(Interpreter *interpreter) : previous_(activeInterpreter) {
        activeInterpreter = interpreter;
    }
    ~ActiveGuard() { activeInterpreter = previous_; }
    ActiveGuard(const ActiveGuard &) = delete;
    ActiveGuard &operator=(const ActiveGuard &) = delete;

private:
    Interpreter *previous_;
};

std::string ParameterText(const char *parameter, int32_t length) {
    if (parameter == nullptr) return {};
    if (length < 0) return parameter;
    return std::string(parameter, strnlen(parameter, static_cast<std::size_t>(length)));
}

extern "C" int32_t ZAVOR_CALL ZavorHostCallback(const char *service, const char *parameter, int32_t length,
                                     int32_t /*flags*/, char *answer) {
    if (service == nullptr) return 0;
    if (activeInterpreter != nullptr) return activeInterpreter->HandleCallback(service, parameter, length, answer);
    if (std::strcmp(service, "Subst") == 0 && answer != nullptr) {
        return WriteSubstAnswer(ParameterText(parameter, length), answer, Interpreter::kSubstBufferSize);
    }
    return 0;
}

}  // namespace

int32_t WriteSubstAnswer(const std::string &text, char *answer, std::size_t bufferSize) {
    if (answer == nullptr || bufferSize == 0) return 0;
    std::size_t count = std::min(text.size(), bufferSize - 1);
    std::memcpy(answer, text.data(), count);
    answer[count] = '\0';
    return static_cast<int32_t>(count);
}

Interpreter::Interpreter(const PluginExports &plugin, HostVariables &variables, std::ostream &out)
    : plugin_(plugin), variables_(variables), out_(out) {}

HostCallbackFunction Interpreter::Callback() { return &ZavorHostCallback; }

RunOutcome Interpreter::Run(const Script &script) {
    ActiveGuard guard(this);
    RunOutcome outcome;
    plugin_.RunInit();
    for (const auto &statement : script.statements) {
        try {
            Execute(statement);
        } catch (const ScriptFailure &failure) {
            outcome.error = failure.error;
            break;
        }
    }
    plugin_.Stop();
    if (!outcome.error) outcome.error = pending_;
    outcome.eventsRaised = eventsRaised_;
    return outcome;
}

void Interpreter::Execute(const Statement &statement) {
    int outerLine = currentLine_;
    currentLine_ = statement.line;
    try {
        switch (statement.kind) {
            case StatementKind::PluginCommand:
                plugin_.Execute(statement.record.c_str());
                break;
            case StatementKind::Set: {
                std::string name = Utf8ToAnsi(statement.name);
                std::string value = Utf8ToAnsi(variables_.Substitute(statement.value));
                plugin_.SetVar(name.c_str(), value.c_str());
                break;
            }
            case StatementKind::Let:
                variables_.Set(std::string(statement.name), variables_.Substitute(statement.value));
                break;
            case StatementKind::Get:
                ExecuteGet(statement);
                break;
            case StatementKind::Print:
                out_ << variables_.Substitute(statement.value) << '\n' << std::flush;
                break;
            case StatementKind::On:
                handlers_.push_back(&statement);
                break;
        }
    } catch (const ScriptRuntimeError &error) {
        currentLine_ = outerLine;
        throw ScriptFailure{{statement.line, error.what()}};
    }
    currentLine_ = outerLine;
    ThrowPending();
}

void Interpreter::ExecuteGet(const Statement &statement) {
    std::string name = Utf8ToAnsi(statement.source);
    std::string arguments = Utf8ToAnsi(variables_.Substitute(statement.value));
    if (getsRunning_ == getBuffers_.size()) {
        std::unique_ptr<char[], FreeBuffer> fresh(static_cast<char *>(std::calloc(kGetVarBufferSize, 1)));
        if (!fresh) throw std::bad_alloc();
        getBuffers_.push_back(std::move(fresh));
    }
    char *buffer = getBuffers_[getsRunning_].get();
    ++getsRunning_;
    int32_t result = 0;
    try {
        result = plugin_.GetVar(name.c_str(), arguments.c_str(), 0, buffer);
    } catch (...) {
        --getsRunning_;
        throw;
    }
    --getsRunning_;
    // The plug-in writes one terminated text; clearing that text leaves the
    // buffer as zeroed as a new one, without touching the whole megabyte.
    const std::size_t written = strnlen(buffer, kGetVarBufferSize - 1);
    std::string value = result <= 0 ? std::string() : AnsiToUtf8(std::string_view(buffer, written));
    std::memset(buffer, 0, written);
    variables_.Set(std::string(statement.name), std::move(value));
}

void Interpreter::ThrowPending() const {
    if (pending_) throw ScriptFailure{*pending_};
}

int32_t Interpreter::HandleCallback(const char *service, const char *parameter, int32_t length, char *answer) {
    try {
        std::string text = ParameterText(parameter, length);
        if (std::strcmp(service, "Interrupt") == 0) {
            RaiseEvent(AnsiToUtf8(text));
            return 1;
        }
        if (std::strcmp(service, "Subst") == 0) {
            std::string substituted = text;
            if (!pending_) {
                try {
                    substituted = Utf8ToAnsi(variables_.Substitute(AnsiToUtf8(text)));
                } catch (const ScriptRuntimeError &error) {
                    pending_ = ScriptError{currentLine_, error.what()};
                }
            }
            return WriteSubstAnswer(substituted, answer, kSubstBufferSize);
        }
    } catch (const std::exception &error) {
        if (!pending_) pending_ = ScriptError{currentLine_, error.what()};
    } catch (...) {
        if (!pending_) pending_ = ScriptError{currentLine_, "unexpected failure in the host callback"};
    }
    return 0;
}

void Interpreter::RaiseEvent(const std::string &event) {
    ++eventsRaised_;
    for (std::size_t i = 0; i < handlers_.size() && !pending_; ++i) {
        const Statement &on = *handlers_[i];
        if (on.name != event) continue;
        if (depth_ >= kMaxHandlerDepth) {
            pending_ = ScriptError{on.line, "event handlers nested more than " + std::to_string(kMaxHandlerDepth) +
                                                " deep: the handler of " + event + " keeps raising events"};
            return;
        }
        ++depth_;
        try {
            Execute(*on.handler);
        } catch (const ScriptFailure &failure) {
            if (!pending_) pending_ = failure.error;
        } catch (...) {
            if (!pending_) pending_ = ScriptError{on.line, "unexpected failure in the handler of " + event};
        }
        --depth_;
    }
}

}  // namespace ZavorHost
