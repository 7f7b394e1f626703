// The commands of the zavor host: run, show, edit and vars.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace ZavorHost {

enum ExitStatus : int {
    kExitSuccess = 0,      // the script ran and the plug-in raised no event
    kExitLoadFailure = 1,  // the plug-in cannot be loaded
    kExitScriptError = 2,  // the script (or the command line) is faulty
    kExitEventRaised = 3,  // the script ran and at least one event was raised
    kExitScriptNotWritten = 4,  // zavor edit: the edited script cannot be saved
};

using Definitions = std::vector<std::pair<std::string, std::string>>;

// Runs the script: QnD_Initialize2, then the statements, then QnD_Stop.
// The host variable "scriptdir" holds the script's folder; definitions
// (-D) are set after it and may override it.
int RunScript(const std::filesystem::path &plugin, const std::filesystem::path &script,
              const Definitions &definitions, std::ostream &out, std::ostream &err);

// One line per ZQ-PDF statement: "LINE: KEYWORD MAIN" and " - SUB" when the
// plug-in gives a sub text.
int ShowScript(const std::filesystem::path &plugin, const std::filesystem::path &script, std::ostream &out,
               std::ostream &err);

// Opens the ZQ-PDF command of the 1-based line in the plug-in's settings
// editor (QnD_Edit) and writes the record it hands back into that line as
// Name=value pairs; the rest of the file keeps every byte. After Abbruch, or
// O.K. without a change, the file is not touched.
int EditScript(const std::filesystem::path &plugin, const std::filesystem::path &script, int line,
               std::ostream &out, std::ostream &err);

// The catalogues: "category\tNAME", then "variable\tNAME\tDESCRIPTION" and
// "event\tNAME\tDESCRIPTION[\tPARAMETERS]" lines.
int ListVariables(const std::filesystem::path &plugin, std::ostream &out, std::ostream &err);

}  // namespace ZavorHost
