// A parsed script: one statement per non-blank, non-comment line.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/script_error.h"

namespace ZavorHost {

enum class StatementKind { PluginCommand, Set, Let, Get, Print, On };

struct Statement {
    StatementKind kind = StatementKind::Print;
    int line = 0;
    // PluginCommand: the hex-encoded settings record, built when the script
    // is read (host variables in its fields stay unresolved: the plug-in asks
    // for them through "Subst" when it runs).
    std::string record;
    // Names and values are parts of the script's text (Script::text): a
    // generated script runs to megabytes, and copying every value would
    // hold the text twice. Set: plug-in variable; Let/Get: host variable;
    // On: event name.
    std::string_view name;
    // Set/Let: value; Print: text; Get: argument text. A quoted value with
    // escapes lies in ownedValue instead.
    std::string_view value;
    // Get: the plug-in variable that is read.
    std::string_view source;
    bool hasArguments = false;
    // On: the statement run each time the event is raised.
    std::unique_ptr<Statement> handler;
    std::unique_ptr<const std::string> ownedValue;
};

struct Script {
    // Shared, so that the statements' views stay valid wherever the script
    // is moved.
    std::shared_ptr<const std::string> text;
    std::vector<Statement> statements;
};

struct ParsedScript {
    Script script;
    std::vector<ScriptError> errors;  // in line order; the script is unusable if any
};

}  // namespace ZavorHost
