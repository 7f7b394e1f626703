#include "host/command_line.h"

#include <optional>
#include <ostream>

#include "host/host_commands.h"
#include "host/host_variables.h"
#include "host/path_text.h"
#include "host/plugin_library.h"

namespace ZavorHost {
namespace {

const char *const kUsage =
    "usage: zavor [--plugin PATH] run SCRIPT [-D var=value]...\n"
    "       zavor [--plugin PATH] show SCRIPT\n"
    "       zavor [--plugin PATH] edit SCRIPT LINE\n"
    "       zavor [--plugin PATH] vars\n";

struct Options {
    std::optional<std::filesystem::path> plugin;
    std::vector<std::string> positional;
    Definitions definitions;
    bool help = false;
};

std::string AddDefinition(const std::string &text, Options &options) {
    std::size_t equals = text.find('=');
    std::string name = text.substr(0, equals);
    if (equals == std::string::npos || !HostVariables::IsName(name)) {
        return "-D expects var=value, not \"" + text + "\"";
    }
    options.definitions.emplace_back(name, text.substr(equals + 1));
    return {};
}

std::string ParseOptions(const std::vector<std::string> &arguments, Options &options) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--plugin" || argument == "-D") {
            if (i + 1 == arguments.size()) return argument + " needs a value";
            if (argument == "-D") {
                std::string error = AddDefinition(arguments[++i], options);
                if (!error.empty()) return error;
            } else {
                options.plugin = PathFromUtf8(arguments[++i]);
            }
        } else if (argument.rfind("--plugin=", 0) == 0) {
            options.plugin = PathFromUtf8(argument.substr(9));
        } else if (argument.rfind("-D", 0) == 0) {
            std::string error = AddDefinition(argument.substr(2), options);
            if (!error.empty()) return error;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return "unknown option " + argument;
        } else {
            options.positional.push_back(argument);
        }
    }
    return {};
}

// Decimal digits only, from 1 to a size no script reaches.
std::optional<int> LineNumber(const std::string &text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    int number = std::stoi(text);
    if (number < 1) return std::nullopt;
    return number;
}

std::string CheckCommand(const Options &options) {
    if (options.positional.empty()) return "no command given";
    const std::string &command = options.positional[0];
    std::size_t wanted = command == "vars" ? 1 : command == "edit" ? 3 : 2;
    if (command != "run" && command != "show" && command != "edit" && command != "vars") {
        return "unknown command " + command;
    }
    if (options.positional.size() < 2 && wanted > 1) return command + " needs a script";
    if (options.positional.size() < wanted) return command + " needs a line number";
    if (options.positional.size() > wanted) return "too many arguments for " + command;
    if (command != "run" && !options.definitions.empty()) return "-D belongs to run only";
    if (command == "edit" && !LineNumber(options.positional[2])) {
        return "the line number must be a whole number from 1, not \"" + options.positional[2] + "\"";
    }
    return {};
}

}  // namespace

int HostMain(const std::vector<std::string> &arguments, std::ostream &out, std::ostream &err) {
    Options options;
    std::string error = ParseOptions(arguments, options);
    if (error.empty() && options.help) {
        out << kUsage;
        return kExitSuccess;
    }
    if (error.empty()) error = CheckCommand(options);
    if (!error.empty()) {
        err << "zavor: " << error << '\n' << kUsage;
        return kExitScriptError;
    }
    std::filesystem::path plugin = options.plugin.value_or(PluginLibrary::DefaultPath());
    const std::string &command = options.positional[0];
    if (command == "run") return RunScript(plugin, PathFromUtf8(options.positional[1]), options.definitions, out, err);
    if (command == "show") return ShowScript(plugin, PathFromUtf8(options.positional[1]), out, err);
    if (command == "edit") {
        return EditScript(plugin, PathFromUtf8(options.positional[1]), *LineNumber(options.positional[2]), out, err);
    }
    return ListVariables(plugin, out, err);
}

}  // namespace ZavorHost
