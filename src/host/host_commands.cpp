#include "host/host_commands.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>

#include "host/ansi_text.h"
#include "host/interpreter.h"
#include "host/path_text.h"
#include "host/plugin_library.h"
#include "host/script_edit.h"
#include "host/script_parser.h"

namespace ZavorHost {
namespace {

// The plug-in writes fixed texts and the line texts without knowing the
// buffer size; these are far larger than anything it writes.
constexpr std::size_t kTextBufferSize = 128 * 1024;
// The catalogues end at the first index whose name the plug-in leaves
// empty; a plug-in that never does must not keep the host listing forever.
constexpr int kMaxCatalogueEntries = 10000;

// A zeroed buffer handed to an export, read back as a terminated text.
class AnswerBuffer {
public:
    AnswerBuffer() : data_(kTextBufferSize, '\0') {}
    char *Clear() {
        std::fill(data_.begin(), data_.end(), '\0');
        return data_.data();
    }
    std::string Text() {
        data_.back() = '\0';
        return AnsiToUtf8(data_.data());
    }

private:
    std::vector<char> data_;
};

// A generated script runs to megabytes: read a file in one piece, and
// only a stream without a size (a pipe) byte by byte.
std::string ReadWhole(std::ifstream &in) {
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size < 0 || !in) {
        in.clear();
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), size);
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

std::optional<Script> LoadScript(const std::filesystem::path &path, std::ostream &err) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        err << "zavor: cannot read the script " << PathToUtf8(path) << '\n';
        return std::nullopt;
    }
    std::string text = ReadWhole(in);
    ParsedScript parsed = ScriptParser().Parse(std::move(text));
    for (const auto &error : parsed.errors) {
        err << PathToUtf8(path) << ':' << error.line << ": " << error.message << '\n';
    }
    if (!parsed.errors.empty()) return std::nullopt;
    return std::move(parsed.script);
}

// Loads the plug-in and hands over the callback, as the Vornix host does
// right after loading.
std::unique_ptr<PluginLibrary> StartPlugin(const std::filesystem::path &path, std::ostream &err) {
    std::unique_ptr<PluginLibrary> plugin;
    try {
        plugin = std::make_unique<PluginLibrary>(path);
    } catch (const PluginLoadError &error) {
        err << "zavor: " << error.what() << '\n';
        return nullptr;
    }
    auto callback = reinterpret_cast<intptr_t>(Interpreter::Callback());
    if (plugin->Exports().Initialize2(callback) == 0) {
        err << "zavor: the plug-in " << PathToUtf8(path) << " refused QnD_Initialize2\n";
        return nullptr;
    }
    return plugin;
}

void CollectPluginCommands(const Statement &statement, std::vector<const Statement *> &commands) {
    if (statement.kind == StatementKind::PluginCommand) commands.push_back(&statement);
    if (statement.handler) CollectPluginCommands(*statement.handler, commands);
}

}  // namespace

int RunScript(const std::filesystem::path &pluginPath, const std::filesystem::path &scriptPath,
              const Definitions &definitions, std::ostream &out, std::ostream &err) {
    std::optional<Script> script = LoadScript(scriptPath, err);
    if (!script) return kExitScriptError;
    auto plugin = StartPlugin(pluginPath, err);
    if (!plugin) return kExitLoadFailure;

    HostVariables variables;
    std::error_code ignored;
    auto folder = std::filesystem::absolute(scriptPath, ignored).lexically_normal().parent_path();
    variables.Set("scriptdir", PathToUtf8(folder));
    for (const auto &[name, value] : definitions) variables.Set(name, value);

    Interpreter interpreter(plugin->Exports(), variables, out);
    RunOutcome outcome = interpreter.Run(*script);
    out.flush();
    if (outcome.error) {
        err << PathToUtf8(scriptPath) << ':' << outcome.error->line << ": " << outcome.error->message << '\n';
        return kExitScriptError;
    }
    return outcome.eventsRaised > 0 ? kExitEventRaised : kExitSuccess;
}

int ShowScript(const std::filesystem::path &pluginPath, const std::filesystem::path &scriptPath, std::ostream &out,
               std::ostream &err) {
    std::optional<Script> script = LoadScript(scriptPath, err);
    if (!script) return kExitScriptError;
    auto plugin = StartPlugin(pluginPath, err);
    if (!plugin) return kExitLoadFailure;
    const PluginExports &exports = plugin->Exports();

    AnswerBuffer keyword, comment, defaults, main, sub;
    exports.ComParas(keyword.Clear(), comment.Clear(), defaults.Clear());
    std::string keywordText = keyword.Text();

    std::vector<const Statement *> commands;
    for (const auto &statement : script->statements) CollectPluginCommands(statement, commands);
    for (const Statement *command : commands) {
        exports.GetShowLine(command->record.c_str(), main.Clear(), sub.Clear(), 1);
        out << command->line << ": " << keywordText << ' ' << main.Text();
        std::string subText = sub.Text();
        if (!subText.empty()) out << " - " << subText;
        out << '\n';
    }
    return kExitSuccess;
}

int EditScript(const std::filesystem::path &pluginPath, const std::filesystem::path &scriptPath, int line,
               std::ostream &out, std::ostream &err) {
    std::unique_ptr<PluginLibrary> plugin;
    auto start = [&]() -> const PluginExports * {
        plugin = StartPlugin(pluginPath, err);
        return plugin ? &plugin->Exports() : nullptr;
    };
    return EditScriptLine(start, scriptPath, line, out, err);
}

int ListVariables(const std::filesystem::path &pluginPath, std::ostream &out, std::ostream &err) {
    auto plugin = StartPlugin(pluginPath, err);
    if (!plugin) return kExitLoadFailure;
    const PluginExports &exports = plugin->Exports();

    AnswerBuffer category, name, description, parameters;
    exports.VarCategory(category.Clear());
    out << "category\t" << category.Text() << '\n';

    int index = 0;
    for (; index < kMaxCatalogueEntries; ++index) {
        exports.ExtraVarName(index, name.Clear(), description.Clear());
        std::string nameText = name.Text();
        if (nameText.empty()) break;
        out << "variable\t" << nameText << '\t' << description.Text() << '\n';
    }
    if (index == kMaxCatalogueEntries) {
        err << "zavor: the variable catalogue does not end within " << kMaxCatalogueEntries << " entries\n";
    }
    for (index = 0; index < kMaxCatalogueEntries; ++index) {
        exports.ExtraEventName(index, name.Clear(), description.Clear(), parameters.Clear());
        std::string nameText = name.Text();
        if (nameText.empty()) break;
        out << "event\t" << nameText << '\t' << description.Text();
        std::string parameterText = parameters.Text();
        if (!parameterText.empty()) out << '\t' << parameterText;
        out << '\n';
    }
    if (index == kMaxCatalogueEntries) {
        err << "zavor: the event catalogue does not end within " << kMaxCatalogueEntries << " entries\n";
    }
    return kExitSuccess;
}

}  // namespace ZavorHost
